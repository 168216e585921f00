// The DSR radar mode's targets drawn offscreen: symbols by track state, the
// own track's diamond and vector, ident bars, the limited and full blocks,
// alerts forcing and dimming the block, and handoff blinking.
#include "scope/target_builder_dsr.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "target_builder_fixture.h"

namespace {

using Lines = std::vector<std::pair<PixelPoint, std::string>>;  // from the origin

constexpr Rgb kDimDataBlockRgb{0, 84, 0};

class DsrBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(4);
    }
    PixelSet Around(PixelPoint p, Rgb color) const {
        return Pixels(color, p.x - 8, p.y - 8, p.x + 8, p.y + 8);
    }
    PixelSet ReferenceLines(PixelPoint p, const std::vector<PixelPoint>& vertices) {
        Clear();
        PrepareTargetPass();
        glColor3ub(128, 128, 255);
        glBegin(GL_LINES);
        for (PixelPoint v : vertices) glVertex3d(p.x + v.x, p.y + v.y, kSymbolDepth);
        glEnd();
        glFinish();
        return Around(p, kPrimaryRgb);
    }
    PixelSet ReferenceText(PixelPoint p, PixelPoint at, const char* text) {
        Clear();
        DrawReferenceText(p + at, text, kPrimaryRgb);
        return Around(p, kPrimaryRgb);
    }
    // The texts at origin + offset, in a colour, against what was drawn in
    // the region right of x >= fromX.
    void ExpectTexts(PixelPoint origin, const Lines& lines, Rgb color, int fromX) {
        PixelSet drawn = Pixels(color, fromX, 0, kWidth - 1, kHeight - 1);
        Clear();
        for (const auto& [at, text] : lines) DrawReferenceText(origin + at, text, color);
        EXPECT_EQ(drawn, Pixels(color, fromX, 0, kWidth - 1, kHeight - 1));
        EXPECT_FALSE(drawn.empty());
    }
    // A full block, tag position 6: its texts start right of the leader.
    TargetSnapshot FullTarget(uint16_t phase) const {
        TargetSnapshot t = MakeTarget(100, 150);
        t.fullDataBlock = true;
        t.destination = "EGLL";
        t.aircraftNumber = 7;
        t.typeCode = "B738";
        t.scratchpad = "RWY27L";
        t.altitude = 12301;
        t.previousAltitude = 12301;
        t.cruiseAltitude = 20000;
        t.groundSpeed = 243;
        t.blinkPhase = phase;
        return t;
    }
};

TEST_F(DsrBuilderTest, TheManagerCreatesItForMode4) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderDSR*>(&manager->GetBuilder()), nullptr);
}

TEST_F(DsrBuilderTest, SymbolByTrackStateInThePrimaryColour) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet cross = ReferenceLines(p, {{-2, 0}, {3, 0}, {0, 3}, {0, -2}});
    PixelSet ibeam = ReferenceLines(p, {{-1, 5}, {2, 5}, {0, 5}, {0, -2}, {-1, -2}, {2, -2}});
    PixelSet vee = ReferenceText(p, {-3, -2}, "V");
    PixelSet hash = ReferenceText(p, {-3, -2}, "#");
    PixelSet slash = ReferenceText(p, {-3, -3}, "\\");
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        bool coasting;
        const char* ownerId;
        const PixelSet& expected;
    } cases[] = {
        {"standby first", 'S', 1200, true, "KK", cross},
        {"VFR code before coasting", 'N', 1200, true, "KK", vee},
        {"coasting before tracking", 'N', 4321, true, "KK", hash},
        {"tracked by another", 'N', 4321, false, "KK", slash},
        {"untracked", 'N', 4321, false, "", ibeam},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.coasting = c.coasting;
        t.ownerId = c.ownerId;
        Build(t);
        EXPECT_EQ(Around(p, kPrimaryRgb), c.expected);
    }
}

TEST_F(DsrBuilderTest, OwnTracksGetADiamondAndAVectorAtTheRoundedSpeed) {
    host.bools["TimeBasedVector"] = true;
    TargetSnapshot t = MakeTarget(100, 150);
    t.ownerId = "--";
    t.trackedByMe = true;
    t.fullDataBlock = true;
    t.tagPosition = 2;
    t.track = 90.0;
    t.vectorLength = 6;  // minutes: 250 kt runs 25 NM, 250 pixels
    t.groundSpeed = 243;
    Build(t);
    EXPECT_EQ(t.groundSpeed, 250);
    EXPECT_TRUE(Near(98, 152, kSymbolRgb)) << "diamond";
    EXPECT_TRUE(Near(98, 148, kSymbolRgb));
    EXPECT_TRUE(Near(348, 150, kVectorRgb));
    EXPECT_FALSE(AnyIn(kVectorRgb, 352, 140, 399, 160));

    for (int speed : {0, 4}) {
        SCOPED_TRACE(speed);
        t.groundSpeed = speed;
        t.vectorLength = 60;
        Build(t);
        EXPECT_EQ(AnyIn(kVectorRgb, 0, 0, kWidth - 1, kHeight - 1), speed > 0);
    }
    t.ownerId = "KK";  // another's track: neither
    t.trackedByMe = false;
    t.groundSpeed = 243;
    Build(t);
    EXPECT_FALSE(AnyIn(kVectorRgb, 0, 0, kWidth - 1, kHeight - 1));
    EXPECT_FALSE(Near(98, 148, kSymbolRgb));
}

TEST_F(DsrBuilderTest, IdentBarsAcrossTheTarget) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.transponderMode = 'Y';
    Build(t);
    for (int dy : {4, 1, -2}) {
        EXPECT_TRUE(Near(197, 150 + dy, kSymbolRgb)) << dy;
        EXPECT_TRUE(Near(203, 150 + dy, kSymbolRgb)) << dy;
    }
}

TEST_F(DsrBuilderTest, TheLimitedBlockIsCodeAndAltitudeBesideTheTargetWithoutRectangle) {
    host.vfrCodes = {1200};
    TargetSnapshot t = MakeTarget(200, 150);
    t.altitude = 12301;
    EXPECT_EQ(Build(t), TagRect::Empty());
    ExpectTexts({200, 150}, {{{7, 4}, "1234"}, {{7, -9}, "124"}}, kDataBlockRgb, 0);

    t = MakeTarget(200, 150);
    t.squawk = 1200;
    t.fullDataBlock = true;  // a VFR code limits the block
    t.altitude = 12301;
    EXPECT_EQ(Build(t), TagRect::Empty());
    ExpectTexts({200, 150}, {{{7, -9}, "124"}}, kDataBlockRgb, 0);
}

TEST_F(DsrBuilderTest, TheFullBlockLines) {
    struct Case {
        const char* name;
        TargetSnapshot t;
        const char* line2;
        const char* line3;
    };
    TargetSnapshot climbing = FullTarget(1);
    climbing.previousAltitude = 12200;
    climbing.isVfr = true;
    TargetSnapshot descending = FullTarget(5);
    descending.previousAltitude = 12400;
    TargetSnapshot nearCruise = FullTarget(1);
    nearCruise.cruiseAltitude = 12000;
    TargetSnapshot temporary = FullTarget(1);
    temporary.temporaryAltitude = 8000;
    TargetSnapshot coasting = FullTarget(1);
    coasting.coasting = true;
    TargetSnapshot other = FullTarget(2);
    other.ownerId = "KK";
    TargetSnapshot offered = other;
    offered.incomingHandoff = true;
    offered.blinkPhase = 6;
    TargetSnapshot outgoing = FullTarget(2);
    outgoing.ownerId = "--";
    outgoing.trackedByMe = true;
    outgoing.handoffTargetId = "EE";
    TargetSnapshot mismatch = FullTarget(3);
    mismatch.assignedCode = 4321;
    TargetSnapshot duplicate = FullTarget(8);
    duplicate.duplicateCode = true;
    TargetSnapshot noDestination = FullTarget(4);
    noDestination.destination.clear();
    TargetSnapshot radioFailure = FullTarget(4);
    radioFailure.squawk = 7600;
    Case cases[] = {
        {"climbing, VFR plan", climbing, "200{124", " 007 250V"},
        {"descending", descending, "200}124", " 007 250"},
        {"within 400 ft of cruise", nearCruise, "120C", " 007 250"},
        {"temporary altitude", temporary, "080T124", " 007 250"},
        {"coasting", coasting, "CST/XXX", " 007 250"},
        {"another's track", other, "200 124", "R007O-KK"},
        {"offered to the user", offered, "200 124", "R007H-KK"},
        {"handing off", outgoing, "200 124", " 007H-EE"},
        {"code mismatch", mismatch, "200 124", " 007 1234"},
        {"duplicate code", duplicate, "200 124", " 007 CODE"},
        {"scratchpad's last four", FullTarget(3), "200 124", " 007 Y27L"},
        {"type", FullTarget(7), "200 124", " 007 B738"},
        {"no destination: phase 1", noDestination, "200 124", " 007 250"},
        {"radio failure in every phase", radioFailure, "200 124", " 007 RDOF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = c.t;
        TagRect r = Build(t);
        PixelPoint o{100 + 38, 150 - 14};
        EXPECT_EQ(r, (TagRect{o.x, o.y + 33, o.x + 48, o.y}));
        ExpectTexts(o, {{{0, 24}, "ABC123"}, {{0, 12}, c.line2}, {{-7, 0}, c.line3}}, kDataBlockRgb, 131);
    }
}

TEST_F(DsrBuilderTest, EmergenciesForceTheFullBlockAndBlinkItDim) {
    for (uint16_t phase = 1; phase <= 4; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = FullTarget(phase);
        t.fullDataBlock = false;
        t.squawk = 7700;
        TagRect r = Build(t);
        ASSERT_FALSE(r.IsEmpty());
        Rgb color = phase % 2 == 0 ? kDimDataBlockRgb : kDataBlockRgb;
        Rgb other = phase % 2 == 0 ? kDataBlockRgb : kDimDataBlockRgb;
        EXPECT_FALSE(AnyIn(other, 0, 0, kWidth - 1, kHeight - 1));
        ExpectTexts({r.left, r.bottom}, {{{0, 24}, "ABC123"}, {{0, 12}, "200 124"}, {{-7, 0}, " 007 EMRG"}},
                    color, 131);
    }
    TargetSnapshot t = FullTarget(2);
    t.fullDataBlock = false;
    t.squawk = 7600;
    EXPECT_TRUE(Build(t).IsEmpty()) << "radio failure does not force the block";
    t = FullTarget(2);
    t.inConflict = true;
    Build(t);
    EXPECT_FALSE(AnyIn(kDimDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1)) << "already full: no blink";
}

TEST_F(DsrBuilderTest, PlacementAndTheDiagonalLeader) {
    struct Case {
        int position;
        PixelPoint origin;
        int leftInRecord;
    } cases[] = {{1, {-85, -65}, 15}, {2, {-25, -70}, 20}, {3, {32, -65}, 15},
                 {4, {-95, -14}, 20}, {5, {38, -14}, 20},  {7, {-85, 32}, 15},
                 {8, {-25, 43}, 20},  {9, {35, 35}, 15},   {0, {0, 0}, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        TargetSnapshot t = FullTarget(1);
        t.position = PointAt(200, 150);
        t.tagPosition = c.position;
        TagRect r = Build(t);
        EXPECT_EQ(r.left, 200 + c.origin.x);
        EXPECT_EQ(r.bottom, 150 + c.origin.y);
        EXPECT_EQ(t.leaderLength, c.leftInRecord);
        EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
    }
}

TEST_F(DsrBuilderTest, AnOfferedHandoffBlanksTheFullBlockInPhases1And5) {
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = FullTarget(phase);
        t.incomingHandoff = true;
        bool off = phase == 1 || phase == 5;
        EXPECT_EQ(Build(t).IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
    }
}

TEST_F(DsrBuilderTest, ExtremeAltitudesDoNotOverflow) {
    TargetSnapshot t = FullTarget(1);
    t.altitude = 2147483647;
    t.previousAltitude = -2147483647 - 1;
    t.cruiseAltitude = -2147483647 - 1;
    TagRect r = Build(t);
    ExpectTexts({r.left, r.bottom},
                {{{0, 24}, "ABC123"}, {{0, 12}, "-21474836{21474837"}, {{-7, 0}, " 007 250"}}, kDataBlockRgb,
                131);
}

}  // namespace
