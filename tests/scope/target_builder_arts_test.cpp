// The ARTS radar mode's targets drawn offscreen: symbols, history, ring,
// placement, the alternating second line, alerts, anchor lines and blinking.
#include "scope/target_builder_arts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "target_builder_fixture.h"

namespace {

using Lines = std::vector<std::pair<int, std::string>>;  // (dy from the origin, text)

class ArtsBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(3);
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
    PixelSet ReferenceText(PixelPoint at, const char* text, PixelPoint around) {
        Clear();
        DrawReferenceText(at, text, kSymbolRgb);
        return Around(around, kSymbolRgb);
    }
    // The block's pixels right of its left edge against the texts drawn alone.
    void ExpectBlock(TargetSnapshot t, const Lines& lines) {
        TagRect r = Build(t);
        ASSERT_FALSE(r.IsEmpty());
        PixelSet drawn = Pixels(kDataBlockRgb, r.left, 0, kWidth - 1, kHeight - 1);
        Clear();
        for (const auto& [dy, text] : lines) DrawReferenceText({r.left, r.bottom + dy}, text, kDataBlockRgb);
        EXPECT_EQ(drawn, Pixels(kDataBlockRgb, r.left, 0, kWidth - 1, kHeight - 1));
    }
};

TEST_F(ArtsBuilderTest, TheManagerCreatesItForMode3) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderARTS*>(&manager->GetBuilder()), nullptr);
}

TEST_F(ArtsBuilderTest, AHiddenSymbolDrawsNothingUnlessSeeAllWhichShowsTheFullBlock) {
    TargetSnapshot t = MakeTarget();
    t.hideSymbol = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnythingDrawn());

    t = MakeTarget();
    t.hideSymbol = true;
    t.seeAll = true;
    ExpectBlock(t, {{12, "ABC123"}, {0, "050 25 "}});
}

TEST_F(ArtsBuilderTest, SymbolByTransponderCodeAndTracking) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet cross =
        ReferenceShape(p, GL_LINES, {{-1, 1}, {2, 1}, {-2, 0}, {3, 0}, {-1, -1}, {2, -1}, {0, 3}, {0, -2}});
    PixelSet box = ReferenceShape(p, GL_LINE_LOOP, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}});
    PixelSet letter = ReferenceText({197, 147}, "K", p);
    PixelSet star = ReferenceText({197, 147}, "*", p);
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        const PixelSet& expected;
    } cases[] = {
        {"standby before a VFR code", 'S', 1200, "KK", cross},
        {"VFR code before tracking", 'N', 1200, "KK", box},
        {"tracked", 'Y', 4321, "KK", letter},
        {"untracked", 'N', 4321, "", star},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = "KX";
        Build(t);
        EXPECT_EQ(Around(p, kSymbolRgb), c.expected);
    }
}

TEST_F(ArtsBuilderTest, StandbyHasNoDataBlockUnlessSeeAll) {
    TargetSnapshot t = MakeTarget();
    t.transponderMode = 'S';
    t.fullDataBlock = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));
    EXPECT_FALSE(Around({200, 150}, kSymbolRgb).empty());
    t.seeAll = true;
    EXPECT_TRUE(AnyIn(kDataBlockRgb, Build(t)));
}

TEST_F(ArtsBuilderTest, HistoryUpToTheCountSkippingAxisEntries) {
    host.ints["HistoryCount"] = 5;
    TargetSnapshot t = MakeTarget(360, 100);
    t.tagPosition = 8;
    t.history.push_back({0.0, 10.0});
    for (int i = 1; i <= 8; ++i) t.history.push_back(PointAt(360 - 40 * i, 100));
    Build(t);
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(!Around({360 - 40 * i, 100}, kHistoryRgb).empty(), i <= 5);
    }
    host.ints["HistoryCount"] = 0;
    Build(t);
    EXPECT_FALSE(AnyIn(kHistoryRgb, 0, 0, kWidth - 1, kHeight - 1));
    EXPECT_FALSE(Around({360, 100}, kSymbolRgb).empty());
}

