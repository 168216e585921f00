// Rebuilds of the aircraft list over 1,500 aircraft (a third arriving, a
// third departing, a few on the request list, the rest passing through),
// next to a rebuild over an empty database measured in the same run:
// "per_empty" is the ratio, the time column the cost of one rebuild.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "floor_ratio.h"
#include "tools/aircraft_list.h"

namespace {

constexpr std::time_t kNow = 1800000000;

class Traffic : public AircraftListSource {
public:
    struct Aircraft {
        int speed = 0;
        uint16_t squawk = 0;
        TarqFlightPlanRecord plan;
        std::time_t requestTime = 0;
        double fromDeparture = -1.0;
        double toDestination = -1.0;
    };

    explicit Traffic(int count) {
        for (int i = 0; i < count; ++i) {
            Aircraft a;
            a.squawk = static_cast<uint16_t>(01000 + i % 03000);
            a.plan.aircraftType = "H/B744/L";
            a.plan.cruiseAltitude = "FL350";
            a.plan.route = "DCT CPT UL9 KENET UN14 BUCKO";
            switch (i % 3) {
                case 0:
                    a.plan.departure = "EGLL";
                    a.plan.destination = "KJFK";
                    a.speed = 10;
                    a.fromDeparture = 1.0;
                    break;
                case 1:
                    a.plan.departure = "LFPG";
                    a.plan.destination = "EGKK";
                    a.speed = 250;
                    a.toDestination = 3.0 + i % 200;
                    break;
                default:
                    a.plan.departure = "EDDF";
                    a.plan.destination = "LIRF";
                    a.speed = 450;
                    break;
            }
            if (i % 50 == 0) a.requestTime = kNow - i;
            m_aircraft["TQ" + std::to_string(10000 + i)] = a;
        }
    }
    std::vector<std::string> GetCallsigns() const override {
        std::vector<std::string> out;
        out.reserve(m_aircraft.size());
        for (const auto& entry : m_aircraft) out.push_back(entry.first);
        return out;
    }
    bool HasAircraft(const std::string& c) const override { return m_aircraft.count(c) != 0; }
    int GetGroundSpeed(const std::string& c) const override { return m_aircraft.at(c).speed; }
    uint16_t GetSquawk(const std::string& c) const override { return m_aircraft.at(c).squawk; }
    uint16_t GetAssignedSquawk(const std::string& c) const override { return m_aircraft.at(c).squawk; }
    TarqFlightPlanRecord GetFlightPlan(const std::string& c) const override { return m_aircraft.at(c).plan; }
    std::time_t GetRequestTime(const std::string& c) const override { return m_aircraft.at(c).requestTime; }
    double GetDistanceFromDeparture(const std::string& c) const override {
        return m_aircraft.at(c).fromDeparture;
    }
    double GetDistanceToDestination(const std::string& c) const override {
        return m_aircraft.at(c).toDestination;
    }
    bool HasRequestListEntries() const override { return true; }

private:
    std::map<std::string, Aircraft> m_aircraft;
};

struct Rig {
    Traffic traffic;
    AircraftListModel list{traffic};
    explicit Rig(int count) : traffic(count) { list.LoadFieldSettings({"EGKK"}, {"EGLL"}, nullptr); }
};

// Rebuilds of the count list against rebuilds of an empty one, interleaved.
void RebuildAgainstEmpty(benchmark::State& state, int count) {
    Rig empty(0);
    Rig rig(count);
    RunAgainstFloor(
        state, "per_empty", [&] { empty.list.Rebuild(kNow); }, [&] { rig.list.Rebuild(kNow); });
    state.counters["rows"] = static_cast<double>(rig.list.GetRows().size());
}

void BM_EmptyListRebuild(benchmark::State& state) { RebuildAgainstEmpty(state, 0); }
BENCHMARK(BM_EmptyListRebuild)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_List1500AircraftRebuild(benchmark::State& state) { RebuildAgainstEmpty(state, 1500); }
BENCHMARK(BM_List1500AircraftRebuild)->Unit(benchmark::kMicrosecond)->UseManualTime();

}  // namespace
