// Tests of controller-to-controller items, flight plan amendments, flight
// plan reception (voice markers, weight class, automatic strips) and the
// assigned-squawk setter.
#include <gtest/gtest.h>

#include <algorithm>

#include "atc/aircraft_db.h"
#include "atc_fakes.h"

namespace {

TarqFlightPlanRecord Plan(const std::string& route, const std::string& remarks) {
    TarqFlightPlanRecord plan;
    plan.departure = "KJFK";
    plan.destination = "KBOS";
    plan.cruiseAltitude = "FL350";
    plan.route = route;
    plan.remarks = remarks;
    return plan;
}

TEST(Items, OwnItemsAreCheckedCountedAndSent) {
    AtcWorld w;
    w.See("N1");
    w.aircraft.SetScratchpad("N1", "ME_CTR", "RV", false);
    w.aircraft.SetTemporaryAltitude("N1", "ME_CTR", 7000);
    const std::vector<std::string> expected = {"SendScratchpad N1 RV", "SendTemporaryAltitude N1 7000"};
    EXPECT_EQ(std::vector<std::string>(w.log.lines.end() - 2, w.log.lines.end()), expected);
    EXPECT_EQ(w.aircraft.GetScratchpad("N1"), "RV");
    EXPECT_EQ(w.aircraft.GetTemporaryAltitude("N1"), 7000);
    EXPECT_EQ(w.aircraft.GetScratchpadsAssigned(), 1);
    EXPECT_EQ(w.aircraft.GetTemporaryAltitudesAssigned(), 1);
}

TEST(Items, OthersItemsAreStoredWithoutCheck) {
    AtcWorld w;
    w.See("N1");
    w.aircraft.SetTrackingController("N1", "THIRD_CTR");
    w.tools.editorCallsign = "N1";
    w.log.Clear();
    w.aircraft.SetScratchpad("N1", "XY_APP", "HDG", true);
    w.aircraft.SetTemporaryAltitude("N1", "XY_APP", 5000);
    w.aircraft.SetVoiceType("N1", "XY_APP", 2);
    w.aircraft.SetAssignedSquawk("N1", "XY_APP", 4321);
    const std::vector<std::string> expected = {"ShowFlightPlan N1", "SetSquawkField 4321"};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_EQ(w.aircraft.GetScratchpad("N1"), "HDG");
    EXPECT_EQ(w.aircraft.GetVoiceType("N1"), 2);
    EXPECT_EQ(w.aircraft.GetAssignedSquawk("N1"), 4321);
    EXPECT_EQ(w.aircraft.GetSquawksAssigned(), 0);
    EXPECT_FALSE(w.aircraft.HasAutoAssignedSquawk("N1", 4321));
    // The same scratchpad from the user is refused.
    w.log.Clear();
    w.aircraft.SetScratchpad("N1", "ME_CTR", "X", false);
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"error: Not your control."});
    EXPECT_EQ(w.aircraft.GetScratchpad("N1"), "HDG");
    EXPECT_EQ(w.aircraft.GetScratchpadsAssigned(), 0);
}

