#include "tools/aircraft_list.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/atc/atc_fakes.h"

namespace {

class FakeAircraftSource : public AircraftListSource {
public:
    struct Aircraft {
        int speed = 0;
        uint16_t squawk = 0;
        uint16_t assigned = 0;
        TarqFlightPlanRecord plan;
        std::time_t requestTime = 0;
        double fromDeparture = -1.0;
        double toDestination = -1.0;
    };
    std::map<std::string, Aircraft> aircraft;
    mutable int walks = 0;

    Aircraft& Add(const std::string& callsign, const std::string& departure, const std::string& destination) {
        Aircraft& a = aircraft[callsign];
        a.plan.departure = departure;
        a.plan.destination = destination;
        return a;
    }
    std::vector<std::string> GetCallsigns() const override {
        ++walks;
        std::vector<std::string> out;
        for (const auto& entry : aircraft) out.push_back(entry.first);
        return out;
    }
    bool HasAircraft(const std::string& c) const override { return aircraft.count(c) != 0; }
    int GetGroundSpeed(const std::string& c) const override { return aircraft.at(c).speed; }
    uint16_t GetSquawk(const std::string& c) const override { return aircraft.at(c).squawk; }
    uint16_t GetAssignedSquawk(const std::string& c) const override { return aircraft.at(c).assigned; }
    TarqFlightPlanRecord GetFlightPlan(const std::string& c) const override { return aircraft.at(c).plan; }
    std::time_t GetRequestTime(const std::string& c) const override { return aircraft.at(c).requestTime; }
    double GetDistanceFromDeparture(const std::string& c) const override {
        return aircraft.at(c).fromDeparture;
    }
    double GetDistanceToDestination(const std::string& c) const override {
        return aircraft.at(c).toDestination;
    }
    bool HasRequestListEntries() const override {
        for (const auto& entry : aircraft) {
            if (entry.second.requestTime != 0) return true;
        }
        return false;
    }
};

constexpr std::time_t kNow = 1800000000;

struct AircraftListFixture : ::testing::Test {
    FakeAircraftSource source;
    AircraftListModel list{source};

    void SetUp() override {
        list.LoadFieldSettings({"EGLL", "EGKK", "EGLL"}, {"EGLL"},
                               [](const std::string& name, double& lat, double&) {
                                   if (name == "EGLL") lat = 51.47;
                               });
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> out;
        for (const AircraftListEntry& row : list.GetRows()) {
            out.push_back(row.header ? "[" + row.callsign + "]" : row.label + " " + row.callsign);
        }
        return out;
    }
};

TEST_F(AircraftListFixture, FieldsAreExactNames) {
    EXPECT_TRUE(list.IsArrivalField("EGKK"));
    EXPECT_FALSE(list.IsArrivalField("egkk"));
    EXPECT_FALSE(list.IsDepartureField("EGKK"));
    FakeAircraftSource empty;
    AircraftListModel unloaded(empty);
    EXPECT_FALSE(unloaded.IsArrivalField("EGLL"));
}

TEST_F(AircraftListFixture, SectionsAndSortOrder) {
    // callsign, departure, destination, speed, request time, from departure, to destination
    struct Row {
        const char* callsign;
        const char* departure;
        const char* destination;
        int speed;
        std::time_t requestTime;
        double fromDeparture;
        double toDestination;
    };
    const Row rows[] = {
        {"DEP2", "EGLL", "LFPG", 10, 0, 5.0, -1.0},        {"DEP1", "EGLL", "LFPG", 50, 0, 0.0, -1.0},
        {"FAST", "EGLL", "EGKK", 51, 0, 1.0, 20.9},        {"NEAR", "LFPG", "EGKK", 200, 0, -1.0, 2.9},
        {"FAR", "LFPG", "EGLL", 200, 0, -1.0, 100.0},      {"UNK", "LFPG", "EGLL", 200, 0, -1.0, -1.0},
        {"OTHER", "LFPG", "EDDF", 200, 0, -1.0, 50.0},     {"REQ2", "LFPG", "EDDF", 0, kNow - 30, -1.0, -1.0},
        {"REQ1", "EGLL", "LFPG", 0, kNow - 90, 1.0, -1.0}, {"SLOW", "LFPG", "EGLL", 40, 0, 1.0, 3.0},
    };
    for (const Row& r : rows) {
        auto& a = source.Add(r.callsign, r.departure, r.destination);
        a.speed = r.speed;
        a.requestTime = r.requestTime;
        a.fromDeparture = r.fromDeparture;
        a.toDestination = r.toDestination;
    }
    list.Rebuild(kNow);
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"[Request List]", "A REQ1", "B REQ2", "[Departures]", "C DEP1",
                                        "D DEP2", "E REQ1", "[Arrivals]", "F SLOW", "G FAST", "H FAR"}));
    const AircraftListEntry& fast = list.GetRows()[9];
    EXPECT_TRUE(fast.arrival);
    EXPECT_EQ(fast.distance, 20);
    EXPECT_EQ(fast.airport, "EGKK");
}

