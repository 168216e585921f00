// The Park Air radar mode drawn offscreen: fading plot bars, symbols by
// tracking state, the full and the limited block with levels against the
// transition level, blinking alert items and the conflict box.
#include "scope/target_builder_parkair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "target_builder_fixture.h"

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kPlot{255, 255, 0};

class ParkAirBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(9);
        host.ints["TransLevel"] = 6000;
    }
    PixelSet Around(PixelPoint p, Rgb color, int r = 6) const {
        return Pixels(color, p.x - r, p.y - r, p.x + r, p.y + r);
    }
    PixelSet All(Rgb color) const { return Pixels(color, 0, 0, kWidth - 1, kHeight - 1); }
    // An untracked target at (100, 150) with a full block at tag position 6:
    // origin (100 + 18 + 20, 150 - 6).
    TargetSnapshot Full() const {
        TargetSnapshot t = MakeTarget(100, 150);
        t.fullDataBlock = true;
        t.altitude = 3450;
        t.previousAltitude = 3450;
        t.scratchpad = "LAX";
        t.plotExtent = 0.5;
        return t;
    }
    static constexpr PixelPoint kOrigin{138, 144};
    PixelSet ReferenceLines(PixelPoint origin, Rgb color,
                            const std::vector<std::pair<PixelPoint, std::string>>& lines) {
        Clear();
        for (const auto& [at, text] : lines) DrawReferenceText(origin + at, text, color);
        return Pixels(color, origin.x, 0, kWidth - 1, kHeight - 1);
    }
};

TEST_F(ParkAirBuilderTest, TheModeHasItsBuilder) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderParkAir*>(&manager->GetBuilder()), nullptr);
}

TEST_F(ParkAirBuilderTest, PlotBarsFadeAlongTheHistory) {
    host.ints["HistoryCount"] = 3;
    TargetSnapshot t = Full();
    t.position = PointAt(300, 150);
    t.history = {PointAt(250, 150), PointAt(200, 150), PointAt(150, 150), PointAt(100, 150),
                 PointAt(50, 150)};
    t.tagPosition = 8;
    Build(t);
    // Bearing 0: the bars run east-west, 8 pixels each way.
    EXPECT_EQ(At(293, 150), kPlot);
    EXPECT_EQ(At(243, 150), (Rgb{0, 192, 0}));
    EXPECT_EQ(At(193, 150), (Rgb{0, 153, 0}));
    EXPECT_EQ(At(143, 150), (Rgb{0, 122, 0}));
    EXPECT_TRUE(Around({100, 150}, Rgb{0, 97, 0}, 10).empty()) << "beyond the history count";
    EXPECT_EQ(At(251, 150), kWhite) << "a history pixel right of the point";
}

