// The weather panel's behaviour without its window: the station list (listed
// stations, and stations only requested once), the fields of each station's
// last METAR with their read-only queries, the 300-second refresh, the
// 20-station limit, the list's lines and the report box. The window binds
// its list box and text box to GetListLines and GetReportBoxText and refills
// them when the host hears ListRefreshed.
// Tested by tests/comms/weather_store_test.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "atc/network_owners.h"
#include "comms/metar_parser.h"

class Clock;
class TarqProfile;

// What the store asks of the rest of the program.
class WeatherHost {
public:
    virtual ~WeatherHost() = default;
    virtual bool IsConnected() const = 0;
    virtual void RequestMETAR(const std::string& station) = 0;
    // An error line with the error sound.
    virtual void ShowError(const std::string& text) = 0;
    // One button per listed station on the main display.
    virtual void RebuildButtonBar() = 0;
    // A report of the ATIS station arrived (the ATIS maker's OnReportTime).
    virtual void OnATISReportTime(const std::string& time) = 0;
    // The list's lines or the report box changed.
    virtual void ListRefreshed() = 0;
};

// One line of the panel's list.
struct WeatherListLine {
    std::string station;
    std::string time;  // HHMMZ: the report time without its day
    std::string altimeter;
    std::string wind;  // the wind text without "KT"

    // Tab, station, tab, time, tab, altimeter, tab, wind: the list box's text.
    std::string Text() const;
};

class WeatherStore final : public NetWeather {
public:
    static constexpr int kMaxListedStations = 20;
    static constexpr std::time_t kRefreshSeconds = 300;
    static constexpr const char* kTooManyStations =
        "Already monitoring the maximum number of weather stations.";
    // Context menu commands of a list line.
    static constexpr int kRemoveStationCommand = 601;
    static constexpr int kRequestMetarCommand = 602;

    // host null: nothing is asked or told. The profile keeps "WxStations".
    WeatherStore(TarqProfile& profile, WeatherHost& host, const Clock& clock);
    ~WeatherStore() override;

    // --- fed by the network ---------------------------------------------------
    void OnMetar(const std::string& text) override;
    void RequestMetarsAgain() override { RefreshMetars(true); }
    // Requests every known station when more than 300 s have passed while
    // connected, or at once when forced.
    void RefreshMetars(bool force);

    // --- the station list -------------------------------------------------------
    void ToggleStation(const std::string& station);
    void RemoveStation(const std::string& station);
    void RequestMetar(const std::string& station);
    void SetATISStation(const std::string& station);
    std::string GetATISStation() const { return m_atisStation; }
    // The profile's saved list, upper-cased.
    void Restore(const std::vector<std::string>& stations);
    std::vector<std::string> GetStationList() const;
    bool IsKnown(const std::string& station) const { return m_stations.count(station) != 0; }
    void ClearChangeMarks() { m_changed.clear(); }

    // --- what the window shows ----------------------------------------------------
    void RefreshList();
    const std::vector<WeatherListLine>& GetListLines() const { return m_lines; }
    const std::string& GetReportBoxText() const { return m_boxText; }
    std::string GetSelectedStation() const { return m_selected; }
    // A line selected in the list.
    void SelectStation(const std::string& station);
    // A weather button: shows the report without changing the selection.
    void ShowStation(const std::string& station);
    // The command line a context menu command runs: ".QD KXYZ" or ".WX KXYZ";
    // empty for any other command.
    static std::string MenuCommandLine(int command, const std::string& station);

    // --- queries: a station of four characters, any case ------------------------
    std::string GetMetar(std::string station) const;
    std::string GetReportTime(std::string station) const;
    std::string GetWind(std::string station) const;
    int32_t GetWindDirection(std::string station) const;
    int32_t GetWindVariableTo(std::string station) const;
    int32_t GetWindSpeed(std::string station) const;
    int32_t GetWindGust(std::string station) const;
    std::string GetAltimeter(std::string station) const;
    bool IsAltimeterHpa(std::string station) const;
    std::string GetVisibility(std::string station) const;
    std::string GetWeather(std::string station) const;
    std::string GetVerticalVisibility(std::string station) const;
    std::string GetClouds(std::string station) const;
    std::string GetTemperature(std::string station) const;
    std::string GetDewPoint(std::string station) const;
    // Any length, upper-cased.
    bool HasReport(std::string station) const;
    // The key exactly as given: stored keys are upper case.
    bool IsReportChanged(const std::string& station) const { return m_changed.count(station) != 0; }

private:
    struct StationWeather {
        std::string rawText;
        MetarRecord fields;
    };

    const StationWeather* Find(const std::string& station) const;
    // Null unless the station has four characters and, upper-cased, an entry.
    const StationWeather* FindForQuery(std::string station) const;
    template <typename T>
    T Field(std::string station, T MetarRecord::*member, T fallback) const;
    void EnterListed(const std::string& key);
    void ListChanged();

    TarqProfile& m_profile;
    WeatherHost& m_host;
    const Clock& m_clock;
    MetarParser m_parser;
    std::time_t m_lastRefresh = 0;
    std::string m_selected;
    std::string m_boxText;
    std::string m_atisStation;
    std::map<std::string, bool> m_stations;  // true: listed
    std::map<std::string, StationWeather> m_weather;
    std::set<std::string> m_changed;
    std::vector<WeatherListLine> m_lines;
};
