// The thirty "$" variables and the two passes, with alias expansion in front.
#include "comms/text_variables.h"

#include <gtest/gtest.h>

#include "comms/alias_table.h"
#include "foundation/geo_helpers.h"
#include "tests/comms/fake_variable_sources.h"
#include "tests/comms/weather_fixture.h"

namespace {

// 2024-03-09 23:45:00 UTC.
constexpr std::time_t kNow = 1710027900;

class TextVariablesTest : public ::testing::Test, protected WeatherFixture {
protected:
    TextVariablesTest() {
        clock.SetWallSeconds(kNow);
        profile.SetString("Callsign", "XYZ_APP");
        profile.SetString("RealName", "Ann Smith");
        profile.SetInt("TransLevel", 18000);
        store.OnMetar("KDEP 091853Z 27010G20KT 10SM CLR 12/08 A2992");
        store.OnMetar("KARR 091853Z VRB03KT 10SM CLR 12/08 Q1013");
        TarqFlightPlanRecord plan;
        plan.departure = "KDEP";
        plan.destination = "KARR";
        plan.cruiseAltitude = "35000";
        plan.route = "+DCT ABC J1 $route $uc(x)";
        plan.bareType = "b738";
        sources.plans["AAL1"] = plan;
        TextVariableSources::Aircraft a;
        a.altitude = 3450;
        a.groundSpeed = 250;
        a.heading = 90;
        a.position = {1.0, 0.0};
        sources.aircraft["AAL1"] = a;
        sources.beaconCode = 1200;
        sources.positions["1A"] = "XYZ_TWR";
        sources.frequencies["XYZ_TWR"] = 118300;
        sources.radioNames["XYZ_TWR@118300"] = "Xyz Tower";
        sources.radioNames["XYZ_APP@124350"] = "Xyz Approach";
        sources.primaryFrequency = 124350;
        sources.voiceChannel = "voice.example/xyz_app";
        sources.selected = "DAL2";
        sources.points["EAST"] = {2.0, 0.0};  // straight ahead of a heading of 090
        sources.points["WEST"] = {0.0, 0.0};
        sources.points["NORTH"] = {1.0, 1.0};
        sources.letter = "CHARLIE";
        variables.SetContextCallsign("AAL1");
    }

    std::string Expand(const std::string& text) const { return variables.ExpandVariables(text); }

    FakeVariableSources sources;
    TextVariables variables{profile, store, sources, clock};
};

TEST_F(TextVariablesTest, EveryVariableWithContext) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"$squawk", "1200"},
        {"$arr", "KARR"},
        {"$dep", "KDEP"},
        {"$cruise", "FL350"},
        {"$calt", "3500"},
        {"$callsign", "XYZ_APP"},
        {"$com1", "124.350"},
        {"$myrealname", "Ann Smith"},
        {"$winds", "variable at 3"},  // above 50 knots: the destination
        {"$myrw", "voice.example/xyz_app"},
        {"$mypvtrw", "$ voice.example/xyz_app"},
        {"$metar(kdep)", "KDEP 091853Z 27010G20KT 10SM CLR 12/08 A2992"},
        {"$altim(KARR)", "1013"},
        {"$wind(KDEP)", "270 at 10 gust 20"},
        {"$radioname()", "Xyz Approach"},
        {"$radioname(1A)", "Xyz Tower"},
        {"$freq()", "124.350"},
        {"$freq(1A)", "118.300"},
        {"$freq(9Z)", ""},
        {"$time", "23:45"},
        {"$dist(EAST)", "60"},
        {"$bear(WEST)", "east"},
        {"$bear(NORTH)", "south"},
        {"$oclock(EAST)", "twelve o'clock"},
        {"$oclock(WEST)", "six o'clock"},
        {"$oclock(NORTH)", "nine o'clock"},
        {"$alt", "FL350"},
        {"$temp", "----"},
        {"$ftime(30)", "00:15"},
        {"$ftime(-15)", "23:30"},
        {"$ftime()", "23:45"},
        {"$uc(abc)", "ABC"},
        {"$lc(DEF)", "def"},
        {"$aircraft", "DAL2"},
        {"$route", "DCT ABC J1 $route $uc(x)"},
        {"$atiscode", "CHARLIE"},
        {"$type(AAL1)", "B738"},
        {"$type()", "----"},
        {"$atccallsign(1A)", "XYZ_TWR"},
        {"$atccallsign(2B)", "----"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Expand(c.in), c.out);
    }
}