TEST_F(ParkAirBuilderTest, ThePlotExtentIsClampedAndTurnsWithTheBearing) {
    struct Case {
        double extent, kept;
        double bearing;
        PixelPoint inside, outside;  // from the symbol
    } cases[] = {
        {0.0, 0.1, 0.0, {-3, 0}, {-6, 0}},
        {2.5, 1.0, 0.0, {-12, 0}, {-15, 0}},
        {NAN, 0.1, 0.0, {-3, 0}, {-6, 0}},
        {0.5, 0.5, 90.0, {0, -7}, {-7, 0}},
        {0.5, 0.5, 1e12 * 360 + 90.0, {0, -7}, {-7, 0}},
        {0.5, 0.5, NAN, {-7, 0}, {0, -7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        TargetSnapshot t = Full();
        t.position = PointAt(200, 150);
        t.plotExtent = c.extent;
        t.plotBearing = c.bearing;
        t.tagPosition = 9;
        Build(t);
        EXPECT_EQ(t.plotExtent, c.kept);
        EXPECT_EQ(At(200 + c.inside.x, 150 + c.inside.y), kPlot);
        EXPECT_NE(At(200 + c.outside.x, 150 + c.outside.y), kPlot);
    }
}

TEST_F(ParkAirBuilderTest, AStandbyTargetShowsOnlyItsPlotBarUnlessSeeAll) {
    TargetSnapshot t = Full();
    t.transponderMode = 'S';
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_TRUE(All(kWhite).empty());
    EXPECT_EQ(At(93, 150), kPlot);
    t = Full();
    t.transponderMode = 'S';
    t.seeAll = true;
    EXPECT_FALSE(Build(t).IsEmpty());
    EXPECT_FALSE(All(kWhite).empty());
}

TEST_F(ParkAirBuilderTest, SymbolShapeByTrackingState) {
    const PixelPoint p{200, 150};
    auto reference = [&](GLenum mode, std::vector<PixelPoint> vertices) {
        Clear();
        PrepareTargetPass();
        glColor3ub(255, 255, 255);
        glBegin(mode);
        for (PixelPoint v : vertices) glVertex3d(p.x + v.x, p.y + v.y, 0.99);
        glEnd();
        glFinish();
        return Around(p, kWhite);
    };
    PixelSet outline = reference(GL_LINE_LOOP, {{-4, 0}, {0, -4}, {4, 0}, {0, 4}});
    PixelSet filled = reference(GL_POLYGON, {{-4, 0}, {0, -4}, {4, 0}, {0, 4}});
    PixelSet cross = reference(GL_LINES, {{-4, 0}, {5, 0}, {0, -4}, {0, 5}});
    Clear();
    DrawReferenceText(p + PixelPoint{-3, -2}, "#", kWhite);
    PixelSet hash = Around(p, kWhite);
    struct Case {
        const char* name;
        bool coasting, mine;
        const char* owner;
        const PixelSet& expected;
    } cases[] = {
        {"coasting first", true, true, "--", hash},
        {"mine", false, true, "--", outline},
        {"another's", false, false, "CC", filled},
        {"untracked", false, false, "", cross},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Full();
        t.position = PointAt(p.x, p.y);
        t.coasting = c.coasting;
        t.trackedByMe = c.mine;
        t.ownerId = c.owner;
        t.tagPosition = 3;
        t.leaderLength = 40;
        Build(t);
        EXPECT_EQ(Around(p, kWhite), c.expected);
    }
}

TEST_F(ParkAirBuilderTest, FullBlockLines) {
    struct Case {
        const char* name;
        void (*change)(TargetSnapshot&);
        Rgb color;
        std::vector<std::pair<PixelPoint, std::string>> lines;
    } cases[] = {
        {"altitude below the transition level",
         [](TargetSnapshot&) {},
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX"}}},
        {"flight level",
         [](TargetSnapshot& t) { t.altitude = t.previousAltitude = 35000; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "F350 - AX"}}},
        {"climbing",
         [](TargetSnapshot& t) { t.previousAltitude = 3400; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 { AX"}}},
        {"descending",
         [](TargetSnapshot& t) { t.previousAltitude = 3500; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 } AX"}}},
        {"ident shown",
         [](TargetSnapshot& t) { t.transponderMode = 'Y', t.blinkPhase = 2; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX ID"}}},
        {"ident hidden",
         [](TargetSnapshot& t) { t.transponderMode = 'Y'; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX"}}},
        {"radio failure shown, white",
         [](TargetSnapshot& t) { t.squawk = 7600, t.blinkPhase = 4; },
         kWhite,
         {{{0, 24}, "7600"}, {{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX"}}},
        {"radio failure hidden",
         [](TargetSnapshot& t) { t.squawk = 7600; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX"}}},
        {"emergency in red",
         [](TargetSnapshot& t) { t.squawk = 7700, t.blinkPhase = 8; },
         kRed,
         {{{0, 24}, "7700"}, {{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX"}}},
        {"handoff: callsign shown",
         [](TargetSnapshot& t) { t.handoffTargetId = "DD", t.blinkPhase = 2; },
         kWhite,
         {{{0, 12}, "ABC123"}, {{0, 0}, "A035 - AX"}}},
        {"handoff: callsign hidden",
         [](TargetSnapshot& t) { t.incomingHandoff = true; },
         kWhite,
         {{{0, 0}, "A035 - AX"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Full();
        c.change(t);
        TagRect r = Build(t);
        size_t w = 0;
        for (const auto& line : c.lines)
            if (line.first.y <= 12) w = std::max(w, line.second.size());
        w = std::max<size_t>(w, 6);  // the callsign line counts while hidden
        int n = c.lines.front().first.y == 24 ? 3 : 2;
        EXPECT_EQ(r, (TagRect{kOrigin.x, kOrigin.y + 8 * n, kOrigin.x + 7 * static_cast<int>(w), kOrigin.y}));
        PixelSet drawn = Pixels(c.color, kOrigin.x, 0, kWidth - 1, kHeight - 1);
        EXPECT_EQ(drawn, ReferenceLines(kOrigin, c.color, c.lines));
        EXPECT_EQ(t.scratchpad, "AX");
    }
}

TEST_F(ParkAirBuilderTest, TheLimitedBlockSitsRightAndIsNotClickable) {
    TargetSnapshot t = Full();
    t.fullDataBlock = false;
    t.tagPosition = 2;
    t.previousAltitude = 3400;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_EQ(t.tagPosition, 6);
    PixelSet drawn = Pixels(kWhite, kOrigin.x, 0, kWidth - 1, kHeight - 1);
    EXPECT_EQ(drawn, ReferenceLines(kOrigin, kWhite, {{{0, 12}, "1234"}, {{0, 0}, "A035 {"}}));

    t = Full();
    t.fullDataBlock = false;
    t.squawk = 7500;  // hidden in an odd phase
    Build(t);
    EXPECT_EQ(Pixels(kRed, kOrigin.x, 0, kWidth - 1, kHeight - 1),
              ReferenceLines(kOrigin, kRed, {{{0, 0}, "A035 "}}));
}

TEST_F(ParkAirBuilderTest, AConflictFramesTheBlockInRedEveryOtherPhase) {
    for (uint16_t phase : {1, 2}) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = Full();
        t.inConflict = true;
        t.blinkPhase = phase;
        TagRect r = Build(t);
        // 9 characters wide, 2 lines: corners (65, 23) and (-3, -4) from the origin.
        EXPECT_EQ(Near(kOrigin.x - 3, kOrigin.y + 10, kRed, 1), phase == 2);
        EXPECT_EQ(Near(kOrigin.x + 30, kOrigin.y - 4, kRed, 1), phase == 2);
        EXPECT_FALSE(r.IsEmpty());
    }
}

TEST_F(ParkAirBuilderTest, PlacementByTagPosition) {
    const PixelPoint s{200, 150};
    struct Case {
        int position, leader;
        PixelPoint origin;
        bool leaderDrawn;
    } cases[] = {
        {1, 20, {-85, -50}, true}, {1, 1, {-57, -35}, false}, {2, 20, {-25, -55}, true},
        {3, 20, {32, -50}, true},  {4, 0, {-62, -6}, false},  {4, 20, {-95, -6}, true},
        {6, 0, {11, -6}, false},   {7, 20, {-85, 27}, true},  {8, 20, {-25, 38}, true},
        {9, 20, {31, 27}, true},   {0, 20, {0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position * 100 + c.leader);
        TargetSnapshot t = Full();
        t.position = PointAt(s.x, s.y);
        t.tagPosition = c.position;
        t.leaderLength = static_cast<int16_t>(c.leader);
        TagRect r = Build(t);
        PixelPoint o = s + c.origin;
        EXPECT_EQ(r, (TagRect{o.x, o.y + 16, o.x + 63, o.y}));
        EXPECT_TRUE(AnyIn(kWhite, r));
        if (c.position == 4 && c.leaderDrawn) {
            EXPECT_TRUE(Near(s.x - 20, s.y + 1, kWhite, 1));
        }
    }
}

TEST_F(ParkAirBuilderTest, WildValuesNeverOverflow) {
    TargetSnapshot t = Full();
    t.altitude = INT_MAX;
    t.previousAltitude = INT_MIN;
    t.callsign = std::string(90, 'C');
    t.scratchpad = "";
    TagRect r = Build(t);
    EXPECT_EQ(r.right - r.left, 7 * 50) << "lines are cut at 50 characters";
}

}  // namespace
