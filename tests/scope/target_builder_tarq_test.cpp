// The program's own radar mode drawn offscreen: symbols, the limited and the
// full data block with its alternating second line, placement, blinking,
// hiding, the anchor block and wild values.
#include "scope/target_builder_tarq.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "target_builder_fixture.h"

namespace {

constexpr Rgb kAnchorRgb{255, 0, 128};

class TarqBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(0);
        host.colors["ColorAnchorLines"] = static_cast<int>(PackRgb(kAnchorRgb));
    }
    PixelSet Around(PixelPoint p, Rgb color, int r = 12) const {
        return Pixels(color, p.x - r, p.y - r, p.x + r, p.y + r);
    }
    PixelSet ReferenceLines(PixelPoint p, GLenum mode, const std::vector<PixelPoint>& vertices) {
        Clear();
        PrepareTargetPass();
        glColor3ub(255, 255, 0);
        glBegin(mode);
        for (PixelPoint v : vertices) glVertex3d(p.x + v.x, p.y + v.y, kSymbolDepth);
        glEnd();
        glFinish();
        return Around(p, kSymbolRgb);
    }
    // The data block's text right of the leader, from above the first line
    // to below the anchor block.
    PixelSet BlockText(PixelPoint origin, Rgb color = kDataBlockRgb) const {
        return Pixels(color, origin.x, origin.y - 50, kWidth - 1, origin.y + 40);
    }
    PixelSet ReferenceBlock(PixelPoint origin, const std::vector<std::string>& lines) {
        Clear();
        for (size_t i = 0; i < lines.size(); ++i)
            DrawReferenceText(origin + PixelPoint{0, 24 - 12 * static_cast<int>(i)}, lines[i], kDataBlockRgb);
        return BlockText(origin);
    }
    // A tracked target with a full data block at tag position 6.
    TargetSnapshot FullTarget() const {
        TargetSnapshot t = MakeTarget(100, 150);
        t.fullDataBlock = true;
        t.ownerId = "CC";
        t.ownerSectorText = "CX";
        t.typeCode = "B738";
        t.scratchpad = "LAX";
        t.altitude = 5000;
        t.previousAltitude = 5000;
        t.cruiseAltitude = 35000;
        t.groundSpeed = 250;
        return t;
    }
    // Origin of tag position 6, leader 20, symbol (100, 150).
    static constexpr PixelPoint kOrigin{138, 136};
};

TEST_F(TarqBuilderTest, TheDefaultModeForEveryNumberWithoutABuilder) {
    for (int mode : {0, 5, 12, 99, -1}) {
        SCOPED_TRACE(mode);
        SetRadarMode(mode);
        EXPECT_NE(dynamic_cast<TarqTargetBuilderTarq*>(&manager->GetBuilder()), nullptr);
    }
}

TEST_F(TarqBuilderTest, SymbolShapeByTransponderCodeAndTracking) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet standby =
        ReferenceLines(p, GL_LINES, {{-1, 1}, {2, 1}, {-2, 0}, {3, 0}, {-1, -1}, {2, -1}, {0, 3}, {0, -2}});
    PixelSet vfrBox = ReferenceLines(p, GL_LINE_LOOP, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}});
    auto text = [&](const char* s) {
        Clear();
        DrawReferenceText(p + PixelPoint{-3, -3}, s, kSymbolRgb);
        return Around(p, kSymbolRgb);
    };
    PixelSet letter = text("C");
    PixelSet question = text("?");
    PixelSet star = text("*");
    for (const PixelSet* s : {&standby, &vfrBox, &letter, &question, &star}) ASSERT_FALSE(s->empty());
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        const char* ownerText;
        const PixelSet& expected;
    } cases[] = {
        {"standby before a VFR code", 'S', 1200, "CC", "CX", standby},
        {"VFR code before tracking", 'N', 1200, "CC", "CX", vfrBox},
        {"tracked", 'N', 4321, "CC", "CX", letter},
        {"tracker without a position record", 'N', 4321, "ZZ", "??", question},
        {"untracked", 'Y', 4321, "", "", star},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = c.ownerText;
        t.fullDataBlock = true;
        t.tagPosition = 3;
        t.leaderLength = 60;
        Build(t);
        EXPECT_EQ(Around(p, kSymbolRgb), c.expected);
    }
}

