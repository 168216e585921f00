// The ground radar mode's targets drawn offscreen: the Simple mode's
// symbols, the two-line data block with its alternating status field, its
// placement, and the record fields it writes back.
#include "scope/target_builder_gnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "target_builder_fixture.h"

namespace {

class GndBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(7);
    }
    PixelSet Around(PixelPoint p, Rgb color) const {
        return Pixels(color, p.x - 20, p.y - 20, p.x + 20, p.y + 20);
    }
    PixelSet All(Rgb color) const { return Pixels(color, 0, 0, kWidth - 1, kHeight - 1); }
    // The data block as drawn by hand at an origin, on a cleared frame.
    PixelSet ReferenceBlock(PixelPoint origin, const std::string& line1, const std::string& line2) {
        Clear();
        DrawReferenceText(origin + PixelPoint{0, 12}, line1, kDataBlockRgb);
        DrawReferenceText(origin, line2, kDataBlockRgb);
        return All(kDataBlockRgb);
    }
    // A target with its data block right of the symbol and no leader, so
    // every data-block pixel is text; destination "KSFO" in the scratchpad,
    // as the manager fills it when the controller set none.
    TargetSnapshot GroundTarget() const {
        TargetSnapshot t = MakeTarget(100, 150);
        t.tagPosition = 6;
        t.leaderLength = 0;
        t.typeCode = "B738";
        t.destination = "KSFO";
        t.scratchpad = "KSFO";
        t.groundSpeed = 12;
        return t;
    }
};

TEST_F(GndBuilderTest, TheManagerDrawsModeSevenWithThisBuilder) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderGND*>(&manager->GetBuilder()), nullptr);
}

TEST_F(GndBuilderTest, SymbolsAreTheSimpleModesInTheTrailToo) {
    host.vfrCodes = {1200};
    host.ints["HistoryCount"] = 1;
    const PixelPoint p{200, 150};
    const PixelPoint h{120, 150};
    auto reference = [&](auto draw) {
        Clear();
        PrepareTargetPass();
        draw(p, kSymbolRgb);
        draw(h, kHistoryRgb);
        glFinish();
        return std::pair{Around(p, kSymbolRgb), Around(h, kHistoryRgb)};
    };
    auto lines = [](GLenum mode, std::vector<PixelPoint> vertices) {
        return [=](PixelPoint at, Rgb c) {
            glColor3ub(static_cast<GLubyte>(c[0]), static_cast<GLubyte>(c[1]), static_cast<GLubyte>(c[2]));
            glBegin(mode);
            for (PixelPoint v : vertices) glVertex3d(at.x + v.x, at.y + v.y, kSymbolDepth);
            glEnd();
        };
    };
    auto text = [this](PixelPoint offset, const char* s) {
        return [=, this](PixelPoint at, Rgb c) {
            glColor3ub(static_cast<GLubyte>(c[0]), static_cast<GLubyte>(c[1]), static_cast<GLubyte>(c[2]));
            glRasterPos3d(at.x + offset.x, at.y + offset.y, kSymbolDepth);
            DrawBitmaps(*fonts.GetFont(kDataBlockFont), s);
        };
    };
    auto standby = reference(lines(GL_LINES, {{-1, 0}, {2, 0}, {-1, -1}, {2, -1}, {0, 2}, {0, -2}}));
    auto vfrBox = reference(lines(GL_LINE_LOOP, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}}));
    auto letter = reference(text({-3, -3}, "C"));
    auto star = reference(text({-3, -5}, "*"));
    ASSERT_NE(standby, vfrBox);
    ASSERT_NE(letter, star);
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        const std::pair<PixelSet, PixelSet>& expected;
    } cases[] = {
        {"standby before a VFR code", 'S', 1200, "CC", standby},
        {"VFR code before tracking", 'N', 1200, "CC", vfrBox},
        {"tracked: the position letter", 'N', 4321, "CC", letter},
        {"untracked", 'N', 4321, "", star},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = "CX";
        t.history = {PointAt(h.x, h.y)};
        t.tagPosition = 3;  // the data block well away below right
        t.leaderLength = 40;
        EXPECT_FALSE(Build(t).IsEmpty()) << "a standby target keeps its data block";
        EXPECT_EQ(Around(p, kSymbolRgb), c.expected.first);
        EXPECT_EQ(Around(h, kHistoryRgb), c.expected.second);
    }
}

