// A weather store on a manual clock with a recording host and a real profile
// in a temporary directory.
#pragma once

#include <string>
#include <vector>

#include "comms/atis_maker.h"
#include "comms/weather_store.h"
#include "foundation/profile.h"
#include "platform/clock.h"
#include "tests/temp_dir.h"

class RecordingWeatherHost : public WeatherHost {
public:
    bool IsConnected() const override { return connected; }
    void RequestMETAR(const std::string& station) override { requests.push_back(station); }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void RebuildButtonBar() override { ++rebuilds; }
    void OnATISReportTime(const std::string& time) override { atisTimes.push_back(time); }
    void ListRefreshed() override { ++refreshes; }

    bool connected = true;
    std::vector<std::string> requests;
    std::vector<std::string> errors;
    std::vector<std::string> atisTimes;
    int rebuilds = 0;
    int refreshes = 0;
};

// The ATIS maker's error lines.
class RecordingAtisHost : public AtisMakerHost {
public:
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void AtisUpdated() override { ++updates; }
    std::vector<std::string> errors;
    int updates = 0;
};

struct WeatherFixture {
    TempDir dir;
    TarqProfile profile{dir.File("Tarq.ini")};
    ManualClock clock{0, 1'000'000};
    RecordingWeatherHost host;
    WeatherStore store{profile, host, clock};
};
