// The Tower radar mode's targets drawn offscreen: symbols, the same two-line
// block for every target, placement with and without a leader, alerts and
// handoff blinking.
#include "scope/target_builder_twr.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "target_builder_fixture.h"

namespace {

using Lines = std::vector<std::pair<int, std::string>>;  // (dy from the origin, text)

class TowerBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(2);
    }
    PixelSet Around(PixelPoint p, Rgb color) const {
        return Pixels(color, p.x - 8, p.y - 8, p.x + 8, p.y + 8);
    }
    PixelSet ReferenceShape(PixelPoint p, GLenum mode, const std::vector<PixelPoint>& vertices) {
        Clear();
        PrepareTargetPass();
        glColor3ub(255, 255, 0);
        glBegin(mode);
        for (PixelPoint v : vertices) glVertex3d(p.x + v.x, p.y + v.y, kSymbolDepth);
        glEnd();
        glFinish();
        return Around(p, kSymbolRgb);
    }
    PixelSet ReferenceText(PixelPoint p, PixelPoint at, const char* text) {
        Clear();
        DrawReferenceText(p + at, text, kSymbolRgb);
        return Around(p, kSymbolRgb);
    }
    // The block right of its left edge (tag position 6) against the texts alone.
    void ExpectBlock(TargetSnapshot t, const Lines& lines) {
        TagRect r = Build(t);
        ASSERT_FALSE(r.IsEmpty());
        PixelSet drawn = Pixels(kDataBlockRgb, r.left, 0, kWidth - 1, kHeight - 1);
        Clear();
        for (const auto& [dy, text] : lines) DrawReferenceText({r.left, r.bottom + dy}, text, kDataBlockRgb);
        EXPECT_EQ(drawn, Pixels(kDataBlockRgb, r.left, 0, kWidth - 1, kHeight - 1));
        EXPECT_FALSE(drawn.empty());
    }
};

TEST_F(TowerBuilderTest, TheManagerCreatesItForMode2) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderTWR*>(&manager->GetBuilder()), nullptr);
}

TEST_F(TowerBuilderTest, AHiddenSymbolDrawsNothingUnlessSeeAll) {
    TargetSnapshot t = MakeTarget();
    t.hideSymbol = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnythingDrawn());
    t.seeAll = true;
    EXPECT_TRUE(AnyIn(kDataBlockRgb, Build(t)));
    EXPECT_FALSE(t.fullDataBlock) << "see-all does not make the block full";
}

TEST_F(TowerBuilderTest, SymbolByTransponderCodeAndTracking) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet standby = ReferenceShape(p, GL_LINES, {{-1, 0}, {2, 0}, {-1, -1}, {2, -1}, {0, 2}, {0, -2}});
    PixelSet box = ReferenceShape(p, GL_LINE_LOOP, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}});
    PixelSet letter = ReferenceText(p, {-3, -3}, "K");
    PixelSet star = ReferenceText(p, {-3, -7}, "*");
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        const PixelSet& expected;
    } cases[] = {
        {"standby before a VFR code", 'S', 1200, "KK", standby},
        {"VFR code before tracking", 'N', 1200, "KK", box},
        {"tracked", 'N', 4321, "KK", letter},
        {"untracked", 'N', 4321, "", star},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = "KX";
        t.tagPosition = 3;
        t.leaderLength = 40;
        TagRect r = Build(t);
        EXPECT_EQ(Around(p, kSymbolRgb), c.expected);
        EXPECT_TRUE(AnyIn(kDataBlockRgb, r)) << "a block for every target, standby too";
    }
}

