#include "tools/flight_plan_editor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A database that, like the real one, sends the squawk assignment when it
// stores it; `sent` is what the network would see.
class FakeDatabase : public FlightPlanEditorSource {
public:
    std::map<std::string, TarqFlightPlanRecord> plans;
    std::map<std::string, std::string> scratchpads;
    std::map<std::string, uint16_t> squawks;
    std::map<std::string, std::string> names;
    bool mayControl = true;
    uint16_t nextAutoSquawk = 4321;
    std::vector<std::string> sent;
    std::vector<std::string> errors;

    TarqFlightPlanRecord GetFlightPlan(const std::string& c) const override {
        auto it = plans.find(c);
        return it == plans.end() ? TarqFlightPlanRecord{} : it->second;
    }
    std::string GetScratchpad(const std::string& c) const override {
        auto it = scratchpads.find(c);
        return it == scratchpads.end() ? "" : it->second;
    }
    uint16_t GetAssignedSquawk(const std::string& c) const override {
        auto it = squawks.find(c);
        return it == squawks.end() ? 0 : it->second;
    }
    std::string GetPilotName(const std::string& c) const override {
        auto it = names.find(c);
        return it == names.end() ? "" : it->second;
    }
    bool CheckControl(const std::string&) override {
        if (!mayControl) errors.push_back("Not your control.");
        return mayControl;
    }
    void AmendFlightPlan(const std::string& c, const TarqFlightPlanRecord& plan) override {
        plans[c] = plan;
        sent.push_back("plan " + c);
    }
    void SetScratchpad(const std::string& c, const std::string& by, const std::string& text) override {
        scratchpads[c] = text;
        sent.push_back("scratchpad " + c + " " + text + " by " + by);
    }
    void SetAssignedSquawk(const std::string& c, const std::string& by, uint16_t code) override {
        if (code == 0xFFFF) code = nextAutoSquawk;
        squawks[c] = code;
        sent.push_back("squawk " + c + " " + std::to_string(code) + " by " + by);
    }
    std::string GetOwnCallsign() const override { return "NY_APP"; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
};

TarqFlightPlanRecord SamplePlan(const std::string& route) {
    TarqFlightPlanRecord p;
    p.flightRules = 'I';
    p.aircraftType = "H/B744/F";
    p.bareType = "B744";
    p.trueAirspeed = 480;
    p.departure = "KJFK";
    p.destination = "EGLL";
    p.alternate = "EGKK";
    p.cruiseAltitude = "35000";
    p.hoursEnRoute = 6;
    p.remarks = "/v/";
    p.route = route;
    return p;
}

class FlightPlanEditorTest : public ::testing::Test {
protected:
    FlightPlanEditorTest() {
        db.plans["BAW1"] = SamplePlan("GREKI DCT JOOPY");
        db.squawks["BAW1"] = 1200;
        db.scratchpads["BAW1"] = "RW4";
        db.names["BAW1"] = "Jo Pilot";
    }
    FakeDatabase db;
    FlightPlanEditorModel editor{db};
};

TEST_F(FlightPlanEditorTest, ShowsThePlanScratchpadSquawkAndTitle) {
    FlightPlanFields f = editor.Show("BAW1");
    EXPECT_EQ(f.callsign, "BAW1");
    EXPECT_EQ(f.type, "H/B744/F");
    EXPECT_EQ(f.rules, "IFR");
    EXPECT_EQ(f.departure, "KJFK");
    EXPECT_EQ(f.destination, "EGLL");
    EXPECT_EQ(f.alternate, "EGKK");
    EXPECT_EQ(f.cruise, "35000");
    EXPECT_EQ(f.scratchpad, "RW4");
    EXPECT_EQ(f.squawk, "1200");
    EXPECT_EQ(f.route, "GREKI DCT JOOPY");
    EXPECT_EQ(editor.GetTitle(), "Flight Plan - BAW1 (Jo Pilot)");
    EXPECT_TRUE(editor.IsAssignSquawkEnabled());
}

TEST_F(FlightPlanEditorTest, RulesAndNamesAsShown) {
    struct Case {
        int rules;
        const char* shown;
    } cases[] = {{'D', "DVFR"}, {'I', "IFR"}, {'S', "SVFR"}, {'V', "VFR"}, {'X', "VFR"}, {0, "VFR"}};
    for (const Case& c : cases) {
        db.plans["BAW1"].flightRules = c.rules;
        EXPECT_EQ(editor.Show("BAW1").rules, c.shown) << c.rules;
    }
    FlightPlanFields none = editor.Show("N1");
    EXPECT_EQ(none, (FlightPlanFields{"N1", "", "VFR", "", "", "", "", "", "0000", "", ""}));
    EXPECT_EQ(editor.GetTitle(), "Flight Plan - N1 (Name unknown)");
}

TEST_F(FlightPlanEditorTest, AnAmendedRouteShowsWithoutItsPlusAndKeepsExactlyOne) {
    db.plans["BAW1"].route = "+GREKI DCT JOOPY";
    FlightPlanFields f = editor.Show("BAW1");
    EXPECT_EQ(editor.GetTitle(), "Flight Plan - BAW1 (Jo Pilot) - Amended");
    EXPECT_EQ(f.route, "GREKI DCT JOOPY");
    f.route += " NATW";
    editor.OnPlanEdited();
    FlightPlanFields shown;
    ASSERT_TRUE(editor.Amend(f, shown));
    EXPECT_EQ(db.plans["BAW1"].route, "+GREKI DCT JOOPY NATW");
    EXPECT_EQ(shown.route, "GREKI DCT JOOPY NATW");
}

TEST_F(FlightPlanEditorTest, AmendSendsOnlyTheChangedGroups) {
    struct Case {
        bool plan, scratchpad, squawk;
        std::vector<std::string> sent;
    } cases[] = {
        {false, false, true, {"squawk BAW1 2345 by NY_APP"}},
        {false, true, false, {"scratchpad BAW1 H27 by NY_APP"}},
        {true, false, false, {"plan BAW1"}},
        {true, true, true, {"plan BAW1", "scratchpad BAW1 H27 by NY_APP", "squawk BAW1 2345 by NY_APP"}},
        {false, false, false, {}},
    };
    for (const Case& c : cases) {
        db.sent.clear();
        FlightPlanFields f = editor.Show("BAW1");
        f.squawk = "2345";
        f.scratchpad = "H27";
        f.cruise = "37000";
        if (c.plan) editor.OnPlanEdited();
        if (c.scratchpad) editor.OnScratchpadEdited();
        if (c.squawk) editor.OnSquawkEdited();
        FlightPlanFields shown;
        ASSERT_TRUE(editor.Amend(f, shown));
        EXPECT_EQ(db.sent, c.sent) << c.plan << c.scratchpad << c.squawk;
        EXPECT_FALSE(editor.IsPlanModified() || editor.IsScratchpadModified() || editor.IsSquawkEdited());
        db.plans["BAW1"] = SamplePlan("GREKI DCT JOOPY");
        db.squawks["BAW1"] = 1200;
        db.scratchpads["BAW1"] = "RW4";
    }
}

TEST_F(FlightPlanEditorTest, AnAmendedPlanTakesTheTypedFieldsWithColonsAsBlanks) {
    FlightPlanFields f = editor.Show("BAW1");
    f.type = "B738/L";
    f.rules = "SVFR";
    f.departure = "KB:S";
    f.destination = "KBOSX";  // the field holds four characters
    f.alternate = "";
    f.cruise = "FL:250";
    f.route = "DCT:MERIT";
    f.remarks = "CALL ME: 123";
    editor.OnPlanEdited();
    FlightPlanFields shown;
    ASSERT_TRUE(editor.Amend(f, shown));
    TarqFlightPlanRecord expected = SamplePlan("+DCT MERIT");
    expected.aircraftType = "B738/L";
    expected.bareType = "B738";
    expected.flightRules = 'S';
    expected.departure = "KB S";
    expected.destination = "KBOS";
    expected.alternate = "";
    expected.cruiseAltitude = "FL 250";
    expected.remarks = "CALL ME  123";
    EXPECT_EQ(db.plans["BAW1"], expected) << "speed, times and fuel keep their stored values";
    EXPECT_EQ(shown.rules, "SVFR");
}

TEST_F(FlightPlanEditorTest, ASquawkIsSentOnceAndAnEmptiedFieldAssignsZero) {
    FlightPlanFields f = editor.Show("BAW1");
    f.squawk = "";
    editor.OnSquawkEdited();
    FlightPlanFields shown;
    ASSERT_TRUE(editor.Amend(f, shown));
    EXPECT_EQ(db.sent, (std::vector<std::string>{"squawk BAW1 0 by NY_APP"}));
    EXPECT_EQ(shown.squawk, "0000");
}

TEST_F(FlightPlanEditorTest, NonOctalSquawksAreRefusedAndNothingIsSentOrLost) {
    for (const char* typed : {"1280", "9999", "12A4", "77 7"}) {
        db.sent.clear();
        db.errors.clear();
        FlightPlanFields f = editor.Show("BAW1");
        f.squawk = typed;
        f.remarks = "NEW";
        editor.OnPlanEdited();
        editor.OnSquawkEdited();
        FlightPlanFields shown;
        EXPECT_FALSE(editor.Amend(f, shown)) << typed;
        EXPECT_TRUE(db.sent.empty()) << typed << ": no plan half sent";
        EXPECT_EQ(db.errors, (std::vector<std::string>{FlightPlanEditorModel::kInvalidSquawk}));
        EXPECT_TRUE(editor.IsPlanModified() && editor.IsSquawkEdited()) << "the edits wait for a good code";
        std::string text;
        EXPECT_FALSE(editor.AssignSquawk(f, text)) << typed;
        EXPECT_TRUE(db.sent.empty());
    }
}

TEST_F(FlightPlanEditorTest, AnAircraftNotUnderControlIsRefusedWithTheEditsKept) {
    FlightPlanFields f = editor.Show("BAW1");
    editor.OnPlanEdited();
    editor.OnSquawkEdited();
    db.mayControl = false;
    FlightPlanFields shown;
    EXPECT_FALSE(editor.Amend(f, shown));
    std::string text;
    EXPECT_FALSE(editor.AssignSquawk(f, text));
    EXPECT_TRUE(db.sent.empty());
    EXPECT_TRUE(editor.IsPlanModified() && editor.IsSquawkEdited());
}

TEST_F(FlightPlanEditorTest, AssignSquawkTakesTheTypedCodeOrAsksForOne) {
    FlightPlanFields f = editor.Show("BAW1");
    std::string text;
    ASSERT_TRUE(editor.AssignSquawk(f, text));
    EXPECT_EQ(text, "4321");
    EXPECT_EQ(db.sent, (std::vector<std::string>{"squawk BAW1 4321 by NY_APP"}));
    db.sent.clear();
    f.squawk = "0456";
    editor.OnSquawkEdited();
    ASSERT_TRUE(editor.AssignSquawk(f, text));
    EXPECT_EQ(text, "0456");
    EXPECT_EQ(db.sent, (std::vector<std::string>{"squawk BAW1 456 by NY_APP"}));
    EXPECT_FALSE(editor.IsSquawkEdited());
}

TEST_F(FlightPlanEditorTest, EditsDisableAssignSquawkAndTypingKeepsTheSquawkField) {
    editor.Show("BAW1");
    EXPECT_EQ(editor.SquawkFieldText(7), "0007");
    editor.OnSquawkEdited();
    EXPECT_EQ(editor.SquawkFieldText(7), "") << "the user's digits stay";
    EXPECT_TRUE(editor.IsAssignSquawkEnabled());
    editor.OnScratchpadEdited();
    EXPECT_FALSE(editor.IsAssignSquawkEnabled());
    editor.Show("BAW1");
    editor.OnPlanEdited();
    EXPECT_FALSE(editor.IsAssignSquawkEnabled());
}

TEST_F(FlightPlanEditorTest, PlotJoinsDepartureRouteAndArrival) {
    FlightPlanFields f;
    f.departure = "KJFK";
    f.destination = "KBOS";
    f.route = "MERIT HFD";
    EXPECT_EQ(FlightPlanEditorModel::PlotText(f), "KJFK MERIT HFD KBOS");
    f.route = std::string(1500, 'A');
    EXPECT_EQ(FlightPlanEditorModel::PlotText(f).size(), 4 + 1 + 999 + 1 + 4u);
}

}  // namespace