TEST_F(GndBuilderTest, DataBlockPlacementSitsFiveHigherThanSimple) {
    ExpectPlacements(
        {
            {"1", 1, 20, {-85, -55}, 15, {-17, -17}},
            {"1 without leader", 1, 0, {-57, -40}, 0, {}},
            {"2", 2, 20, {-25, -60}, 20, {0, -20}},
            {"2 without leader", 2, 0, {-25, -40}, 0, {}},
            {"3", 3, 20, {32, -55}, 15, {17, -17}},
            {"3 without leader", 3, 0, {10, -40}, 0, {}},
            {"4", 4, 20, {-95, -11}, 20, {-20, 1}},
            {"4 without leader", 4, 0, {-62, -11}, 0, {}},
            {"5 as 6", 5, 20, {38, -11}, 20, {20, 1}},
            {"6", 6, 20, {38, -11}, 20, {20, 1}},
            {"6 without leader", 6, 0, {11, -11}, 0, {}},
            {"7", 7, 20, {-85, 22}, 15, {-17, 17}},
            {"7 without leader", 7, 0, {-57, 7}, 0, {}},
            {"8", 8, 20, {-25, 33}, 20, {0, 23}},
            {"8 without leader", 8, 0, {-25, 13}, 0, {}},
            {"9", 9, 20, {31, 22}, 15, {20, 20}},
            {"9 with leader 1: effective 0", 9, 1, {6, 7}, 0, {}},
            {"0: on the symbol", 0, 20, {0, 0}, 20, {}},
            {"10: on the symbol", 10, 20, {0, 0}, 20, {}},
        },
        [&](const TagRect& r, PixelPoint o) {
            EXPECT_TRUE(AnyIn(kDataBlockRgb, o.x, o.y, o.x + 48, o.y + 10)) << "line 2 in the box";
            EXPECT_TRUE(AnyIn(kDataBlockRgb, o.x, o.y + 12, o.x + 48, o.y + 22)) << "line 1 in the box";
        });
}

