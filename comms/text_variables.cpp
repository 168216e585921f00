// The "$" variables. Tested by tests/comms/text_variables_test.cpp.
#include "comms/text_variables.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <vector>

#include "comms/atis_generator.h"
#include "comms/weather_store.h"
#include "foundation/geo_helpers.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"
#include "platform/clock.h"

namespace {

constexpr const char* kMissing = "----";
constexpr const char* kNoWind = "unknown";
constexpr const char* kNoParentheses = "????";

enum Index {
    kSquawk,
    kArr,
    kDep,
    kCruise,
    kCalt,
    kCallsign,
    kCom1,
    kMyRealName,
    kWinds,
    kMyRw,
    kMyPvtRw,
    kMetar,
    kAltim,
    kWind,
    kRadioName,
    kFreq,
    kTime,
    kDist,
    kBear,
    kOclock,
    kAlt,
    kTemp,
    kFtime,
    kUc,
    kLc,
    kAircraft,
    kRoute,
    kAtisCode,
    kType,
    kAtcCallsign,
};

std::string Frequency(int kHz) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", kHz / 1000.0);
    return buffer;
}

std::string ClockText(std::time_t seconds) {
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", utc.tm_hour, utc.tm_min);
    return buffer;
}

// Leading blanks, then an optional sign and digits, as atoi reads them;
// saturated far beyond any useful number of minutes.
long long Minutes(const std::string& text) {
    size_t at = text.find_first_not_of(" \t\n\r\f\v");
    if (at == std::string::npos) return 0;
    if (text[at] == '+') ++at;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return text[at] == '-' ? -1'000'000'000LL : 1'000'000'000LL;
    (void)end;
    return std::max(-1'000'000'000LL, std::min(value, 1'000'000'000LL));
}

const char* Compass(double b) {
    static const char* const kWords[] = {"north", "northeast", "east", "southeast",
                                         "south", "southwest", "west", "northwest"};
    if (b >= 337.5 || b < 22.5) return kWords[0];
    return kWords[static_cast<int>((b - 22.5) / 45.0) + 1];
}

const char* ClockPosition(double r) {
    static const char* const kTexts[] = {"twelve o'clock", "one o'clock",  "two o'clock", "three o'clock",
                                         "four o'clock",   "five o'clock", "six o'clock", "seven o'clock",
                                         "eight o'clock",  "nine o'clock", "ten o'clock", "eleven o'clock"};
    if (r >= 345 || r < 15) return kTexts[0];
    return kTexts[static_cast<int>((r - 15) / 30.0) + 1];
}

// The text being expanded with a mark per character: true for characters a
// value inserted, which no later search may see.
struct MarkedText {
    std::string text;
    std::vector<bool> inserted;

    bool Visible(size_t from, size_t length) const {
        for (size_t i = from; i < from + length; ++i) {
            if (inserted[i]) return false;
        }
        return true;
    }
    // Last visible occurrence starting at or before `before`.
    size_t FindLast(const std::string& name, size_t before) const {
        for (size_t at = text.rfind(name, before); at != std::string::npos; at = text.rfind(name, at - 1)) {
            if (Visible(at, name.size())) return at;
            if (at == 0) break;
        }
        return std::string::npos;
    }
    size_t FindVisible(char c, size_t from) const {
        for (size_t at = text.find(c, from); at != std::string::npos; at = text.find(c, at + 1)) {
            if (!inserted[at]) return at;
        }
        return std::string::npos;
    }
    void Replace(size_t at, size_t length, const std::string& value) {
        text.replace(at, length, value);
        inserted.erase(inserted.begin() + static_cast<ptrdiff_t>(at),
                       inserted.begin() + static_cast<ptrdiff_t>(at + length));
        inserted.insert(inserted.begin() + static_cast<ptrdiff_t>(at), value.size(), true);
    }
};

}  // namespace

const TextVariables::Entry TextVariables::kTable[kVariableCount] = {
    {"$squawk", false}, {"$arr", false},        {"$dep", false},      {"$cruise", false},
    {"$calt", false},   {"$callsign", false},   {"$com1", false},     {"$myrealname", false},
    {"$winds", false},  {"$myrw", false},       {"$mypvtrw", false},  {"$metar", true},
    {"$altim", true},   {"$wind", true},        {"$radioname", true}, {"$freq", true},
    {"$time", false},   {"$dist", true},        {"$bear", true},      {"$oclock", true},
    {"$alt", false},    {"$temp", false},       {"$ftime", true},     {"$uc", true},
    {"$lc", true},      {"$aircraft", false},   {"$route", false},    {"$atiscode", false},
    {"$type", true},    {"$atccallsign", true},
};

