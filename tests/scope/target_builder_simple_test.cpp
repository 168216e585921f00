// The Simple radar mode's targets drawn offscreen: symbol shapes and their
// order of precedence, the history trail, the data block's text, placement,
// blinking and hiding.
#include "scope/target_builder_simple.h"

#include <gtest/gtest.h>

#include <vector>

#include "target_builder_fixture.h"

namespace {

class SimpleBuilderTest : public TargetBuilderFixture {
protected:
    // The symbol's neighbourhood: 20 pixels each way.
    PixelSet SymbolPixels(PixelPoint p, Rgb color) const {
        return Pixels(color, p.x - 20, p.y - 20, p.x + 20, p.y + 20);
    }
    // Line segments as the mode draws them, in a colour, on a cleared frame.
    PixelSet ReferenceLines(PixelPoint p, Rgb color, GLenum mode, const std::vector<PixelPoint>& vertices) {
        Clear();
        PrepareTargetPass();
        glColor3ub(static_cast<GLubyte>(color[0]), static_cast<GLubyte>(color[1]),
                   static_cast<GLubyte>(color[2]));
        glBegin(mode);
        for (PixelPoint v : vertices) glVertex3d(p.x + v.x, p.y + v.y, kSymbolDepth);
        glEnd();
        glFinish();
        return SymbolPixels(p, color);
    }
    PixelSet ReferenceText(PixelPoint p, PixelPoint at, const char* text, Rgb color) {
        Clear();
        DrawReferenceText(p + at, text, color);
        return SymbolPixels(p, color);
    }
};

TEST_F(SimpleBuilderTest, AHiddenSymbolDrawsNothingUnlessSeeAll) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.hideSymbol = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnythingDrawn());

    t.seeAll = true;
    TagRect r = Build(t);
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_TRUE(Near(200, 150, kSymbolRgb, 6));
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
}

TEST_F(SimpleBuilderTest, SymbolShapeByTransponderCodeAndTracking) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet standby =
        ReferenceLines(p, kSymbolRgb, GL_LINES, {{-1, 0}, {2, 0}, {-1, -1}, {2, -1}, {0, 2}, {0, -2}});
    PixelSet vfrBox = ReferenceLines(p, kSymbolRgb, GL_LINE_LOOP, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}});
    PixelSet letter = ReferenceText(p, {-3, -3}, "C", kSymbolRgb);
    PixelSet star = ReferenceText(p, {-3, -5}, "*", kSymbolRgb);
    for (const PixelSet* shape : {&standby, &vfrBox, &letter, &star}) ASSERT_FALSE(shape->empty());
    ASSERT_NE(standby, vfrBox);
    ASSERT_NE(letter, star);
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        const char* ownerText;
        const PixelSet& expected;
    } cases[] = {
        {"standby before a VFR code", 'S', 1200, "", "", standby},
        {"standby tracked", 'S', 4321, "CC", "CX", standby},
        {"VFR code before tracking", 'N', 1200, "CC", "CX", vfrBox},
        {"tracked: the first letter of the position text", 'N', 4321, "CC", "CX", letter},
        {"tracked by the user", 'Y', 4321, "--", "CX", letter},
        {"untracked", 'N', 4321, "", "", star},
        {"no identifier: untracked whatever the text", 'N', 4321, "", "CX", star},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = c.ownerText;
        t.tagPosition = 3;  // the data block well away below right
        t.leaderLength = 40;
        Build(t);
        EXPECT_EQ(SymbolPixels(p, kSymbolRgb), c.expected);
    }
}

TEST_F(SimpleBuilderTest, ATrackerWithoutPositionTextHasNoSymbol) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.ownerId = "CC";
    t.ownerSectorText = "";
    TagRect r = Build(t);
    EXPECT_TRUE(SymbolPixels({200, 150}, kSymbolRgb).empty());
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
}

TEST_F(SimpleBuilderTest, HistoryRepeatsTheSymbolInTheTrailColourUpToTheCount) {
    host.ints["HistoryCount"] = 2;
    TargetSnapshot t = MakeTarget(300, 150);
    t.ownerId = "CC";
    t.ownerSectorText = "CX";
    t.tagPosition = 8;
    t.history = {PointAt(250, 150), {0.0, 10.0}, PointAt(200, 150), PointAt(150, 150)};
    PixelSet glyph = ReferenceText({300, 150}, {-3, -3}, "C", kHistoryRgb);
    auto shifted = [](const PixelSet& s, int dx) {
        PixelSet out;
        for (auto [x, y] : s) out.insert({x + dx, y});
        return out;
    };
    Build(t);
    EXPECT_EQ(SymbolPixels({250, 150}, kHistoryRgb), shifted(glyph, -50));
    EXPECT_EQ(SymbolPixels({200, 150}, kHistoryRgb), shifted(glyph, -100)) << "the zero entry does not count";
    EXPECT_TRUE(SymbolPixels({150, 150}, kHistoryRgb).empty()) << "beyond the history count";
    EXPECT_TRUE(SymbolPixels({250, 150}, kSymbolRgb).empty());
    EXPECT_FALSE(SymbolPixels({300, 150}, kSymbolRgb).empty());
}