TEST_F(TarqBuilderTest, HistoryRepeatsTheSymbolUpToTheCount) {
    host.ints["HistoryCount"] = 2;
    TargetSnapshot t = MakeTarget(300, 150);
    t.tagPosition = 8;
    t.history = {PointAt(260, 150), {0.0, 10.0}, PointAt(220, 150), PointAt(180, 150)};
    Build(t);
    EXPECT_FALSE(Around({300, 150}, kSymbolRgb, 6).empty());
    EXPECT_FALSE(Around({260, 150}, kHistoryRgb, 6).empty());
    EXPECT_FALSE(Around({220, 150}, kHistoryRgb, 6).empty()) << "the zero entry does not count";
    EXPECT_TRUE(Around({180, 150}, kHistoryRgb, 6).empty());
}

TEST_F(TarqBuilderTest, TheLimitedDataBlockShowsCodeAndAltitudeBesideTheSymbol) {
    host.vfrCodes = {1200};
    struct Case {
        uint16_t squawk;
        int altitude;
        const char* code;  // null: no code line
        const char* level;
    } cases[] = {
        {1234, 3450, "1234", "035"}, {1234, 3401, "1234", "035"},  {1234, 3400, "1234", "034"},
        {52, 0, "0052", "000"},      {1200, 3450, nullptr, "035"},
    };
    const PixelPoint p{200, 150};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.squawk = c.squawk;
        t.altitude = c.altitude;
        t.fullDataBlock = c.squawk == 1200;  // a VFR code loses it
        EXPECT_EQ(Build(t), TagRect::Empty());
        EXPECT_FALSE(t.fullDataBlock);
        PixelSet drawn = Pixels(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1);
        Clear();
        if (c.code) DrawReferenceText(p + PixelPoint{7, 4}, c.code, kDataBlockRgb);
        DrawReferenceText(p + PixelPoint{7, -9}, c.level, kDataBlockRgb);
        EXPECT_EQ(drawn, Pixels(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));
    }
}

TEST_F(TarqBuilderTest, AStandbyTargetHasNoDataBlockUnlessSeeAll) {
    TargetSnapshot t = FullTarget();
    t.transponderMode = 'S';
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));

    t = MakeTarget(100, 150);
    t.transponderMode = 'S';
    t.seeAll = true;
    TagRect r = Build(t);
    EXPECT_TRUE(t.fullDataBlock);
    EXPECT_EQ(r, (TagRect{kOrigin.x, kOrigin.y + 33, kOrigin.x + 54, kOrigin.y}));
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
}

TEST_F(TarqBuilderTest, AHiddenDataBlockKeepsTheSymbolAndAHiddenSymbolDrawsNothing) {
    TargetSnapshot t = FullTarget();
    t.hideDataBlock = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(Around({100, 150}, kSymbolRgb, 6).empty());
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));

    t = FullTarget();
    t.hideSymbol = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnythingDrawn());
}