TEST_F(GndBuilderTest, TheSecondLineShowsTypeAndOneStatusByBlinkPhase) {
    host.vfrCodes = {1200};
    struct Case {
        const char* name;
        uint16_t phase;
        void (*setup)(TargetSnapshot&);
        const char* line2;
    } cases[] = {
        {"speed phase", 3, [](TargetSnapshot&) {}, "B738 12 "},
        {"speed phase, VFR heavy", 8, [](TargetSnapshot& t) { t.isVfr = t.isHeavy = true; }, "B738 12V H"},
        {"speed phase over an alert", 4, [](TargetSnapshot& t) { t.squawk = 7700; }, "B738 12 "},
        {"no flight plan, slow", 3,
         [](TargetSnapshot& t) {
             t.typeCode.clear();
             t.groundSpeed = 7;
         },
         "NOFP 07 "},
        {"coasting before the emergency", 1,
         [](TargetSnapshot& t) {
             t.coasting = true;
             t.squawk = 7700;
         },
         "B738 CST"},
        {"emergency", 2, [](TargetSnapshot& t) { t.squawk = 7700; }, "B738 EMER"},
        {"radio failure", 5, [](TargetSnapshot& t) { t.squawk = 7600; }, "B738 RDOF"},
        {"hijack", 6, [](TargetSnapshot& t) { t.squawk = 7500; }, "B738 HIJK"},
        {"wrong code before a duplicate", 1,
         [](TargetSnapshot& t) {
             t.squawk = 1200;
             t.assignedCode = 4521;
             t.duplicateCode = true;
         },
         "B738 1200"},
        {"wrong code, leading zeros", 1,
         [](TargetSnapshot& t) {
             t.squawk = 21;
             t.assignedCode = 4521;
         },
         "B738 0021"},
        {"duplicate code", 1,
         [](TargetSnapshot& t) {
             t.squawk = 4521;
             t.assignedCode = 4521;
             t.duplicateCode = true;
         },
         "B738 CODE"},
        {"no codes fall through", 1,
         [](TargetSnapshot& t) {
             t.squawk = 0;
             t.duplicateCode = true;
             t.scratchpad = "RWY";
         },
         "B738 CODE"},
        {"duplicate VFR code", 1,
         [](TargetSnapshot& t) {
             t.squawk = 1200;
             t.duplicateCode = true;
         },
         "B738 12 "},
        {"scratchpad", 1, [](TargetSnapshot& t) { t.scratchpad = "RWY"; }, "B738 RWY"},
        {"scratchpad cut to its last four", 1, [](TargetSnapshot& t) { t.scratchpad = "ABCDEFG"; },
         "B738 DEFG"},
        {"destination in the scratchpad: the speed", 2, [](TargetSnapshot&) {}, "B738 12 "},
        {"short type padded to four", 1, [](TargetSnapshot& t) { t.typeCode = "C1"; }, "C1   12 "},
        {"any other phase: no status", 9, [](TargetSnapshot&) {}, "B738 "},
        {"huge speed", 3, [](TargetSnapshot& t) { t.groundSpeed = -2147483647 - 1; }, "B738 -2147483648 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = GroundTarget();
        t.blinkPhase = c.phase;
        c.setup(t);
        TagRect r = Build(t);
        ASSERT_FALSE(r.IsEmpty());
        PixelSet drawn = All(kDataBlockRgb);
        EXPECT_EQ(drawn, ReferenceBlock({r.left, r.bottom}, "ABC123", c.line2));
        EXPECT_FALSE(drawn.empty());
    }
}

TEST_F(GndBuilderTest, TheRecordKeepsTheCutScratchpadAndTheNoPlanType) {
    TargetSnapshot t = GroundTarget();
    t.scratchpad = "ABCDEFG";
    t.typeCode.clear();
    Build(t);
    EXPECT_EQ(t.scratchpad, "DEFG");
    EXPECT_EQ(t.typeCode, "NOFP");

    t = GroundTarget();
    t.scratchpad = "ABCD";
    Build(t);
    EXPECT_EQ(t.scratchpad, "ABCD");
    EXPECT_EQ(t.typeCode, "B738");
}

TEST_F(GndBuilderTest, TheFirstLineIsCallsignAndVoiceSuffixCutAtFiftyCharacters) {
    struct Case {
        int voice;
        std::string callsign;
        std::string line1;
    } cases[] = {
        {kVoiceTextOnly, "ABC123", "ABC123/t"},
        {kVoiceFull, "ABC123", "ABC123"},
        {0, "ABC123", "ABC123/?"},
        {kVoiceReceiveOnly, std::string(60, 'W'), std::string(50, 'W')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line1);
        TargetSnapshot t = GroundTarget();
        t.position = PointAt(5, 150);
        t.blinkPhase = 3;
        t.callsign = c.callsign;
        t.voiceType = c.voice;
        TagRect r = Build(t);
        PixelSet drawn = All(kDataBlockRgb);
        EXPECT_EQ(drawn, ReferenceBlock({r.left, r.bottom}, c.line1, "B738 12 "));
    }
}

TEST_F(GndBuilderTest, AnOfferedHandoffBlinksTheDataBlockOff) {
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = MakeTarget(200, 150);
        t.incomingHandoff = true;
        t.blinkPhase = phase;
        TagRect r = Build(t);
        bool off = phase == 4 || phase == 8;
        EXPECT_EQ(r.IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
        if (!off) {
            EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
        }
        EXPECT_TRUE(Near(200, 150, kSymbolRgb, 6));
    }
}

TEST_F(GndBuilderTest, HiddenSymbolOrDataBlockUnlessSeeAll) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.hideSymbol = true;
    t.scratchpad = "ABCDEFG";
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnythingDrawn());

    t = MakeTarget(200, 150);
    t.hideDataBlock = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_TRUE(Near(200, 150, kSymbolRgb, 6));
    EXPECT_TRUE(All(kDataBlockRgb).empty());

    t.seeAll = true;
    t.hideSymbol = true;
    TagRect r = Build(t);
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_TRUE(Near(200, 150, kSymbolRgb, 6));
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
}

}  // namespace
