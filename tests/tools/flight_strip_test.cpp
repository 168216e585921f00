// The strip record: wrapping and cutting of route and remarks, the cruise
// altitude, the background rule, push conversion, layout and hit testing.
#include "tools/flight_strip.h"

#include <gtest/gtest.h>

#include "scope/draw_list.h"
#include "strip_fakes.h"

namespace {

std::string Repeat(char c, size_t n) { return std::string(n, c); }

// Where each text of a laid-out strip went, as "x,y:text".
std::vector<std::string> Texts(const DrawList& list) {
    std::vector<std::string> out;
    for (const DrawCommand& c : list.Commands()) {
        if (c.op != DrawOp::Text) continue;
        const DrawVertex& v = list.Vertices()[c.first];
        out.push_back(std::to_string(static_cast<int>(v.x)) + "," + std::to_string(static_cast<int>(v.y)) +
                      ":" + list.Texts()[c.text]);
    }
    return out;
}

bool HasText(const DrawList& list, const std::string& entry) {
    for (const std::string& t : Texts(list)) {
        if (t == entry) return true;
    }
    return false;
}

TEST(WrapText, SplitsBreaksAndJoinsWords) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"only blanks", "  ", {" "}},
        {"full stops vanish", "DCT ABC.DEF..GHI", {"DCT ABC DEF GHI"}},
        {"double blanks", "A  B   C", {"A B C"}},
        {"a word of four fills the 39th column", Repeat('x', 34) + " abcd", {Repeat('x', 34) + " abcd"}},
        {"a word of five does not", Repeat('x', 34) + " abcde", {Repeat('x', 34), "abcde"}},
        {"a long word is broken every 39", Repeat('y', 80), {Repeat('y', 39), Repeat('y', 39), "yy"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WrapText(c.text, 7, 274), c.lines);
    }
    // A width of 0 counts as 1.
    EXPECT_EQ(WrapText("ab cd", 0, 4), (std::vector<std::string>{"ab", "cd"}));
}

TEST(StripTexts, RouteShowsThreeLinesAndCutsTheThird) {
    const std::string line = Repeat('a', 19) + " " + Repeat('b', 19);  // 39 characters
    const std::string three = line + " " + line + " " + line;
    EXPECT_EQ(StripRouteLines("+" + three), (std::vector<std::string>{line, line, line}));

    EXPECT_EQ(StripRouteLines(three + " MORE")[2], Repeat('a', 19) + " ...");
    const std::string word = Repeat('w', 39);
    EXPECT_EQ(StripRouteLines(Repeat('w', 39 * 3 + 5))[2], Repeat('w', 35) + " ...");
    EXPECT_EQ(StripRouteLines(word + " " + word + " " + Repeat('s', 30) + " " + word)[2],
              Repeat('s', 30) + " ...");
}

TEST(StripTexts, RemarksShowTheFirstLine) {
    EXPECT_EQ(StripRemarksLine(""), "");
    EXPECT_EQ(StripRemarksLine("/V/ CHARTS"), "/V/ CHARTS");
    const std::string first = "PBN/A1B1 DOF/240101 REG/DABCD EET/EDUU00";  // 40 characters
    EXPECT_EQ(StripRemarksLine(first), "PBN/A1B1 DOF/240101 ...");
}

TEST(StripTexts, CruiseAltitudeInHundreds) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"35000", 350}, {"FL350", 350}, {"fl085", 85}, {" 9000", 90}, {"", 0}, {"VFR", 0}, {"FL", 0}};
    for (const auto& [text, hundreds] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(CruiseAltitudeHundreds(text), hundreds);
    }
}

