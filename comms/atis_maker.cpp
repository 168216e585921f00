// The ATIS maker's behaviour. Tested by tests/comms/atis_maker_test.cpp.
#include "comms/atis_maker.h"

#include <algorithm>
#include <charconv>

#include "comms/atis_generator.h"
#include "comms/weather_store.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"

namespace {

// The edits give LF on GTK and CR LF elsewhere; the profile keeps "|".
std::string FromEdit(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\n' ? '|' : text[i];
    }
    return out;
}

size_t LineCount(const std::string& text) {
    return text.empty() ? 0 : static_cast<size_t>(std::count(text.begin(), text.end(), '|')) + 1;
}

}  // namespace

const std::vector<std::string>& AtisMaker::LetterWords() {
    static const std::vector<std::string> words = {
        "(None)", "ALPHA",  "BRAVO", "CHARLIE", "DELTA",  "ECHO",     "FOXTROT", "GOLF",   "HOTEL",
        "INDIA",  "JULIET", "KILO",  "LIMA",    "MIKE",   "NOVEMBER", "OSCAR",   "PAPA",   "QUEBEC",
        "ROMEO",  "SIERRA", "TANGO", "UNIFORM", "VICTOR", "WHISKEY",  "X-RAY",   "YANKEE", "ZULU"};
    return words;
}

AtisMaker::AtisMaker(TarqProfile& profile, WeatherStore& weather, AtisMakerHost& host)
    : m_profile(profile), m_weather(weather), m_host(host) {}

std::string AtisMaker::GetCurrentLetter() const {
    return m_letterIndex < 1 ? "" : LetterWords()[m_letterIndex];
}

bool AtisMaker::UpdateATIS(bool fromDialog) {
    const std::string station = m_profile.GetString("ATISMakerICAO");
    if (station.size() != 4) {
        if (!fromDialog) m_host.ShowError(kInvalidStationLine);
        return false;
    }
    const std::string time = m_weather.GetReportTime(station);
    if (!time.empty() && time != m_lastReportTime && m_autoUpdate) {
        m_letterIndex = m_letterIndex >= kLetterCount ? 1 : m_letterIndex + 1;
        m_newLetter = true;
    }
    m_lastReportTime = time;
    m_lastMetar = m_weather.GetMetar(station);

    AtisInputs inputs;
    inputs.station = station;
    inputs.ReadWeather(m_weather);
    inputs.metar = m_lastMetar;
    inputs.letterWord = LetterWords()[std::clamp(m_letterIndex, 0, kLetterCount)];
    inputs.landing = m_landing;
    inputs.departing = m_departing;
    inputs.visualApproaches = m_visual;
    inputs.lahsos = m_lahsos;
    inputs.realName = m_profile.GetString("RealName");
    inputs.callsign = m_profile.GetString("Callsign");
    inputs.rating = m_profile.GetInt("Rating");

    const AtisText text = ExpandAtisTemplate(m_profile.GetString("ATISMakerTemplate"), inputs);
    m_statusLine = text.status;
    m_profile.SetString("ATIS", text.text);
    m_voiceText = ExpandAtisTemplate(m_profile.GetString("VoxATISTemplate"), inputs).text;
    // Said now, while the controller is looking, rather than when another
    // station asks and gets nothing.
    if (LineCount(text.text) > kMaxSentLines) m_host.ShowError(kTooManyLines);
    if (LineCount(m_voiceText) > kMaxSentLines) m_host.ShowError(kVoiceTooManyLines);
    m_host.AtisUpdated();
    return true;
}

void AtisMaker::OnReportTime(const std::string& time) {
    if (m_autoUpdate && time != m_lastReportTime) UpdateATIS(false);
}

// --- the dialog -----------------------------------------------------------------------------

std::string AtisMaker::ForEdit(const std::string& text) { return ReplaceAll(text, "|", "\n"); }

