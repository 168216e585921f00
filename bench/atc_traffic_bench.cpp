// One minute of a busy network through the ATC state: 150, 1,500 and 5,000
// aircraft over the same area, each reporting every 5 s (12 reports an
// aircraft, each running the conflict alert), with 100 controllers on line.
// Reports the cost per report, which should not grow with the traffic, and
// its ratio to a floor measured in the same run, interleaved: the same reports applied
// straight to the aircraft records, without the database.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "foundation/random15.h"
#include "bench/floor_ratio.h"
#include "platform/clock.h"
#include "tests/atc/quiet_services.h"

namespace {

constexpr int kControllers = 100;
constexpr int kReportsPerAircraft = 60 / 5;

class BenchSettings final : public AtcSettings {
public:
    int GetInt(const std::string& key) const override {
        if (key == "CAVerticalMin") return 1000;
        if (key == "CALateralMin") return 5;
        if (key == "TransLevel") return 18000;
        return 0;
    }
    bool GetBool(const std::string&) const override { return false; }
    std::string GetString(const std::string& key) const override { return key == "Callsign" ? "ME_CTR" : ""; }
    std::vector<std::string> GetList(const std::string&) const override { return {}; }
    bool IsVFRCode(uint16_t code) const override { return code == 1200; }
};

// Aircraft flying straight lines over a 300 NM square around 40N 74W.
struct Traffic {
    std::vector<std::string> callsigns;
    std::vector<AircraftReport> reports;

    explicit Traffic(int count) {
        Random15 random(7);
        for (int i = 0; i < count; ++i) {
            callsigns.push_back("TRF" + std::to_string(1000 + i));
            AircraftReport r;
            r.latitude = 37.5 + random.Next() / 32767.0 * 5;
            r.longitude = -77 + random.Next() / 32767.0 * 6.5;
            r.altitude = 2000 + random.Next() % 350 * 100;
            r.groundSpeed = 150 + random.Next() % 350;
            r.heading = 1 + random.Next() % 360;
            r.squawk = static_cast<uint16_t>(i % 7 == 0 ? 1200 : 2000 + i % 500);
            r.transponderMode = 'N';
            reports.push_back(r);
        }
    }

    // Moves aircraft i along its heading by 5 seconds of flight.
    void Advance(int i) {
        AircraftReport& r = reports[i];
        const double d = r.groundSpeed / 3600.0 * 5 / 60;
        r.latitude += std::cos(r.heading * 3.14159265358979 / 180) * d;
        r.longitude += std::sin(r.heading * 3.14159265358979 / 180) * d / 0.766;
    }
};

// One minute of reports applied straight to the aircraft records.
void FloorMinute(Traffic& traffic, std::vector<std::unique_ptr<TarqAircraft>>& aircraft, ManualClock& clock) {
    const int count = static_cast<int>(aircraft.size());
    for (int n = 0; n < count * kReportsPerAircraft; ++n) {
        const int i = n % count;
        traffic.Advance(i);
        aircraft[i]->Update(traffic.reports[i], false, 18000);
        clock.Advance(5000 / count + 1);
    }
}

void BM_PositionReportsFloor(benchmark::State& state) {
    ManualClock clock(0, 1700000000);
    Traffic traffic(static_cast<int>(state.range(0)));
    std::vector<std::unique_ptr<TarqAircraft>> aircraft;
    for (const std::string& c : traffic.callsigns)
        aircraft.push_back(std::make_unique<TarqAircraft>(c, clock));
    for (auto _ : state) FloorMinute(traffic, aircraft, clock);
    state.counters["ns_per_report"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * state.range(0) * kReportsPerAircraft,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PositionReportsFloor)->Arg(150)->Arg(1500)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_PositionReportsWithConflictAlert(benchmark::State& state) {
    ManualClock clock(0, 1700000000);
    BenchSettings settings;
    // The alert's own work is measured; alarms and lines go nowhere.
    QuietAtcServices quiet;
    AtcServices services = quiet.Services();
    services.settings = &settings;
    services.clock = &clock;
    TarqControllerDB controllers(services);
    TarqAircraftDB db(services);
    db.SetControllerDB(&controllers);
    controllers.SetAircraftDB(&db);
    for (int i = 0; i < kControllers; ++i) {
        ControllerReport r;
        r.frequency = 118000 + i * 25;
        r.facility = 5;
        controllers.UpdateFromPositionReport("C" + std::to_string(i) + (i % 2 ? "_APP" : "_CTR"), r);
    }
    const int count = static_cast<int>(state.range(0));
    Traffic traffic(count);
    for (int i = 0; i < count; ++i) db.UpdatePilotPosition(traffic.callsigns[i], traffic.reports[i]);
    // The floor flies its own copy of the traffic on its own clock.
    ManualClock floorClock(0, 1700000000);
    Traffic floorTraffic(count);
    std::vector<std::unique_ptr<TarqAircraft>> floorAircraft;
    for (const std::string& c : floorTraffic.callsigns)
        floorAircraft.push_back(std::make_unique<TarqAircraft>(c, floorClock));
    const double perMinute = RunAgainstFloor(
        state, "x_floor", [&] { FloorMinute(floorTraffic, floorAircraft, floorClock); },
        [&] {
            for (int n = 0; n < count * kReportsPerAircraft; ++n) {
                const int i = n % count;
                traffic.Advance(i);
                db.UpdatePilotPosition(traffic.callsigns[i], traffic.reports[i]);
                clock.Advance(5000 / count + 1);
            }
            db.OnTimer();
            controllers.OnTimer();
        });
    state.counters["ns_per_report"] = perMinute * 1e9 / (static_cast<double>(count) * kReportsPerAircraft);
}
BENCHMARK(BM_PositionReportsWithConflictAlert)
    ->Arg(150)
    ->Arg(1500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace
