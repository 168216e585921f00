// The weather panel's store and station list. Tested by tests/comms/weather_store_test.cpp.
#include "comms/weather_store.h"

#include "foundation/profile.h"
#include "foundation/text_helpers.h"
#include "platform/clock.h"

namespace {

// Every "KT" goes, in one pass over the text as stored.
std::string WithoutKnots(const std::string& wind) {
    std::string out;
    for (size_t i = 0; i < wind.size(); ++i) {
        if (wind.compare(i, 2, "KT") == 0) {
            ++i;
            continue;
        }
        out += wind[i];
    }
    return out;
}

}  // namespace

std::string WeatherListLine::Text() const {
    return "\t" + station + "\t" + time + "\t" + altimeter + "\t" + wind;
}

WeatherStore::WeatherStore(TarqProfile& profile, WeatherHost& host, const Clock& clock)
    : m_profile(profile), m_host(host), m_clock(clock) {}

WeatherStore::~WeatherStore() = default;

// --- the network -----------------------------------------------------------------------

void WeatherStore::OnMetar(const std::string& text) {
    const std::string upper = ToUpper(text);
    Result<MetarRecord> parsed = m_parser.Parse(upper);
    if (!parsed) {
        // A server message is not a METAR and passes quietly; a report we
        // refused to search to the end is worth a line.
        if (parsed.Error().code != MetarParser::kNotMetar) {
            m_host.ShowError("METAR not read: " + parsed.Error().message + ".");
        }
        RefreshList();
        return;
    }
    MetarRecord& record = parsed.Value();
    StationWeather& stored = m_weather[record.station];
    if (!stored.fields.time.empty() && stored.fields.time != record.time) m_changed.insert(record.station);
    stored.rawText = upper;
    stored.fields = record;
    if (record.station == m_atisStation) m_host.OnATISReportTime(record.time);
    RefreshList();
}

void WeatherStore::RefreshMetars(bool force) {
    const std::time_t now = m_clock.WallSeconds();
    const bool due = m_host.IsConnected() && now - m_lastRefresh > kRefreshSeconds;
    if (!due && !force) return;
    m_lastRefresh = now;
    for (const auto& [station, listed] : m_stations) m_host.RequestMETAR(station);
}

// --- the station list ---------------------------------------------------------------------

void WeatherStore::EnterListed(const std::string& key) {
    m_stations[key] = true;
    // Whatever an earlier report left, numbers included, must not pass for
    // the new station's weather before its first report arrives.
    m_weather.erase(key);
    m_changed.erase(key);
    m_host.RequestMETAR(key);
}

void WeatherStore::ListChanged() {
    RefreshList();
    m_profile.SetListSetting("WxStations", GetStationList());
    m_host.RebuildButtonBar();
}

void WeatherStore::ToggleStation(const std::string& station) {
    if (station.size() != 4) return;
    const std::string key = ToUpper(station);
    auto it = m_stations.find(key);
    if (it == m_stations.end()) {
        if (m_lines.size() >= static_cast<size_t>(kMaxListedStations)) {
            m_host.ShowError(kTooManyStations);
            return;
        }
        EnterListed(key);
    } else if (it->second) {
        m_stations.erase(it);
        m_weather.erase(key);
        m_changed.erase(key);
    } else {
        it->second = true;
    }
    ListChanged();
}

void WeatherStore::RemoveStation(const std::string& station) {
    if (station.size() != 4) return;
    const std::string key = ToUpper(station);
    auto it = m_stations.find(key);
    if (it == m_stations.end()) return;
    if (it->second) {
        // The button goes; the report stays readable until a new one comes.
        m_stations.erase(it);
        m_profile.SetListSetting("WxStations", GetStationList());
        m_host.RebuildButtonBar();
        RefreshList();
        return;
    }
    m_stations.erase(it);
    m_weather.erase(key);
    m_changed.erase(key);
}

void WeatherStore::RequestMetar(const std::string& station) {
    if (station.size() != 4) return;
    m_boxText.clear();
    const std::string key = ToUpper(station);
    m_selected = key;
    m_stations.emplace(key, false);
    m_host.RequestMETAR(key);
    m_host.ListRefreshed();
}

void WeatherStore::SetATISStation(const std::string& station) {
    if (station.size() != 4) {
        m_atisStation.clear();
        return;
    }
    m_atisStation = station;
    if (m_stations.count(station) == 0) EnterListed(station);
}

void WeatherStore::Restore(const std::vector<std::string>& stations) {
    m_stations.clear();
    m_weather.clear();
    m_changed.clear();
    m_lastRefresh = 0;
    m_selected.clear();
    m_boxText.clear();
    // Stations are keyed in upper case everywhere else; a hand-edited
    // profile must not hide its stations from every query.
    for (const std::string& station : stations) m_stations[ToUpper(station)] = true;
    RefreshList();
}