TextVariables::TextVariables(TarqProfile& profile, const WeatherStore& weather,
                             const TextVariableSources& sources, const Clock& clock)
    : m_profile(profile), m_weather(weather), m_sources(sources), m_clock(clock) {}

std::string TextVariables::ExpandVariables(const std::string& in) const {
    MarkedText t{in, std::vector<bool>(in.size(), false)};
    for (int index = 0; index < kVariableCount; ++index) {
        if (kTable[index].takesArgument) continue;
        const std::string name = kTable[index].name;
        for (size_t at = t.FindLast(name, std::string::npos); at != std::string::npos;) {
            if (!(index == kAlt && t.text.compare(at, 6, "$altim") == 0)) {
                std::string value;
                EvaluateVariable(index, std::string(), value);
                t.Replace(at, name.size(), value);
            }
            if (at == 0) break;
            at = t.FindLast(name, at - 1);
        }
    }
    // Each round turns one visible name into inserted text, so it ends.
    for (;;) {
        int index = 0;
        size_t at = std::string::npos;
        for (; index < kVariableCount; ++index) {
            if (!kTable[index].takesArgument) continue;
            at = t.FindLast(kTable[index].name, std::string::npos);
            if (at != std::string::npos) break;
        }
        if (at == std::string::npos) break;
        const size_t nameLength = std::char_traits<char>::length(kTable[index].name);
        const size_t open = t.FindVisible('(', at);
        const size_t close = t.FindVisible(')', at);
        std::string value;
        if (open == std::string::npos || close == std::string::npos) {
            t.Replace(at, nameLength, kNoParentheses);
        } else if (close < open + 2) {
            EvaluateVariable(index, std::string(), value);
            t.Replace(at, close + 1 - at, value);
        } else {
            EvaluateVariable(index, t.text.substr(open + 1, close - open - 1), value);
            t.Replace(at, close + 1 - at, value);
        }
    }
    return t.text;
}

std::string TextVariables::WindAt(const std::string& station) const {
    if (!m_weather.HasReport(station)) return kNoWind;
    return WindPhrase(m_weather.GetWindDirection(station), m_weather.GetWindVariableTo(station),
                      m_weather.GetWindSpeed(station), m_weather.GetWindGust(station));
}

std::string TextVariables::Geometry(int index, const std::string& pointName) const {
    TextVariableSources::Aircraft aircraft;
    ScopePoint point;
    if (m_context.empty() || pointName.empty() || !m_sources.GetAircraft(m_context, aircraft) ||
        !m_sources.FindNamedPoint(ToUpper(pointName), point)) {
        return kMissing;
    }
    const double k = LongitudeScale;
    const double xa = aircraft.position.x, ya = aircraft.position.y;
    if (index == kDist) {
        return std::to_string(static_cast<int>(ScaledDistance(xa, ya, point.x, point.y, k) * 60.0));
    }
    if (index == kBear) {
        return Compass(NormalizeHeading(BearingBetween(point.x * k, point.y, xa * k, ya, false) +
                                        m_sources.GetScopeRotation()));
    }
    double r = NormalizeHeading(BearingBetween(xa * k, ya, point.x * k, point.y, false)) - aircraft.heading;
    if (r < 0) r += 360;
    return ClockPosition(r);
}