TEST(Items, Amendments) {
    struct Row {
        const char* name;
        std::function<void(TarqAircraftDB&)> action;
        std::string route, remarks, altitude;
        std::vector<std::string> log;
    };
    const Row rows[] = {
        {"cruise altitude twice",
         [](TarqAircraftDB& db) {
             db.SetCruiseAltitude("N1", 31000);
             db.SetCruiseAltitude("N1", 33000);
         },
         "+DCT X",
         "/v/ hello",
         "33000",
         {"SendAmendedFlightPlan N1 route=+DCT X remarks=/v/ hello alt=31000", "SendFinalAltitude N1 31000",
          "SendAmendedFlightPlan N1 route=+DCT X remarks=/v/ hello alt=33000", "SendFinalAltitude N1 33000"}},
        {"route with plus and colons",
         [](TarqAircraftDB& db) { db.AmendFlightPlan("N1", "+A:B"); },
         "++A B",
         "/v/ hello",
         "FL350",
         {"SendAmendedFlightPlan N1 route=++A B remarks=/v/ hello alt=FL350"}},
        {"remarks with colons",
         [](TarqAircraftDB& db) { db.AmendRemarks("N1", "a:b"); },
         "+DCT X",
         "a b",
         "FL350",
         {"SendAmendedFlightPlan N1 route=+DCT X remarks=a b alt=FL350"}},
        {"voice type moves the marker",
         [](TarqAircraftDB& db) { db.SetVoiceType("N1", "ME_CTR", 3); },
         "+DCT X",
         "/v/ hello",
         "FL350",
         {"SendAmendedFlightPlan N1 route=+DCT X remarks=/v/ hello alt=FL350", "SendVoiceType N1 v"}},
        {"whole plan",
         [](TarqAircraftDB& db) {
             TarqFlightPlanRecord p = Plan("NEW", "R");
             p.cruiseAltitude = "240B";
             p.placeholder = true;
             db.AmendFlightPlan3("N1", p);
         },
         "NEW",
         "R",
         "240B",
         {"SendAmendedFlightPlan N1 route=NEW remarks=R alt=240B", "SendFinalAltitude N1 240"}},
        {"whole plan, letters first",
         [](TarqAircraftDB& db) {
             TarqFlightPlanRecord p = Plan("NEW", "R");
             p.cruiseAltitude = "FL240";
             db.AmendFlightPlan3("N1", p);
         },
         "NEW",
         "R",
         "FL240",
         {"SendAmendedFlightPlan N1 route=NEW remarks=R alt=FL240", "SendFinalAltitude N1 0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.See("N1");
        w.aircraft.OnFlightPlanReceived("N1", Plan("DCT X", "/v/ hello"));
        w.log.Clear();
        row.action(w.aircraft);
        EXPECT_EQ(w.log.lines, row.log);
        const TarqFlightPlanRecord stored = w.aircraft.GetFlightPlan("N1");
        EXPECT_FALSE(stored.placeholder);
        EXPECT_EQ(stored.route, row.route);
        EXPECT_EQ(stored.remarks, row.remarks);
        EXPECT_EQ(stored.cruiseAltitude, row.altitude);
    }
}

TEST(Items, VoiceTypeRewritesMarkersInRemarks) {
    AtcWorld w;
    w.See("N1");
    w.aircraft.OnFlightPlanReceived("N1", Plan("DCT", "SEL/ABCD /T/ CALL"));
    w.aircraft.SetVoiceType("N1", "ME_CTR", 3);
    EXPECT_EQ(w.aircraft.GetFlightPlan("N1").remarks, "/v/SEL/ABCD  CALL");
    EXPECT_EQ(w.aircraft.GetVoiceType("N1"), 3);
    EXPECT_EQ(w.aircraft.GetAmendedCount(), 1u);
}

TEST(Items, VoiceTypeOnPlaceholderPlanSendsNoAmendment) {
    AtcWorld w;
    w.See("N1");
    w.log.Clear();
    w.aircraft.SetVoiceType("N1", "ME_CTR", 1);
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"SendVoiceType N1 t"});
    EXPECT_EQ(w.aircraft.GetVoiceType("N1"), 1);
}

TEST(Items, RefusedVoiceTypeLeavesNoTrace) {
    AtcWorld w;
    w.See("N1");
    w.aircraft.OnFlightPlanReceived("N1", Plan("DCT", "/t/"));
    w.aircraft.SetTrackingController("N1", "XY_APP");
    w.log.Clear();
    w.aircraft.SetVoiceType("N1", "ME_CTR", 3);
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"error: Not your control."});
    EXPECT_EQ(w.aircraft.GetVoiceType("N1"), 1);
}