TEST(StripBackground, FirstMatchingRuleWins) {
    FakeStripServices s;
    s.arrivalFields = {"EGLL"};
    s.departureFields = {"EDDF"};
    struct Case {
        const char* name;
        int rules;
        std::string departure, destination;
        const char* setting;
    };
    const std::vector<Case> cases = {
        {"local whatever the rules", 'V', "EGLL", "EGLL", "ColorStripLocal"},
        {"empty fields are not local", 'I', "", "", "ColorStripOverflights"},
        {"visual", 'V', "EDDF", "EGLL", "ColorStripVFR"},
        {"arrival before departure", 'I', "EDDF", "EGLL", "ColorStripArrivals"},
        {"departure", 'I', "EDDF", "LFPG", "ColorStripDepartures"},
        {"overflight", 'I', "LFPG", "LIRF", "ColorStripOverflights"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqFlightPlanRecord plan;
        plan.flightRules = c.rules;
        plan.departure = c.departure;
        plan.destination = c.destination;
        EXPECT_EQ(StripBackgroundSetting(plan, s), c.setting);
    }
}

TEST(StripFromPush, TypesZeroAndOneCarryAnnotations) {
    std::vector<std::string> eleven;
    for (int i = 0; i < 11; ++i) eleven.push_back("a" + std::to_string(i));
    bool unknown = true;
    auto strip = StripFromPush("baw1", 1, eleven, &unknown);
    EXPECT_FALSE(unknown);
    EXPECT_EQ(strip->GetCallsign(), "BAW1");
    EXPECT_EQ(strip->GetType(), 1);
    EXPECT_EQ(strip->GetAnnotations().size(), 9u);
    EXPECT_EQ(strip->GetAnnotation(8), "a8");

    strip = StripFromPush("BAW1", 0, {"x", "y"}, &unknown);
    EXPECT_FALSE(unknown);
    EXPECT_EQ(strip->GetAnnotation(1), "y");
    EXPECT_EQ(strip->GetAnnotation(2), "");
    EXPECT_EQ(strip->GetType(), 1);

    strip = StripFromPush("BAW1", 7, {"x"}, &unknown);
    EXPECT_TRUE(unknown);
    EXPECT_EQ(strip->GetAnnotation(0), "");
    EXPECT_EQ(strip->GetType(), 1);
}

TEST(FlightStrip, AnnotationIndexOutOfRange) {
    TarqFlightStripTarq strip("N1");
    strip.SetAnnotation(9, "lost");
    EXPECT_EQ(strip.GetAnnotation(9), "");
    EXPECT_EQ(strip.GetAnnotations(), std::vector<std::string>(9));
}

TEST(FlightStrip, CloneCopiesCallsignAndAnnotations) {
    TarqFlightStripTarq strip("dlh4");
    strip.SetAnnotation(4, "CLR");
    auto copy = strip.Clone();
    EXPECT_EQ(copy->GetCallsign(), "DLH4");
    EXPECT_EQ(copy->GetAnnotations(), strip.GetAnnotations());
    TarqFlightStripSeparator separator("ARR");
    EXPECT_EQ(separator.Clone()->GetCallsign(), "ARR");
    EXPECT_EQ(separator.GetType(), 0);
}

TEST(FlightStrip, HitTestEdgesAreInclusive) {
    FakeStripServices s;
    DrawList list;
    TarqFlightStripTarq strip("N1");
    strip.Draw(0, 64, -4, list, s);
    struct Case {
        int x, y, hit, box;
    };
    const std::vector<Case> cases = {
        {0, 64, 1, -1},  {550, 127, 1, -1}, {551, 127, 0, -1}, {-1, 64, 0, -1},   {0, 128, 0, -1},
        {0, 63, 0, -1},  {452, 126, 2, 0},  {483, 107, 2, 0},  {484, 107, 1, -1}, {485, 107, 2, 1},
        {549, 65, 2, 8}, {550, 65, 1, -1},  {518, 105, 2, 5},  {518, 106, 1, -1}, {452, 84, 2, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        int box = -1;
        EXPECT_EQ(strip.HitTest(c.x, c.y, &box), c.hit);
        EXPECT_EQ(box, c.box);
    }
}

TEST(FlightStrip, FullStripLayout) {
    FakeStripServices s;
    TarqFlightPlanRecord plan;
    plan.flightRules = 'I';
    plan.aircraftType = "H/B744/L";
    plan.departure = "EGLL";
    plan.destination = "KJFK";
    plan.cruiseAltitude = "FL350";
    plan.route = "+DCT CPT";
    s.plans["BAW1"] = plan;
    TarqFlightStripTarq strip("BAW1");
    strip.SetAnnotation(0, "ABC");
    strip.SetAnnotation(1, "ABCD");
    DrawList list;
    strip.Draw(0, 0, -4, list, s);
    for (const char* entry :
         {"5,49:BAW1", "5,28:H/B744/L", "5,7:007   I", "80,49:0000", "84,28:350", "84,7:350", "129,49:EGLL",
          "129,35:KJFK", "171,49:DCT CPT", "457,49:ABC", "487,49:ABCD"}) {
        EXPECT_TRUE(HasText(list, entry)) << entry;
    }
    EXPECT_EQ(strip.GetBoxes()[4], (AnnotationBox{485, 41, 516, 23}));
    EXPECT_EQ(strip.GetRect(), (AnnotationBox{0, 63, 550, 0}));

    s.temporaryAltitudes["BAW1"] = 12000;
    list.Clear();
    strip.Draw(0, 0, -4, list, s);
    EXPECT_TRUE(HasText(list, "84,28:120"));
    EXPECT_TRUE(HasText(list, "84,7:350"));
}

TEST(FlightStrip, SelectedStripGetsTheDoubleFrame) {
    FakeStripServices s;
    TarqFlightStripTarq strip("N1");
    DrawList list;
    strip.Draw(0, 0, -4, list, s);
    const DrawCommand plain = list.Commands().back();
    s.selected = "N1";
    list.Clear();
    strip.Draw(0, 0, -4, list, s);
    const DrawCommand& last = list.Commands().back();
    EXPECT_NE(plain.op, DrawOp::LineLoop);
    ASSERT_EQ(last.op, DrawOp::LineLoop);
    EXPECT_EQ(last.count, 8u);
    const DrawVertex& v = list.Vertices()[last.first + 4];
    EXPECT_EQ(v.x, 549);
    EXPECT_EQ(v.y, 62);
    EXPECT_EQ(v.rgb[0], 255);
}

TEST(FlightStrip, SeparatorCentresItsLabelAndRenamesFromBoxZero) {
    FakeStripServices s;
    TarqFlightStripSeparator separator("ARR");
    DrawList list;
    separator.Draw(0, 0, -4, list, s);
    EXPECT_TRUE(HasText(list, "248,19:ARR"));
    EXPECT_EQ(separator.GetBoxes()[0], (AnnotationBox{248, 56, 302, 19}));

    separator.SetAnnotation(0, "");
    list.Clear();
    separator.Draw(0, 0, -4, list, s);
    EXPECT_EQ(separator.GetCallsign(), "");
    // Two blanks keep an empty label clickable.
    EXPECT_EQ(separator.GetBoxes()[0], (AnnotationBox{257, 56, 293, 19}));
}

}  // namespace