TEST_F(AircraftListFixture, LabelsRunThroughLettersDigitsThenBlank) {
    for (int i = 0; i < 40; ++i) {
        char callsign[16];  // room for any int, which GCC at -O1 cannot rule out
        std::snprintf(callsign, sizeof callsign, "A%03d", i);
        source.Add(callsign, "LFPG", "EGLL").toDestination = 10.0 + i;
    }
    list.Rebuild(kNow);
    const auto& rows = list.GetRows();
    ASSERT_EQ(rows.size(), 41u);
    EXPECT_EQ(rows[1].label, "A");
    EXPECT_EQ(rows[26].label, "Z");
    EXPECT_EQ(rows[27].label, "1");
    EXPECT_EQ(rows[35].label, "9");
    EXPECT_EQ(rows[36].label, "0");
    EXPECT_EQ(rows[37].label, " ");
    EXPECT_EQ(rows[40].label, " ");
    EXPECT_EQ(list.GetCallsignForLabel("b"), "A001");
    EXPECT_EQ(list.GetCallsignForLabel("0"), "A035");
}

TEST_F(AircraftListFixture, LabelMapIsClearedOnEveryRebuild) {
    source.Add("BAW1", "LFPG", "EGLL").toDestination = 10.0;
    source.Add("BAW2", "LFPG", "EGLL").toDestination = 20.0;
    list.Rebuild(kNow);
    ASSERT_EQ(list.GetCallsignForLabel("B"), "BAW2");
    source.aircraft.erase("BAW2");
    list.Rebuild(kNow + 1);
    EXPECT_EQ(list.GetCallsignForLabel("B"), "");
    // Nor does a blanked list keep its labels.
    list.Rebuild(kNow + 2, true);
    EXPECT_EQ(list.GetCallsignForLabel("A"), "");
}

TEST_F(AircraftListFixture, CollapsedSectionKeepsItsHeaderAndRelabels) {
    source.Add("DEP1", "EGLL", "LFPG").fromDeparture = 1.0;
    source.Add("ARR1", "LFPG", "EGLL").toDestination = 10.0;
    list.Rebuild(kNow);
    ASSERT_EQ(list.GetRows()[0].callsign, "Departures");
    EXPECT_EQ(list.OnRowClick(0, 4, 5, false, kNow), AircraftListModel::ClickAction::None);
    EXPECT_EQ(list.OnRowClick(0, 5, 3, false, kNow), AircraftListModel::ClickAction::Rebuilt);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"[Departures]", "[Arrivals]", "A ARR1"}));
    EXPECT_FALSE(list.IsSectionExpanded(kSectionDepartures));
    EXPECT_EQ(list.GetMenuCallsign(0), "");
    EXPECT_EQ(list.GetMenuCallsign(2), "ARR1");
    EXPECT_EQ(list.OnRowClick(2, 50, 5, true, kNow), AircraftListModel::ClickAction::AddStrip);
    EXPECT_TRUE(list.OnRowDoubleClick(2, kNow));
}

TEST_F(AircraftListFixture, RowValueTexts) {
    AircraftListEntry request;
    request.requestTime = kNow - 125;
    EXPECT_EQ(AircraftListModel::FormatRowValue(request, kNow), "2:05");
    EXPECT_EQ(AircraftListModel::RowKindLetter(request), "R");
    AircraftListEntry arrival;
    arrival.arrival = true;
    arrival.distance = 42;
    EXPECT_EQ(AircraftListModel::FormatRowValue(arrival, kNow), "42");
    AircraftListEntry departure;
    departure.squawk = 0;
    EXPECT_EQ(AircraftListModel::FormatRowValue(departure, kNow), "");
    departure.squawk = 0x0017;  // shown as the decimal number it holds
    EXPECT_EQ(AircraftListModel::FormatRowValue(departure, kNow), "0023");
    EXPECT_EQ(AircraftListModel::RowKindLetter(departure), "D");
}