std::vector<std::string> WeatherStore::GetStationList() const {
    std::vector<std::string> listed;
    for (const auto& [station, isListed] : m_stations) {
        if (isListed) listed.push_back(station);
    }
    return listed;
}

// --- what the window shows -------------------------------------------------------------------

void WeatherStore::RefreshList() {
    m_lines.clear();
    for (const auto& [station, listed] : m_stations) {
        if (!listed) continue;
        WeatherListLine line;
        line.station = station;
        if (const StationWeather* w = Find(station)) {
            const std::string& time = w->fields.time;
            line.time = time.size() < 3 ? time : time.substr(2);
            line.altimeter = w->fields.altimeter;
            line.wind = WithoutKnots(w->fields.wind);
        }
        m_lines.push_back(std::move(line));
    }
    if (!m_selected.empty()) {
        const StationWeather* w = Find(m_selected);
        m_boxText = w ? w->rawText : std::string();
    }
    m_host.ListRefreshed();
}

void WeatherStore::SelectStation(const std::string& station) {
    m_selected = station;
    const StationWeather* w = Find(station);
    m_boxText = w ? w->rawText : std::string();
    m_host.ListRefreshed();
}

void WeatherStore::ShowStation(const std::string& station) {
    if (const StationWeather* w = Find(station)) {
        m_boxText = w->rawText;
        m_host.ListRefreshed();
    }
}

std::string WeatherStore::MenuCommandLine(int command, const std::string& station) {
    if (command == kRemoveStationCommand) return ".QD " + station;
    if (command == kRequestMetarCommand) return ".WX " + station;
    return {};
}

// --- queries ------------------------------------------------------------------------------------

const WeatherStore::StationWeather* WeatherStore::Find(const std::string& station) const {
    auto it = m_weather.find(station);
    return it == m_weather.end() ? nullptr : &it->second;
}

const WeatherStore::StationWeather* WeatherStore::FindForQuery(std::string station) const {
    if (station.size() != 4) return nullptr;
    return Find(ToUpper(std::move(station)));
}

template <typename T>
T WeatherStore::Field(std::string station, T MetarRecord::*member, T fallback) const {
    const StationWeather* w = FindForQuery(std::move(station));
    return w ? w->fields.*member : fallback;
}

std::string WeatherStore::GetMetar(std::string station) const {
    const StationWeather* w = FindForQuery(std::move(station));
    return w ? w->rawText : std::string();
}

// clang-format off
std::string WeatherStore::GetReportTime(std::string s) const { return Field(std::move(s), &MetarRecord::time, {}); }
std::string WeatherStore::GetWind(std::string s) const { return Field(std::move(s), &MetarRecord::wind, {}); }
int32_t WeatherStore::GetWindDirection(std::string s) const { return Field(std::move(s), &MetarRecord::windDirection, -1); }
int32_t WeatherStore::GetWindVariableTo(std::string s) const { return Field(std::move(s), &MetarRecord::variableTo, -1); }
int32_t WeatherStore::GetWindSpeed(std::string s) const { return Field(std::move(s), &MetarRecord::windSpeed, 0); }
int32_t WeatherStore::GetWindGust(std::string s) const { return Field(std::move(s), &MetarRecord::gust, 0); }
std::string WeatherStore::GetAltimeter(std::string s) const { return Field(std::move(s), &MetarRecord::altimeter, {}); }
bool WeatherStore::IsAltimeterHpa(std::string s) const { return Field(std::move(s), &MetarRecord::altimeterHpa, false); }
std::string WeatherStore::GetVisibility(std::string s) const { return Field(std::move(s), &MetarRecord::visibility, {}); }
std::string WeatherStore::GetWeather(std::string s) const { return Field(std::move(s), &MetarRecord::weather, {}); }
std::string WeatherStore::GetVerticalVisibility(std::string s) const {
    return Field(std::move(s), &MetarRecord::verticalVisibility, {});
}
std::string WeatherStore::GetClouds(std::string s) const { return Field(std::move(s), &MetarRecord::clouds, {}); }
std::string WeatherStore::GetTemperature(std::string s) const { return Field(std::move(s), &MetarRecord::temperature, {}); }
std::string WeatherStore::GetDewPoint(std::string s) const { return Field(std::move(s), &MetarRecord::dewPoint, {}); }
// clang-format on

bool WeatherStore::HasReport(std::string station) const {
    const StationWeather* w = Find(ToUpper(std::move(station)));
    return w && !w->fields.time.empty();
}