TEST_F(TarqBuilderTest, FullDataBlockLines) {
    host.vfrCodes = {1200};
    struct Case {
        const char* name;
        void (*change)(TargetSnapshot&);
        const char* line2;
        const char* line3;
    } cases[] = {
        {"status: the scratchpad", [](TargetSnapshot&) {}, "050? LAX", "B738 250"},
        {"intent: the cruise level", [](TargetSnapshot& t) { t.blinkPhase = 3; }, "050? 350C", "B738 250"},
        {"phase 6 status, phase 8 intent", [](TargetSnapshot& t) { t.blinkPhase = 6; }, "050? LAX",
         "B738 250"},
        {"climbing", [](TargetSnapshot& t) { t.altitude = 3450, t.previousAltitude = 3400; }, "034{ LAX",
         "B738 250"},
        {"descending", [](TargetSnapshot& t) { t.previousAltitude = 5031; }, "050} LAX", "B738 250"},
        {"at cruise shows the cruise level",
         [](TargetSnapshot& t) {
             t.altitude = 3450, t.previousAltitude = 3440, t.cruiseAltitude = 3500, t.blinkPhase = 7;
         },
         "035C LAX", "B738 250"},
        {"near the temporary altitude",
         [](TargetSnapshot& t) { t.temporaryAltitude = 5300, t.blinkPhase = 4; }, "050T 053T", "B738 250"},
        {"the temporary altitude before the handoff",
         [](TargetSnapshot& t) {
             t.temporaryAltitude = 5000, t.handoffTargetId = "DD", t.handoffTargetSectorText = "DX",
             t.blinkPhase = 3;
         },
         "050T 050T", "B738 250"},
        {"handing off",
         [](TargetSnapshot& t) {
             t.handoffTargetId = "DD", t.handoffTargetSectorText = "DX", t.blinkPhase = 3;
         },
         "050? HO-DX", "B738 250"},
        {"no cruise level", [](TargetSnapshot& t) { t.cruiseAltitude = 0, t.blinkPhase = 3; }, "050? 000",
         "B738 250"},
        {"at cruise without scratchpad",
         [](TargetSnapshot& t) { t.cruiseAltitude = 5100, t.scratchpad = "", t.blinkPhase = 3; }, "051C ---",
         "B738 250"},
        {"the last four of a long scratchpad", [](TargetSnapshot& t) { t.scratchpad = "ABCDEF"; },
         "050? CDEF", "B738 250"},
        {"coasting before radio failure", [](TargetSnapshot& t) { t.coasting = true, t.squawk = 7600; },
         "050? CSTG", "B738 250"},
        {"emergency", [](TargetSnapshot& t) { t.squawk = 7700; }, "050? EMRG", "B738 250"},
        {"radio failure", [](TargetSnapshot& t) { t.squawk = 7600; }, "050? RDOF", "B738 250"},
        {"hijack", [](TargetSnapshot& t) { t.squawk = 7500; }, "050? HIJK", "B738 250"},
        {"duplicate code", [](TargetSnapshot& t) { t.duplicateCode = true; }, "050? CODE", "B738 250"},
        {"a duplicate VFR code is no fault",
         [](TargetSnapshot& t) { t.duplicateCode = true, t.squawk = 1200, t.seeAll = true; }, "050? LAX",
         "B738 250"},
        {"the wrong code", [](TargetSnapshot& t) { t.assignedCode = 4444; }, "050? 1234", "B738 250"},
        {"the right code", [](TargetSnapshot& t) { t.assignedCode = 1234; }, "050? LAX", "B738 250"},
        {"no scratchpad", [](TargetSnapshot& t) { t.scratchpad = ""; }, "050? ---", "B738 250"},
        {"speed 0", [](TargetSnapshot& t) { t.groundSpeed = 0; }, "050? LAX", "B738 000"},
        {"speed 5", [](TargetSnapshot& t) { t.groundSpeed = 5; }, "050? LAX", "B738 010"},
        {"speed 101", [](TargetSnapshot& t) { t.groundSpeed = 101; }, "050? LAX", "B738 110"},
        {"no type", [](TargetSnapshot& t) { t.typeCode = ""; }, "050? LAX", "UNKN 250"},
        {"short type", [](TargetSnapshot& t) { t.typeCode = "C1"; }, "050? LAX", "  C1 250"},
        {"VFR and heavy", [](TargetSnapshot& t) { t.isVfr = true, t.isHeavy = true; }, "050? LAX",
         "B738 250V H"},
        {"ident in an even phase", [](TargetSnapshot& t) { t.transponderMode = 'Y', t.blinkPhase = 2; },
         "050? LAX", "B738 250 ID"},
        {"ident in an odd phase", [](TargetSnapshot& t) { t.transponderMode = 'Y'; }, "050? LAX", "B738 250"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = FullTarget();
        t.voiceType = kVoiceTextOnly;
        c.change(t);
        TagRect r = Build(t);
        ASSERT_EQ(r, (TagRect{kOrigin.x, kOrigin.y + 33, kOrigin.x + 54, kOrigin.y}));
        PixelSet drawn = BlockText(kOrigin);
        EXPECT_EQ(drawn, ReferenceBlock(kOrigin, {"ABC123/t", c.line2, c.line3}));
    }
}

TEST_F(TarqBuilderTest, TheBuilderWritesItsShownValuesIntoTheRecord) {
    TargetSnapshot t = FullTarget();
    t.groundSpeed = 101;
    t.typeCode = "";
    t.scratchpad = "ABCDEF";
    t.tagPosition = 9;
    Build(t);
    EXPECT_EQ(t.groundSpeed, 110);
    EXPECT_EQ(t.typeCode, "UNKN");
    EXPECT_EQ(t.scratchpad, "CDEF");
    EXPECT_EQ(t.leaderLength, 15);
}

TEST_F(TarqBuilderTest, PlacementByTagPosition) {
    const PixelPoint s{200, 150};
    struct Case {
        int position;
        int leader;
        PixelPoint origin;
        PixelPoint leaderMid;  // (0, 0): none to look for
    } cases[] = {
        {1, 20, {-85, -65}, {-17, -17}}, {2, 20, {-25, -70}, {0, -20}}, {3, 20, {32, -65}, {17, -17}},
        {4, 20, {-95, -14}, {-20, 1}},   {5, 20, {38, -14}, {20, 1}},   {6, 20, {38, -14}, {20, 1}},
        {6, 0, {18, -14}, {}},           {7, 20, {-85, 32}, {-17, 17}}, {8, 20, {-25, 43}, {0, 23}},
        {9, 20, {35, 35}, {20, 20}},     {0, 20, {0, 0}, {}},           {10, 20, {0, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        TargetSnapshot t = FullTarget();
        t.position = PointAt(s.x, s.y);
        t.tagPosition = c.position;
        t.leaderLength = static_cast<int16_t>(c.leader);
        TagRect r = Build(t);
        PixelPoint o = s + c.origin;
        EXPECT_EQ(r, (TagRect{o.x, o.y + 33, o.x + 54, o.y}));
        if (c.leaderMid != PixelPoint{}) {
            EXPECT_TRUE(Near(s.x + c.leaderMid.x, s.y + c.leaderMid.y, kDataBlockRgb));
        }
        EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
    }
}

TEST_F(TarqBuilderTest, AnOfferedHandoffBlinksTheFullDataBlockOff) {
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = FullTarget();
        t.incomingHandoff = true;
        t.blinkPhase = phase;
        TagRect r = Build(t);
        bool off = phase == 4 || phase == 8;
        EXPECT_EQ(r.IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
        EXPECT_FALSE(Around({100, 150}, kSymbolRgb, 6).empty());
    }
}

TEST_F(TarqBuilderTest, TheAnchorBlockLiesUnderTheDataBlockInTheAnchorColour) {
    TargetSnapshot t = FullTarget();
    t.position = PointAt(100, 200);
    t.hasAnchor = true;
    t.anchor.heading = 45;
    t.anchor.distance = 12.25;
    t.anchor.timeToGo = "03:10";
    t.anchor.pointName = "BOSOX";
    TagRect r = Build(t);
    PixelPoint o{r.left, r.bottom};
    PixelSet drawn = Pixels(kAnchorRgb, 0, 0, kWidth - 1, kHeight - 1);
    Clear();
    const char* lines[] = {"H: 045", "D: 12.2", "T: 03:10", "BOSOX"};
    for (int i = 0; i < 4; ++i)
        DrawReferenceText(o + PixelPoint{0, -11 - 10 * i}, lines[i], kAnchorRgb, kAnchorFont);
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, Pixels(kAnchorRgb, 0, 0, kWidth - 1, kHeight - 1));

    t = FullTarget();
    t.hasAnchor = true;
    t.anchor.heading = 45;
    Build(t);
    EXPECT_FALSE(AnyIn(kAnchorRgb, 0, 0, kWidth - 1, kHeight - 1)) << "no time to go, no anchor block";
}

TEST_F(TarqBuilderTest, RingAndVectorOfATrackedTarget) {
    manager->ToggleSepRings();
    TargetSnapshot t = FullTarget();
    t.position = PointAt(200, 150);
    t.trackedByMe = true;
    t.ownerId = "--";
    t.track = 180.0;
    t.vectorLength = 5;  // 50 pixels down
    t.tagPosition = 8;
    Build(t);
    EXPECT_TRUE(Near(230, 150, kRingRgb, 1));
    EXPECT_TRUE(Near(200, 125, kVectorRgb, 1));
}

TEST_F(TarqBuilderTest, WildValuesAreCutAndNeverOverflow) {
    TargetSnapshot t = FullTarget();
    t.callsign = std::string(80, 'W');
    t.typeCode = std::string(60, 'T');
    t.altitude = INT_MAX;
    t.previousAltitude = INT_MIN;
    t.cruiseAltitude = INT_MIN;
    t.temporaryAltitude = INT_MAX;
    t.groundSpeed = INT_MAX;
    t.hasAnchor = true;
    t.anchor.timeToGo = std::string(70, 'X');
    t.anchor.distance = 1e300;
    TagRect r = Build(t);
    EXPECT_EQ(r, (TagRect{kOrigin.x, kOrigin.y + 33, kOrigin.x + 54, kOrigin.y}));
    EXPECT_EQ(t.groundSpeed, INT_MAX / 10 * 10);
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));

    t = MakeTarget(100, 150);
    t.altitude = INT_MAX;
    Build(t);
    PixelSet drawn = Pixels(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1);
    Clear();
    DrawReferenceText({107, 154}, "1234", kDataBlockRgb);
    DrawReferenceText({107, 141}, "21474837", kDataBlockRgb);
    EXPECT_EQ(drawn, Pixels(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1)) << "the limited block's level";
}

}  // namespace