TEST_F(AircraftListFixture, DetailText) {
    auto& a = source.Add("BAW12", "EGLL", "KJFK");
    a.plan.aircraftType = "H/B744/L";
    a.plan.cruiseAltitude = "4500";
    a.plan.route = "DVR UL9";
    a.assigned = 1200;
    a.squawk = 2000;
    EXPECT_EQ(list.ShowFlightPlanDetails("BAW12"),
              "BAW12  H/B744/L  1200  2000\r\nEGLL - KJFK  045\r\nDVR UL9");
    a.assigned = 2000;
    a.plan.cruiseAltitude = "FL350";
    EXPECT_EQ(list.ShowFlightPlanDetails("BAW12"), "BAW12  H/B744/L  2000\r\nEGLL - KJFK  FL3\r\nDVR UL9");
    source.Add("NOPLAN", "", "").squawk = 2000;
    EXPECT_EQ(list.ShowFlightPlanDetails("NOPLAN"), "NOPLAN    0000  2000\r\n???? - ????  000\r\n");
    a.plan.cruiseAltitude = "5";
    a.plan.route = std::string(2000, 'R');
    EXPECT_EQ(list.ShowFlightPlanDetails("BAW12").size(), 1023u);
    EXPECT_EQ(list.ShowFlightPlanDetails("GONE"), "");
    EXPECT_EQ(list.GetDetailCallsign(), "GONE");
}

TEST(ZeroFill, PadsWithZerosNotBlanks) {
    EXPECT_EQ(ZeroFill("5", 3), "005");
    EXPECT_EQ(ZeroFill("", 3), "000");
    EXPECT_EQ(ZeroFill("350", 3), "350");
    EXPECT_EQ(ZeroFill("3500", 3), "3500");
}

TEST_F(AircraftListFixture, ManyEventsRebuildOncePerTick) {
    source.Add("ARR1", "LFPG", "EGLL").toDestination = 10.0;
    list.Rebuild(kNow);
    const int walks = source.walks;
    for (int i = 0; i < 50; ++i) list.RequestRebuild();
    EXPECT_EQ(source.walks, walks);
    EXPECT_TRUE(list.OnTimer(kNow));
    EXPECT_FALSE(list.OnTimer(kNow));
    EXPECT_EQ(source.walks, walks + 1);
    // Periodic refresh: every 5 s, every second while someone waits.
    EXPECT_FALSE(list.OnTimer(kNow + 4));
    EXPECT_TRUE(list.OnTimer(kNow + 5));
    source.aircraft["ARR1"].requestTime = kNow;
    EXPECT_TRUE(list.OnTimer(kNow + 6));
}

// Rolled up, the list walks nothing and keeps its rows; the change asked for
// meanwhile is made on the first tick after it rolls down. Blanking still
// empties it.
TEST_F(AircraftListFixture, RolledUpListWaitsAndBlankingEmptiesIt) {
    source.Add("ARR1", "LFPG", "EGLL").toDestination = 10.0;
    list.Rebuild(kNow);
    const size_t rows = list.GetRows().size();
    const int walks = source.walks;
    source.Add("ARR2", "LFPG", "EGLL").toDestination = 20.0;
    list.RequestRebuild();
    EXPECT_FALSE(list.OnTimer(kNow, false, true));
    EXPECT_FALSE(list.OnTimer(kNow + 9, false, true));
    EXPECT_EQ(source.walks, walks);
    EXPECT_EQ(list.GetRows().size(), rows);
    EXPECT_TRUE(list.OnTimer(kNow + 9));
    EXPECT_EQ(list.GetRows().size(), rows + 1);
    list.RequestRebuild();
    EXPECT_TRUE(list.OnTimer(kNow + 9, true, true));
    EXPECT_TRUE(list.GetRows().empty());
    EXPECT_EQ(list.GetCallsignForLabel("A"), "");
}

}  // namespace

namespace {

// The same list over the real aircraft database.
TEST(AircraftListOverDatabase, ArrivalsAndRequestsFromTheDatabase) {
    AtcWorld w;
    w.scope.namedPoints["EGLL"] = {0, 0};
    w.See("N1", 0.5, 0, 3000, 200);
    w.See("N2", 10, 10, 3000, 200);
    TarqFlightPlanRecord plan;
    plan.departure = "KJFK";
    plan.destination = "EGLL";
    w.aircraft.OnFlightPlanReceived("N1", plan);
    w.See("N1", 0.5, 0, 3000, 200);
    w.aircraft.ToggleRequestList("N2");

    AircraftDBListSource source(w.aircraft);
    AircraftListModel list(source);
    list.LoadFieldSettings({"EGLL"}, {}, nullptr);
    list.Rebuild(AtcWorld::kStart);
    const auto& rows = list.GetRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].callsign, "N2");
    EXPECT_EQ(rows[1].requestTime, AtcWorld::kStart);
    EXPECT_EQ(rows[3].callsign, "N1");
    EXPECT_EQ(rows[3].airport, "EGLL");
    EXPECT_EQ(rows[3].distance, 30);
    EXPECT_EQ(list.GetCallsignForLabel("b"), "N1");
    EXPECT_EQ(list.ShowFlightPlanDetails("N1").substr(0, 8), "N1    00");
}

}  // namespace