void TextVariables::EvaluateVariable(int index, const std::string& argument, std::string& out) const {
    if (index < 0 || index >= kVariableCount) return;
    const int transLevel = m_profile.GetInt("TransLevel");
    const bool needsContext =
        index <= kCalt || index == kWinds || index == kAlt || index == kTemp || index == kRoute;
    if (needsContext && m_context.empty()) {
        out = index == kWinds ? kNoWind : kMissing;
        return;
    }
    auto orMissing = [](std::string text) { return text.empty() ? std::string(kMissing) : text; };
    switch (index) {
        case kSquawk: {
            int code = m_sources.GetAssignedSquawk(m_context);
            if (code == 0) code = m_sources.GetBeaconCode(m_context);
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%04d", code);
            out = buffer;
            break;
        }
        case kArr:
            out = orMissing(m_sources.GetFlightPlan(m_context).destination);
            break;
        case kDep:
            out = orMissing(m_sources.GetFlightPlan(m_context).departure);
            break;
        case kCruise: {
            const std::string cruise = m_sources.GetFlightPlan(m_context).cruiseAltitude;
            out = cruise.empty() ? kMissing : FormatAltitudeWithTransLevel2(cruise, transLevel);
            break;
        }
        case kCalt: {
            TextVariableSources::Aircraft aircraft;
            out = m_sources.GetAircraft(m_context, aircraft)
                      ? FormatAltitudeWithTransLevel(aircraft.altitude, transLevel)
                      : kMissing;
            break;
        }
        case kCallsign:
            out = m_profile.GetString("Callsign");
            break;
        case kCom1:
            out = Frequency(m_sources.GetPrimaryFrequency());
            break;
        case kMyRealName:
            out = m_profile.GetString("RealName");
            break;
        case kWinds: {
            TextVariableSources::Aircraft aircraft;
            if (!m_sources.GetAircraft(m_context, aircraft)) {
                out = kNoWind;
                break;
            }
            const TarqFlightPlanRecord plan = m_sources.GetFlightPlan(m_context);
            out = WindAt(aircraft.groundSpeed > 50 ? plan.destination : plan.departure);
            break;
        }
        case kMyRw:
            out = m_sources.GetPrimaryVoiceChannel();
            break;
        case kMyPvtRw:
            out = "$ " + m_sources.GetPrimaryVoiceChannel();
            break;
        case kMetar:
            out = m_weather.GetMetar(argument);
            break;
        case kAltim:
            out = m_weather.GetAltimeter(argument);
            break;
        case kWind:
            out = WindAt(argument);
            break;
        case kRadioName:
        case kFreq: {
            std::string callsign = m_profile.GetString("Callsign");
            int frequency = m_sources.GetPrimaryFrequency();
            if (!argument.empty()) {
                callsign = m_sources.GetCallsignForPositionId(argument);
                if (callsign.empty() || !m_sources.GetControllerFrequency(callsign, frequency)) {
                    out.clear();
                    break;
                }
            }
            if (index == kRadioName) {
                out = m_sources.FindRadioName(callsign, frequency);
            } else {
                out = frequency == 0 ? std::string() : Frequency(frequency);
            }
            break;
        }
        case kTime:
            out = ClockText(m_clock.WallSeconds());
            break;
        case kDist:
        case kBear:
        case kOclock:
            out = Geometry(index, argument);
            break;
        case kAlt:
        case kTemp: {
            const int temporary = m_sources.GetTemporaryAltitude(m_context);
            if (temporary >= 1 && temporary <= 99999) {
                out = FormatAltitudeWithTransLevel(temporary, transLevel);
            } else if (index == kAlt) {
                const std::string cruise = m_sources.GetFlightPlan(m_context).cruiseAltitude;
                out = cruise.empty() ? kMissing : FormatAltitudeWithTransLevel2(cruise, transLevel);
            } else {
                out = kMissing;
            }
            break;
        }
        case kFtime:
            out = ClockText(m_clock.WallSeconds() + static_cast<std::time_t>(Minutes(argument) * 60));
            break;
        case kUc:
            out = ToUpper(argument);
            break;
        case kLc:
            out = ToLower(argument);
            break;
        case kAircraft:
            out = orMissing(m_sources.GetSelectedCallsign());
            break;
        case kRoute: {
            std::string route = m_sources.GetFlightPlan(m_context).route;
            if (!route.empty() && route[0] == '+') route.erase(0, 1);
            out = orMissing(route);
            break;
        }
        case kAtisCode: {
            const std::string letter = m_sources.GetCurrentLetter();
            out = letter.empty() ? "?" : letter;
            break;
        }
        case kType:
            out =
                argument.empty() ? kMissing : orMissing(ToUpper(m_sources.GetFlightPlan(argument).bareType));
            break;
        case kAtcCallsign:
            out = argument.empty() ? kMissing : orMissing(m_sources.GetCallsignForPositionId(argument));
            break;
    }
}