AtisDialogValues AtisMaker::InitialValues() const {
    AtisDialogValues values;
    values.station = m_profile.GetString("ATISMakerICAO");
    values.textTemplate = m_profile.GetString("ATISMakerTemplate");
    if (values.textTemplate.empty()) values.textTemplate = kDefaultTextTemplate;
    values.voiceTemplate = m_profile.GetString("VoxATISTemplate");
    if (values.voiceTemplate.empty()) values.voiceTemplate = kDefaultVoiceTemplate;
    values.textTemplate = ForEdit(values.textTemplate);
    values.voiceTemplate = ForEdit(values.voiceTemplate);
    values.voiceServer = m_profile.GetString("VoxATISServer");
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%07.3f", m_profile.GetInt("VoxATISFreq") / 1000.0);
    values.voiceFrequency = buffer;
    return values;
}

void AtisMaker::StoreChanged(const std::string& key, const std::string& value) {
    if (m_profile.GetString(key) != value) m_profile.SetModified(true);
    m_profile.SetString(key, value);
}

std::optional<AtisMaker::Failure> AtisMaker::SaveDialogSettings(const AtisDialogValues& values) {
    const std::string textTemplate = FromEdit(values.textTemplate);
    const std::string voiceTemplate = FromEdit(values.voiceTemplate);
    const std::string tooLong =
        "Template too long: at most " + std::to_string(kTemplateLimit) + " characters.";
    if (textTemplate.size() > kTemplateLimit) return Failure{kTextTemplateId, tooLong};
    if (voiceTemplate.size() > kTemplateLimit) return Failure{kVoiceTemplateId, tooLong};

    const std::string station = values.station.substr(0, kStationLimit);
    StoreChanged("ATISMakerICAO", station);
    if (station.size() == 4) m_weather.SetATISStation(station);
    StoreChanged("ATISMakerTemplate", textTemplate);
    StoreChanged("VoxATISTemplate", voiceTemplate);
    StoreChanged("VoxATISServer", values.voiceServer.substr(0, kServerLimit));
    const std::string frequency = values.voiceFrequency.substr(0, kFrequencyLimit);
    double mhz = 0;
    std::from_chars(frequency.data(), frequency.data() + frequency.size(), mhz);
    m_profile.SetInt("VoxATISFreq", static_cast<int>((mhz + 0.0005) * 1000));
    return std::nullopt;
}

std::optional<AtisMaker::Failure> AtisMaker::SetAutoUpdate(bool on) {
    if (m_profile.GetString("ATISMakerICAO").size() != 4) return Failure{kStationId, kInvalidStationBox};
    m_autoUpdate = on;
    UpdateATIS(true);
    return std::nullopt;
}

int AtisMaker::SelectLetter(int index, bool voiceAtisOnAir) {
    if (index < 0 || index > kLetterCount) return m_letterIndex;
    if (index == 0 && voiceAtisOnAir) index = 1;
    m_letterIndex = index;
    if ((index != 0 || m_autoUpdate) && m_profile.GetString("ATISMakerICAO").size() == 4) UpdateATIS(true);
    return m_letterIndex;
}

std::vector<std::string> AtisMaker::GetOfferedRunways() const {
    return m_profile.GetListSetting("ATISMakerRunways");
}

std::optional<AtisMaker::Failure> AtisMaker::AddRunway(const std::string& typed) {
    return EditRunway(typed, true);
}

std::optional<AtisMaker::Failure> AtisMaker::DeleteRunway(const std::string& typed) {
    return EditRunway(typed, false);
}

std::optional<AtisMaker::Failure> AtisMaker::EditRunway(const std::string& typed, bool add) {
    std::string runway;
    for (char c : ToUpper(typed.substr(0, kRunwayLimit))) {
        if (c != ' ') runway += c;
    }
    if (runway.empty()) return Failure{kRunwayId, kInvalidRunway};
    std::vector<std::string> runways = m_profile.GetListSetting("ATISMakerRunways");
    auto it = std::find(runways.begin(), runways.end(), runway);
    if (add == (it != runways.end())) return std::nullopt;
    if (add) {
        runways.push_back(runway);
    } else {
        runways.erase(it);
    }
    m_profile.SetListSetting("ATISMakerRunways", runways);
    m_profile.SetModified(true);
    return std::nullopt;
}