TEST_F(TextVariablesTest, WithoutContext) {
    variables.SetContextCallsign("");
    EXPECT_EQ(Expand("$squawk $arr $alt $route $winds $dist(EAST)"), "---- ---- ---- ---- unknown ----");
    EXPECT_EQ(Expand("$callsign $com1 $time $aircraft"), "XYZ_APP 124.350 23:45 DAL2");
}

TEST_F(TextVariablesTest, PassRules) {
    const struct {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"altim_left_for_pass_two", "$altim(KARR) $alt, $alt", "1013 FL350, FL350"},
        {"winds_never_wind", "$winds", "variable at 3"},
        {"inside_a_word", "$arrival", "KARRival"},
        {"plain_value_as_argument", "$dist($arr)", "----"},
        {"no_parentheses", "$wind now", "???? now"},
        {"empty_parentheses", "$wind() $metar()", "unknown "},
        {"text_before_parenthesis_swallowed", "$uc is (abc)", "ABC"},
        {"nested_same", "$uc($uc(a))", "A"},
        {"lower_index_first", "$metar($lc(KBOS))", ")"},
        {"capitals_are_no_variable", "$SQUAWK", "$SQUAWK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Expand(c.in), c.out);
    }
}

TEST_F(TextVariablesTest, DistanceToThePlannedAirport) {
    sources.points["KARR"] = {1.0, 0.5};
    EXPECT_EQ(Expand("$dist($arr)"), "30");
}

TEST_F(TextVariablesTest, InsertedValuesAreOpaque) {
    // A remark or route from another user can hold anything.
    sources.plans["AAL1"].route = "$route $calt $uc($route) $dist(";
    sources.plans["AAL1"].destination = "$arr)";
    EXPECT_EQ(Expand("$route"), "$route $calt $uc($route) $dist(");
    EXPECT_EQ(Expand("$arr"), "$arr)");
    EXPECT_EQ(Expand("$uc($arr)"), "$ARR)");
    store.OnMetar("KBAD 091853Z 27010KT 10SM CLR 12/08 A2992 RMK $METAR(KBAD) $UC(");
    EXPECT_EQ(Expand("$lc($metar(KBAD))"), "kbad 091853z 27010kt 10sm clr 12/08 a2992 rmk $metar(kbad) $uc(");
}

TEST_F(TextVariablesTest, WindsUsesDepartureAtFiftyKnots) {
    sources.aircraft["AAL1"].groundSpeed = 50;
    EXPECT_EQ(Expand("$winds"), "270 at 10 gust 20");
    sources.aircraft["AAL1"].groundSpeed = 51;
    EXPECT_EQ(Expand("$winds"), "variable at 3");
}

TEST_F(TextVariablesTest, TemporaryAltitudes) {
    const struct {
        int feet;
        const char* alt;
        const char* temp;
    } cases[] = {
        {3450, "3500", "3500"},    {50, "100", "100"},        {18000, "FL180", "FL180"},
        {18099, "FL180", "FL180"}, {100000, "FL350", "----"}, {0, "FL350", "----"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.feet);
        sources.temporaryAltitude = c.feet;
        EXPECT_EQ(Expand("$alt"), c.alt);
        EXPECT_EQ(Expand("$temp"), c.temp);
    }
}

TEST_F(TextVariablesTest, NoPrimaryEntry) {
    sources.primaryFrequency = 0;
    EXPECT_EQ(Expand("$com1|$freq()|"), "0.000||");
}

TEST_F(TextVariablesTest, IndexOutsideTheTableLeavesTheOutput) {
    std::string out = "kept";
    variables.EvaluateVariable(30, "", out);
    variables.EvaluateVariable(-1, "", out);
    EXPECT_EQ(out, "kept");
}

TEST_F(TextVariablesTest, AliasesThenVariablesWithTheContextRestored) {
    AliasTable aliases;
    aliases.LoadAliasText(".ctc contact $1 $freq($2), squawk $squawk\n");
    variables.SetContextCallsign("OLD");
    {
        ScopedAliasContext context(variables, "AAL1");
        std::string out;
        ASSERT_TRUE(aliases.ExpandAliases(".ctc tower 1A", out, &variables));
        EXPECT_EQ(out, "contact tower 118.300, squawk 1200");
    }
    EXPECT_EQ(variables.GetContextCallsign(), "OLD");
    std::string out = "kept";
    EXPECT_TRUE(aliases.ExpandAliases("  ", out, &variables));
    EXPECT_EQ(out, "  ");
}

}  // namespace