TEST_F(SimpleBuilderTest, DataBlockPlacementByTagPositionAndLeaderLength) {
    ExpectPlacements(
        {
            {"1", 1, 20, {-85, -60}, 15, {-17, -17}},
            {"1 without leader", 1, 0, {-57, -45}, 0, {}},
            {"2", 2, 20, {-25, -65}, 20, {0, -20}},
            {"2 without leader", 2, 0, {-25, -45}, 0, {}},
            {"3", 3, 20, {32, -60}, 15, {17, -17}},
            {"3 without leader", 3, 0, {10, -45}, 0, {}},
            {"4", 4, 20, {-95, -16}, 20, {-20, 1}},
            {"4 without leader", 4, 0, {-62, -16}, 0, {}},
            {"5 as 6", 5, 20, {38, -16}, 20, {20, 1}},
            {"6", 6, 20, {38, -16}, 20, {20, 1}},
            {"6 without leader", 6, 0, {11, -16}, 0, {}},
            {"7", 7, 20, {-85, 17}, 15, {-17, 17}},
            {"7 without leader", 7, 0, {-57, 2}, 0, {}},
            {"8", 8, 20, {-25, 28}, 20, {0, 23}},
            {"8 without leader", 8, 0, {-25, 8}, 0, {}},
            {"9", 9, 20, {31, 17}, 15, {20, 20}},
            {"9 with leader 1: effective 0", 9, 1, {6, 2}, 0, {}},
            {"0: on the symbol", 0, 20, {0, 0}, 20, {}},
            {"10: on the symbol", 10, 20, {0, 0}, 20, {}},
        },
        [&](const TagRect& r, PixelPoint o) {
            EXPECT_TRUE(AnyIn(kDataBlockRgb, o.x, o.y, o.x + 48, o.y + 33)) << "text in the box";
        });
}

TEST_F(SimpleBuilderTest, NoLeaderWithoutLength) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.tagPosition = 2;
    t.leaderLength = 0;
    Build(t);
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 197, 128, 203, 143));
    t.leaderLength = 10;
    Build(t);
    EXPECT_TRUE(AnyIn(kDataBlockRgb, 197, 128, 203, 143));
}

TEST_F(SimpleBuilderTest, TheDataBlockReadsCallsignAndVoiceSuffix) {
    struct Case {
        int voice;
        const char* text;
    } cases[] = {{kVoiceTextOnly, "ABC123/t"},
                 {kVoiceReceiveOnly, "ABC123/r"},
                 {kVoiceFull, "ABC123"},
                 {0, "ABC123/?"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TargetSnapshot t = MakeTarget(100, 150);
        t.voiceType = c.voice;
        TagRect r = Build(t);
        // Right of the leader, which ends at x 130.
        PixelSet drawn = Pixels(kDataBlockRgb, r.left, 0, kWidth - 1, kHeight - 1);
        Clear();
        DrawReferenceText({r.left, r.bottom + 12}, c.text, kDataBlockRgb);
        EXPECT_EQ(drawn, Pixels(kDataBlockRgb, r.left, 0, kWidth - 1, kHeight - 1));
        EXPECT_FALSE(drawn.empty());
    }
}

TEST_F(SimpleBuilderTest, AnOfferedHandoffBlinksTheDataBlockOff) {
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        TargetSnapshot t = MakeTarget(200, 150);
        t.incomingHandoff = true;
        t.blinkPhase = phase;
        TagRect r = Build(t);
        bool off = phase == 4 || phase == 8;
        EXPECT_EQ(r.IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
        EXPECT_TRUE(Near(200, 150, kSymbolRgb, 6));
    }
}

TEST_F(SimpleBuilderTest, AHiddenDataBlockKeepsTheSymbolUnlessSeeAll) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.hideDataBlock = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_TRUE(Near(200, 150, kSymbolRgb, 6));
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));

    t.seeAll = true;
    EXPECT_FALSE(Build(t).IsEmpty());
    EXPECT_TRUE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));
}

TEST_F(SimpleBuilderTest, ADataBlockLiesInFrontOfAnotherTargetsSymbol) {
    // B's "*" (0.98) moved onto a pixel of A's data block (0.99), B drawn last.
    TargetSnapshot b = MakeTarget(300, 100);
    b.hideDataBlock = true;
    Build(b);
    PixelSet star = SymbolPixels({300, 100}, kSymbolRgb);
    ASSERT_FALSE(star.empty());
    auto [sx, sy] = *star.begin();
    TargetSnapshot a = MakeTarget(100, 150);
    TagRect r = Build(a);
    PixelSet text = Pixels(kDataBlockRgb, r.left, r.bottom, r.right, r.top);
    ASSERT_FALSE(text.empty());
    auto [tx, ty] = *text.begin();
    b = MakeTarget(300 + tx - sx, 100 + ty - sy);
    b.hideDataBlock = true;
    Build(b, false);
    EXPECT_EQ(At(tx, ty), kDataBlockRgb);
    Build(b);
    EXPECT_EQ(At(tx, ty), kSymbolRgb) << "the symbol does cover that pixel";
}

}  // namespace