TEST(Items, RefusedAmendmentsChangeNothing) {
    AtcWorld w;
    w.network.validAtc = false;
    w.See("N1");
    w.log.Clear();
    w.aircraft.SetCruiseAltitude("N1", 100);
    w.aircraft.AmendFlightPlan("GHOST", "X");
    const std::vector<std::string> expected = {"error: Invalid control.", "error: Invalid control."};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_TRUE(w.aircraft.GetFlightPlan("N1").placeholder);
    w.network.validAtc = true;
    w.log.Clear();
    w.aircraft.AmendFlightPlan("GHOST", "X");
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"error: Aircraft not found."});
    EXPECT_FALSE(w.aircraft.HasFlightPlan("GHOST"));
}

TEST(FlightPlans, VoiceMarkersTabsAndPlaceholderFlag) {
    struct Row {
        const char* remarks;
        int voiceType;  // 2 is the value set before the plan came
    };
    const Row rows[] = {{"x /V/ y", 3}, {"/R/", 2}, {"/t/", 1}, {"/t/ and /v/", 3}, {"none", 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.remarks);
        AtcWorld w;
        w.aircraft.SetVoiceType("N1", "XY_APP", 2);
        TarqFlightPlanRecord plan = Plan("A\tB", row.remarks);
        plan.placeholder = true;
        w.aircraft.OnFlightPlanReceived("N1", plan);
        EXPECT_EQ(w.aircraft.GetVoiceType("N1"), row.voiceType);
        EXPECT_EQ(w.aircraft.GetFlightPlan("N1").route, "A B");
        EXPECT_FALSE(w.aircraft.GetFlightPlan("N1").placeholder);
    }
}

TEST(FlightPlans, WeightClassFromTypeTable) {
    AtcWorld w;
    TempDir dir;
    w.aircraft.SetStartDirectory(dir.Path());
    dir.Write("aircraft_info.dat",
              "version=1\nB744\tBoeing\t747-"
              "400\t4\tJ\tH\t2000\t2500\tIII\nA320\tAirbus\tA320\t2\tJ\tM\t2500\t2500\tIII\n"
              "SMOL\tX\tY\t1\tP\th\t1\t1\tI\n");
    w.aircraft.LoadAircraftInfo("1");
    struct Row {
        const char* type;
        bool heavy;
        const char* weight;
    };
    const Row rows[] = {{"B744", true, "H"}, {"A320", false, "M"}, {"SMOL", false, "h"}, {"ZZZZ", false, ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        TarqFlightPlanRecord plan = Plan("DCT", "");
        plan.bareType = row.type;
        w.aircraft.OnFlightPlanReceived("N1", plan);
        EXPECT_EQ(w.aircraft.IsHeavy("N1"), row.heavy);
        EXPECT_EQ(w.aircraft.GetWeightClass("N1"), row.weight);
    }
}

TEST(FlightPlans, AutomaticStrips) {
    struct Row {
        const char* name;
        bool arr, dep;
        int speed;
        double nmFromDeparture;
        bool strip;
    };
    const Row rows[] = {
        {"departure at 5.0 NM", true, true, 30, 5.0, true},
        {"departure at 5.1 NM", true, true, 30, 5.1, false},
        {"departures off", true, false, 30, 1.0, false},
        {"arrival far away", true, false, 51, 500, true},
        {"50 kt is a departure", true, false, 50, 500, false},
        {"arrivals off", false, true, 51, 500, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.settings.bools["AutoAddStripsArr"] = row.arr;
        w.settings.bools["AutoAddStripsDep"] = row.dep;
        w.settings.lists["ArrivalFields"] = {"KBOS"};
        w.settings.lists["DepartureFields"] = {"KJFK"};
        w.settings.strings["SoundStripReceived"] = "strip.wav";
        w.scope.namedPoints["KJFK"] = {0, 0};
        w.network.connectTime = AtcWorld::kStart - 11;
        w.aircraft.UpdatePilotPosition("N1", AtcWorld::Report(row.nmFromDeparture / 60, 0, 100, row.speed));
        w.log.Clear();
        w.aircraft.OnFlightPlanReceived("N1", Plan("DCT", ""));
        const bool added = std::count(w.log.lines.begin(), w.log.lines.end(), "AddStrip N1") == 1;
        EXPECT_EQ(added, row.strip);
        EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "sound: strip.wav") == 1, row.strip);
    }
}