TEST_F(ArtsBuilderTest, PlacementByTagPositionAndTheLimitedBlocksFixedPlace) {
    const PixelPoint s{200, 150};
    struct Case {
        const char* name;
        int position;
        bool full;
        PixelPoint leaderEnd;  // from the symbol
        PixelPoint origin;
        int leftInRecord;
    } cases[] = {
        {"1", 1, true, {-25, -25}, {-85, -50}, 15},
        {"2", 2, true, {0, -30}, {-25, -55}, 20},
        {"3", 3, true, {25, -25}, {32, -50}, 15},
        {"4", 4, true, {-30, 1}, {-95, -6}, 20},
        {"5 as 6", 5, true, {30, 1}, {38, -6}, 20},
        {"7", 7, true, {-25, 25}, {-85, 27}, 15},
        {"8", 8, true, {0, 33}, {-25, 38}, 20},
        {"9", 9, true, {28, 28}, {31, 27}, 15},
        {"limited: right, leader 10", 8, false, {20, 1}, {28, -6}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(s.x, s.y);
        t.fullDataBlock = c.full;
        t.tagPosition = c.position;
        TagRect r = Build(t);
        PixelPoint o = s + c.origin;
        EXPECT_EQ(r, (TagRect{o.x, o.y + 33, o.x + 48, o.y}));
        EXPECT_EQ(t.leaderLength, c.leftInRecord);
        PixelPoint mid{s.x + c.leaderEnd.x * 3 / 4, s.y + c.leaderEnd.y * 3 / 4};
        EXPECT_TRUE(Near(mid.x, mid.y, kDataBlockRgb)) << "leader";
        EXPECT_TRUE(AnyIn(kDataBlockRgb, r)) << "text in the box";
    }
}

TEST_F(ArtsBuilderTest, TheFullBlockByBlinkPhase) {
    host.vfrCodes = {1200};
    auto base = [this](uint16_t phase) {
        TargetSnapshot t = MakeTarget(100, 150);
        t.fullDataBlock = true;
        t.trackedByMe = true;
        t.ownerId = "--";
        t.destination = "EGLL";
        t.scratchpad = "RWY27L";
        t.typeCode = "B744";
        t.temporaryAltitude = 9000;
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
    TargetSnapshot vfr = base(5);
    vfr.isVfr = true;
    vfr.voiceType = kVoiceTextOnly;
    TargetSnapshot handoff = base(2);
    handoff.handoffTargetId = "EE";
    handoff.handoffTargetSectorText = "E";
    handoff.squawk = 7600;
    TargetSnapshot mismatch = base(1);
    mismatch.assignedCode = 4444;
    TargetSnapshot duplicate = base(1);
    duplicate.duplicateCode = true;
    TargetSnapshot coasting = base(6);
    coasting.coasting = true;
    coasting.inConflict = true;
    coasting.squawk = 7700;
    TargetSnapshot ident = base(4);
    ident.transponderMode = 'Y';
    TargetSnapshot cruise = base(8);
    cruise.temporaryAltitude = 0;
    cruise.squawk = 7500;
    TargetSnapshot noDestination = base(3);
    noDestination.destination.clear();
    TargetSnapshot othersHeavy = base(1);
    othersHeavy.trackedByMe = false;
    othersHeavy.ownerId = "KK";
    Case cases[] = {
        {"phase 1: altitude, speed, heavy", base(1), {{12, "ABC123"}, {0, "050 25 H"}}},
        {"phase 5 VFR plan, text only", vfr, {{12, "ABC123/t"}, {0, "050 25V H"}}},
        {"handoff letter, RF in an even phase", handoff, {{24, "RF"}, {12, "ABC123"}, {0, "050E25 H"}}},
        {"an assigned code that differs", mismatch, {{12, "ABC123"}, {0, "050 1234"}}},
        {"a duplicate code", duplicate, {{12, "ABC123"}, {0, "050 CODE"}}},
        {"coasting; CA before EM", coasting, {{24, "CA"}, {12, "ABC123"}, {0, "CST 25 H"}}},
        {"phase 4: scratchpad's last four, ident", ident, {{12, "ABC123"}, {0, "Y27L*25ID"}}},
        {"phase 8: cruise without a temporary; no HJ", cruise, {{12, "ABC123"}, {0, "350*B744"}}},
        {"phase 7 temporary altitude", base(7), {{12, "ABC123"}, {0, "090*B744"}}},
        {"no destination: phase 1", noDestination, {{12, "ABC123"}, {0, "050 25 H"}}},
        {"heavy only on own tracks", othersHeavy, {{12, "ABC123"}, {0, "050 25 "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectBlock(c.t, c.lines);
    }
}

TEST_F(ArtsBuilderTest, TheLimitedBlockHasOnlyTheSecondLine) {
    TargetSnapshot untracked = MakeTarget(100, 150);
    untracked.destination = "EGLL";
    untracked.scratchpad = "ABC";
    untracked.blinkPhase = 3;
    untracked.squawk = 7700;
    ExpectBlock(untracked, {{0, "050 25 "}});  // phases never alternate without a tracker
    TargetSnapshot tracked = untracked;
    tracked.ownerId = "KK";
    tracked.ownerSectorText = "K";
    ExpectBlock(tracked, {{0, "ABC*"}});
}

TEST_F(ArtsBuilderTest, AVfrCodeLimitsTheBlockUnlessSeeAll) {
    host.vfrCodes = {1200};
    TargetSnapshot t = MakeTarget(100, 150);
    t.squawk = 1200;
    t.fullDataBlock = true;
    t.duplicateCode = true;
    ExpectBlock(t, {{0, "050 25 "}});
}

TEST_F(ArtsBuilderTest, AnOfferedHandoffBlinksTheBlockOff) {
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = MakeTarget();
        t.fullDataBlock = true;
        t.incomingHandoff = true;
        t.blinkPhase = phase;
        bool off = phase == 4 || phase == 8;
        EXPECT_EQ(Build(t).IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
        EXPECT_FALSE(Around({200, 150}, kSymbolRgb).empty());
    }
}

TEST_F(ArtsBuilderTest, AnchorLinesBelowTheBlockInTheirColour) {
    const Rgb anchorRgb{200, 100, 50};
    host.colors["ColorAnchorLines"] = static_cast<int>(PackRgb(anchorRgb));
    TargetSnapshot t = MakeTarget(100, 200);
    t.fullDataBlock = true;
    t.hasAnchor = true;
    t.anchor.heading = 45;
    t.anchor.distance = 12.25;
    t.anchor.timeToGo = "03:10";
    t.anchor.pointName = "LAM";
    TagRect r = Build(t);
    PixelSet drawn = Pixels(anchorRgb, 0, 0, kWidth - 1, kHeight - 1);
    ASSERT_FALSE(drawn.empty());
    Clear();
    const char* lines[] = {"H: 045", "D: 12.2", "T: 03:10", "LAM"};
    for (int i = 0; i < 4; ++i)
        DrawReferenceText({r.left, r.bottom - 11 - 10 * i}, lines[i], anchorRgb, kAnchorFont);
    EXPECT_EQ(drawn, Pixels(anchorRgb, 0, 0, kWidth - 1, kHeight - 1));

    t = MakeTarget(100, 200);
    t.hasAnchor = true;  // no time to go: no lines
    Build(t);
    EXPECT_FALSE(AnyIn(anchorRgb, 0, 0, kWidth - 1, kHeight - 1));
}

TEST_F(ArtsBuilderTest, TheRingOfAConflictBlinksDarkInTheFirstHalfSecond) {
    host.bools["ShowSepRingsOnCA"] = true;
    TargetSnapshot t = MakeTarget(200, 150);
    t.trackedByMe = true;
    Build(t);
    EXPECT_FALSE(Near(170, 150, kRingRgb, 2)) << "rings off, no conflict";
    t.inConflict = true;
    clock.Advance(200);
    Build(t);
    EXPECT_TRUE(Near(170, 150, kRingBlinkRgb, 2));
    clock.Advance(500);
    Build(t);
    EXPECT_TRUE(Near(170, 150, kRingRgb, 2));
    EXPECT_TRUE(Near(200, 180, kRingRgb, 2));
}

TEST_F(ArtsBuilderTest, OversizedTextsAreCutAndOddValuesDrawNoGarbage) {
    TargetSnapshot t = MakeTarget(100, 150);
    t.fullDataBlock = true;
    t.callsign = std::string(200, 'W');
    t.altitude = 2147483647;
    t.groundSpeed = -2147483647 - 1;
    t.ownerId = "KK";  // tracked with no position text: no letter
    TagRect r = Build(t);
    EXPECT_EQ(r.right - r.left, 48);
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
    EXPECT_TRUE(Around({100, 150}, kSymbolRgb).empty());
}

}  // namespace