TEST_F(TowerBuilderTest, EveryTargetGetsTheTwoLineBlock) {
    host.vfrCodes = {1200};
    auto base = [this](uint16_t phase) {
        TargetSnapshot t = MakeTarget(100, 150);
        t.destination = "EGLL";
        t.scratchpad = "RWY27L";
        t.typeCode = "B744";
        t.cruiseAltitude = 35000;
        t.isHeavy = true;
        t.blinkPhase = phase;
        return t;
    };
    struct Case {
        const char* name;
        TargetSnapshot t;
        Lines lines;
    };
    TargetSnapshot others = base(1);
    others.ownerId = "KK";
    TargetSnapshot emergency = base(2);
    emergency.squawk = 7700;
    emergency.inConflict = true;
    TargetSnapshot oddEmergency = emergency;
    oddEmergency.blinkPhase = 3;
    TargetSnapshot conflict = base(2);
    conflict.inConflict = true;
    TargetSnapshot ident = base(4);
    ident.transponderMode = 'Y';
    TargetSnapshot noDestination = base(7);
    noDestination.destination.clear();
    TargetSnapshot vfrDuplicate = base(1);
    vfrDuplicate.squawk = 1200;
    vfrDuplicate.duplicateCode = true;
    vfrDuplicate.isHeavy = false;
    Case cases[] = {
        {"untracked and limited", base(1), {{12, "ABC123"}, {0, "050 25 H"}}},
        {"heavy on another's track", others, {{12, "ABC123"}, {0, "050 25 H"}}},
        {"EM even, no CA", emergency, {{24, "EM"}, {12, "ABC123"}, {0, "050 25 H"}}},
        {"EM not in odd phases", oddEmergency, {{12, "ABC123"}, {0, "Y27L*B744"}}},
        {"a conflict shows no text", conflict, {{12, "ABC123"}, {0, "050 25 H"}}},
        {"ident, scratchpad's last four", ident, {{12, "ABC123"}, {0, "Y27L*25ID"}}},
        {"no destination: phase 1", noDestination, {{12, "ABC123"}, {0, "050 25 H"}}},
        {"no CODE for a VFR code", vfrDuplicate, {{12, "ABC123"}, {0, "050 25 "}}},
        {"cruise altitude", base(8), {{12, "ABC123"}, {0, "350*B744"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectBlock(c.t, c.lines);
    }
}

TEST_F(TowerBuilderTest, PlacementWithAndWithoutALeader) {
    ExpectPlacements(
        {
            {"1", 1, 20, {-85, -55}, 15, {-18, -18}},
            {"1 without", 1, 0, {-57, -40}, 0, {}},
            {"2", 2, 20, {-25, -60}, 20, {0, -20}},
            {"2 without", 2, 0, {-25, -40}, 0, {}},
            {"3", 3, 20, {32, -55}, 15, {18, -18}},
            {"3 without", 3, 0, {10, -40}, 0, {}},
            {"4", 4, 20, {-95, -11}, 20, {-20, 1}},
            {"4 without", 4, 0, {-62, -11}, 0, {}},
            {"5 as 6", 5, 20, {38, -11}, 20, {20, 1}},
            {"6 without", 6, 0, {11, -11}, 0, {}},
            {"7", 7, 20, {-85, 22}, 15, {-18, 18}},
            {"7 without", 7, 0, {-57, 7}, 0, {}},
            {"8", 8, 20, {-25, 33}, 20, {0, 23}},
            {"8 without", 8, 0, {-25, 13}, 0, {}},
            {"9", 9, 20, {31, 22}, 15, {20, 20}},
            {"9 with leader 1", 9, 1, {6, 7}, 0, {}},
            {"other", 0, 20, {0, 0}, 20, {}},
        },
        [&](const TagRect& r, PixelPoint o) { EXPECT_TRUE(AnyIn(kDataBlockRgb, r)); });
    TargetSnapshot t = MakeTarget(200, 150);
    t.tagPosition = 2;
    t.leaderLength = 0;
    Build(t);
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 199, 136, 201, 143)) << "no leader";
}

TEST_F(TowerBuilderTest, AnOfferedHandoffBlinksTheBlockOff) {
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = MakeTarget();
        t.destination = "EGLL";
        t.incomingHandoff = true;
        t.blinkPhase = phase;
        bool off = phase == 4 || phase == 8;
        EXPECT_EQ(Build(t).IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
        EXPECT_FALSE(Around({200, 150}, kSymbolRgb).empty());
    }
}

TEST_F(TowerBuilderTest, NoRingEvenWhenAsked) {
    manager->ToggleSepRings();
    host.bools["ShowSepRingsOnCA"] = true;
    TargetSnapshot t = MakeTarget();
    t.trackedByMe = true;
    t.inConflict = true;
    Build(t);
    EXPECT_FALSE(AnyIn(kRingRgb, 0, 0, kWidth - 1, kHeight - 1));
    EXPECT_FALSE(AnyIn(kRingBlinkRgb, 0, 0, kWidth - 1, kHeight - 1));
}

TEST_F(TowerBuilderTest, AHiddenBlockKeepsTheSymbol) {
    TargetSnapshot t = MakeTarget();
    t.hideDataBlock = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));
    EXPECT_FALSE(Around({200, 150}, kSymbolRgb).empty());
}

}  // namespace