TEST(FlightPlans, SameRouteAddsOneStripAndNoSoundRightAfterConnecting) {
    AtcWorld w;
    w.settings.bools["AutoAddStripsArr"] = true;
    w.settings.lists["ArrivalFields"] = {"KBOS"};
    w.settings.strings["SoundStripReceived"] = "strip.wav";
    w.network.connectTime = AtcWorld::kStart - 10;
    w.See("N1");
    w.log.Clear();
    w.aircraft.OnFlightPlanReceived("N1", Plan("DCT", ""));
    w.tools.strips.clear();  // the controller deleted the strip
    w.aircraft.OnFlightPlanReceived("N1", Plan("DCT", ""));
    EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "AddStrip N1"), 1);
    EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "sound: strip.wav"), 0);
    w.tools.strips.clear();
    TarqFlightPlanRecord refiled = Plan("DCT", "");
    refiled.departure = "KLGA";
    w.aircraft.OnFlightPlanReceived("N1", refiled);
    EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "AddStrip N1"), 2)
        << "a new route is a new plan";
}

TEST(FlightPlans, PlanForUnseenCallsignIsStoredQuietly) {
    AtcWorld w;
    w.settings.bools["AutoAddStripsArr"] = true;
    w.aircraft.OnFlightPlanReceived("N9", Plan("DCT", "SEL/ABCD"));
    EXPECT_TRUE(w.log.lines.empty());
    EXPECT_TRUE(w.aircraft.HasFlightPlan("N9"));
    w.See("N9");
    w.log.Clear();
    w.aircraft.OnFlightPlanReceived("N9", Plan("DCT", "SEL/ABCD"));
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"AddSelcal N9 SEL/ABCD"});
}

TEST(Squawks, SetterManualAutomaticAndFailure) {
    AtcWorld w;
    w.See("N1");
    w.log.Clear();
    w.aircraft.SetAssignedSquawk("N1", "ME_CTR", TarqAircraftDB::kAutoSquawk);
    const std::vector<std::string> expected = {"ShowFlightPlanDetails N1", "AssignSquawk N1 1000"};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_TRUE(w.aircraft.HasAutoAssignedSquawk("N1", 1000));
    w.aircraft.SetAssignedSquawk("N1", "ME_CTR", 2345);
    EXPECT_FALSE(w.aircraft.HasAutoAssignedSquawk("N1", 2345));
    EXPECT_EQ(w.aircraft.GetAssignedSquawk("N1"), 2345);
    EXPECT_EQ(w.aircraft.GetSquawksAssigned(), 2);

    // No free code: nothing stored, sent or counted.
    PofRecord own;
    own.prefix = "ME";
    own.suffix = "CTR";
    own.frequency = 125000;
    own.squawkLow = 4000;
    own.squawkHigh = 4000;
    w.controllers.SetPositionRecords({own});
    w.tools.primaryFrequency = 125000;
    w.aircraft.SetAssignedSquawk("N1", "XY_APP", 4000);
    w.log.Clear();
    w.aircraft.SetAssignedSquawk("N1", "ME_CTR", TarqAircraftDB::kAutoSquawk);
    EXPECT_EQ(w.log.lines,
              std::vector<std::string>{"error: All squawk codes in the configured range are taken."});
    EXPECT_EQ(w.aircraft.GetSquawksAssigned(), 2);
}

}  // namespace
