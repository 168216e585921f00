// The ATIS text generator. Tested by tests/comms/atis_generator_test.cpp.
#include "comms/atis_generator.h"

#include <cstdio>

#include "comms/weather_store.h"

namespace {

std::string Format(const char* format, int a, int b = 0, int c = 0, int d = 0) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

std::string ListText(const std::vector<std::string>& runways) {
    std::string text;
    for (size_t i = 0; i < runways.size(); ++i) {
        if (i > 0) text += i + 1 == runways.size() ? " & " : ", ";
        text += runways[i];
    }
    return text;
}

std::string OrUnknown(std::string text) { return text.empty() ? "unknown" : text; }

}  // namespace

void AtisInputs::ReadWeather(const WeatherStore& store) {
    reportTime = store.GetReportTime(station);
    visibility = store.GetVisibility(station);
    weather = store.GetWeather(station);
    verticalVisibility = store.GetVerticalVisibility(station);
    clouds = store.GetClouds(station);
    temperature = store.GetTemperature(station);
    dewPoint = store.GetDewPoint(station);
    altimeter = store.GetAltimeter(station);
    windDirection = store.GetWindDirection(station);
    windVariableTo = store.GetWindVariableTo(station);
    windSpeed = store.GetWindSpeed(station);
    windGust = store.GetWindGust(station);
    altimeterHpa = store.IsAltimeterHpa(station);
}

std::string WindPhrase(int32_t direction, int32_t variableTo, int32_t speed, int32_t gust) {
    if (variableTo != -1) {
        return gust > 0 ? Format("variable %03d-%03d at %d gust %d", direction, variableTo, speed, gust)
                        : Format("variable %03d-%03d at %d", direction, variableTo, speed);
    }
    if (direction == -1) return Format("variable at %d", speed);
    if (speed < 3) return "calm";
    return gust > 0 ? Format("%03d at %d gust %d", direction, speed, gust)
                    : Format("%03d at %d", direction, speed);
}

std::string RunwayPhrase(const std::vector<std::string>& landing, const std::vector<std::string>& departing,
                         bool visualApproaches, bool lahsos) {
    const std::string l = ListText(landing);
    const std::string d = ListText(departing);
    std::string phrase;
    if (!l.empty() && l == d) {
        phrase =
            (landing.size() == 1 ? "Landing & departing runway " : "Landing & departing runways ") + l + ". ";
    } else {
        if (!l.empty()) phrase += (landing.size() == 1 ? "Landing rwy " : "Landing rwys ") + l + ". ";
        if (!d.empty()) phrase += (departing.size() == 1 ? "Departing rwy " : "Departing rwys ") + d + ". ";
    }
    if (visualApproaches) phrase += "Visual approaches in use. ";
    if (lahsos) {
        phrase += "LAHSOs in effect.";
    } else if (!phrase.empty()) {
        phrase.pop_back();
    }
    return phrase;
}

std::string ShortRatingName(int rating) {
    static const char* const kNames[] = {"S1", "S2", "S3", "C1", "C2", "C3", "I1", "I2", "I3", "SUP", "ADM"};
    return rating >= 2 && rating <= 12 ? kNames[rating - 2] : "Observer";
}

std::string ReplaceKeyword(std::string_view text, std::string_view keyword, std::string_view value) {
    if (keyword.empty()) return std::string(text);
    std::string out;
    size_t from = 0;
    for (size_t at = text.find(keyword); at != std::string_view::npos; at = text.find(keyword, from)) {
        out.append(text, from, at - from);
        out.append(value);
        from = at + keyword.size();
    }
    out.append(text, from);
    return out;
}

AtisText ExpandAtisTemplate(const std::string& templateText, const AtisInputs& in) {
    const bool cavok = in.metar.find("CAVOK") != std::string::npos;
    const std::string wind =
        OrUnknown(WindPhrase(in.windDirection, in.windVariableTo, in.windSpeed, in.windGust));
    std::string sky = in.clouds;
    if (!in.verticalVisibility.empty()) sky += (sky.empty() ? "" : " ") + in.verticalVisibility;
    sky = cavok ? "CAVOK" : OrUnknown(sky);
    const std::string visibility = cavok ? "CAVOK" : OrUnknown(in.visibility);
    const std::string temperature = OrUnknown(in.temperature);
    const std::string dewPoint = OrUnknown(in.dewPoint);
    const std::string altimeter = OrUnknown(in.altimeter);
    const std::string runways = RunwayPhrase(in.landing, in.departing, in.visualApproaches, in.lahsos);

    // The protocol separates fields with ':', so the template loses its own;
    // values inserted below keep theirs.
    std::string text = templateText;
    for (char& c : text) {
        if (c == ':') c = ' ';
    }
    const std::pair<const char*, const std::string*> keywords[] = {
        {"%icao%", &in.station},
        {"%id%", &in.letterWord},
        {"%time%", &in.reportTime},
        {"%wind%", &wind},
        {"%winds%", &wind},
        {"%vis%", &visibility},
        {"%visibility%", &visibility},
        {"%sky%", &sky},
        {"%clouds%", &sky},
        {"%precip%", &in.weather},
        {"%precipitation%", &in.weather},
        {"%alt%", &altimeter},
        {"%altim%", &altimeter},
        {"%altimeter%", &altimeter},
        {"%temp%", &temperature},
        {"%temperature%", &temperature},
        {"%dew%", &dewPoint},
        {"%dewpoint%", &dewPoint},
        {"%metar%", &in.metar},
        {"%runways%", &runways},
        {"%name%", &in.realName},
        {"%callsign%", &in.callsign},
    };
    for (const auto& [keyword, value] : keywords) text = ReplaceKeyword(text, keyword, *value);
    text = ReplaceKeyword(text, "%rating%", ShortRatingName(in.rating));
    // Collapse runs of blanks in one pass.
    std::string collapsed;
    for (char c : text) {
        if (c == ' ' && !collapsed.empty() && collapsed.back() == ' ') continue;
        collapsed += c;
    }

    const std::string label = in.altimeterHpa ? "QNH" : "Altimeter";
    std::string status = cavok ? "ATIS " + in.letterWord + " now current. Wind: " + wind + " - CAVOK - " +
                                     label + ": " + altimeter
                               : "ATIS " + in.letterWord + " now current. Wind: " + wind + " - Sky: " + sky +
                                     " - Visibility: " + visibility + " - " + label + ": " + altimeter;
    if (status.size() > 1023) status.resize(1023);
    return {collapsed, status};
}
