// The bay drawn offscreen (OSMesa): a full strip and a separator against
// the strip geometry, the rails, the drop shadow, and the text cut.
#include "tools/strip_bay_gl.h"

#include <gtest/gtest.h>

#include "platform/gl_context_resources.h"
#include "strip_fakes.h"
#include "tests/bitmap_text.h"
#include "tests/offscreen_gl.h"

namespace {

// Measures with the bay's real fonts.
class GlStripServices : public FakeStripServices {
public:
    const StripBayGl* gl = nullptr;
    StripTextExtent GetTextExtent(int font, const std::string& text) const override {
        return gl->GetTextExtent(font, text);
    }
};

class StripBayGlTest : public testing::Test {
protected:
    StripBayGlTest() {
        std::string error;
        fontsLoaded = StripBayGl::LoadFonts(resources, &error);
        EXPECT_TRUE(fontsLoaded) << error;
        gl.MakeRailTexture();
        services.gl = &gl;
        bay.InitFields();
        bay.SetViewSize(context.Width(), context.Height());
    }
    void Paint() {
        StripBayFrame frame;
        bay.BuildFrame(frame);
        gl.Draw(frame);
    }
    std::array<int, 4> At(int x, int y) const { return context.Pixel(x, y); }
    // Dark and opaque: outline or text.
    bool Ink(int x, int y) const {
        std::array<int, 4> p = At(x, y);
        return p[3] == 255 && p[0] < 60 && p[1] < 60 && p[2] < 60;
    }

    OffscreenGl context{1102, 200};
    GlContextResources resources{[this] { return context.MakeCurrent(); }};
    bool fontsLoaded = false;
    StripBayGl gl{resources};
    GlStripServices services;
    TarqFlightStripBay bay{services};
};

const std::array<int, 4> kOverflight = {0xA0, 0xA0, 0xA0, 255};
const std::array<int, 4> kSeparator = {0xC0, 0xC0, 0xC0, 255};

TEST_F(StripBayGlTest, FullStripMatchesItsGeometry) {
    ASSERT_TRUE(context.Ok());
    ASSERT_TRUE(fontsLoaded);
    bay.AddStrip("N1", 1, {"ABC"});
    Paint();

    // The cell is 551 x 64 with its frame on the outermost pixels.
    for (auto [x, y] : {std::pair{0, 30}, {550, 30}, {300, 0}, {300, 63}}) {
        EXPECT_TRUE(Ink(x, y)) << x << "," << y;
    }
    EXPECT_EQ(At(551, 30)[3], 0);
    EXPECT_EQ(At(300, 64)[3], 0);
    EXPECT_EQ(At(300, 2), kOverflight);
    EXPECT_EQ(At(549, 62), kOverflight);
    // Dividers: full-height verticals, and short horizontals.
    for (int x : {69, 118, 167, 451, 484, 517}) {
        EXPECT_TRUE(Ink(x, 2)) << x;
        EXPECT_EQ(At(x + 1, 2), kOverflight) << x;
    }
    EXPECT_TRUE(Ink(90, 21));
    EXPECT_TRUE(Ink(90, 42));
    EXPECT_EQ(At(90, 22), kOverflight);
    EXPECT_EQ(At(140, 21), kOverflight);
    EXPECT_TRUE(Ink(530, 21));
    EXPECT_TRUE(Ink(530, 42));

    // "ABC" is drawn in box 0 (452..483, 43..62) and nowhere in box 1.
    int inBox0 = 0, inBox1 = 0;
    for (int y = 44; y < 62; ++y) {
        for (int x = 453; x < 483; ++x) inBox0 += Ink(x, y);
        for (int x = 486; x < 516; ++x) inBox1 += Ink(x, y);
    }
    EXPECT_GT(inBox0, 10);
    EXPECT_EQ(inBox1, 0);

    // The radio-selected strip gets a red double frame.
    services.selected = "N1";
    Paint();
    EXPECT_EQ(At(0, 30), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(At(1, 30), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(At(2, 30), kOverflight);
}

TEST_F(StripBayGlTest, SeparatorCentresItsLabel) {
    ASSERT_TRUE(fontsLoaded);
    bay.AddSeparator("ARR", 0);
    Paint();
    EXPECT_EQ(At(10, 10), kSeparator);
    EXPECT_TRUE(Ink(0, 10));
    EXPECT_TRUE(Ink(550, 10));
    EXPECT_TRUE(Ink(10, 63));
    const AnnotationBox box = bay.Slots().begin()->second.strip->GetBoxes()[0];
    EXPECT_NEAR((box.left + box.right) / 2, 275, 1);
    // Ink only inside the label's box, apart from the frame.
    int inside = 0, outside = 0;
    for (int y = 1; y < 63; ++y) {
        for (int x = 1; x < 550; ++x) {
            if (!Ink(x, y)) continue;
            const bool in = x >= box.left && x <= box.right && y >= box.bottom - 8 && y <= box.top;
            (in ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

TEST_F(StripBayGlTest, RailsShowBesideTheStrips) {
    ASSERT_TRUE(fontsLoaded);
    bay.AddStripForAircraft("N1");
    Paint();
    // Rod texels at the rail's left, black beyond the rod's 24 texels.
    std::array<int, 4> rod = At(82, 150);
    EXPECT_GT(rod[0] + rod[1] + rod[2], 300);
    EXPECT_LT(At(130, 150)[0] + At(130, 150)[1], 10);
    EXPECT_EQ(At(300, 150)[3], 0);
    // No second pair of rails in one column.
    EXPECT_EQ(At(633, 150)[3], 0);
}

TEST_F(StripBayGlTest, DraggedStripCastsAShadow) {
    ASSERT_TRUE(fontsLoaded);
    bay.AddStripForAircraft("N1");
    StripBayFrame frame;
    bay.BuildFrame(frame);
    bay.OnMouseMove(30, 30);
    bay.OnLButtonDown(30, 30, {});
    bay.OnMouseMove(130, 90);
    Paint();
    // Drawn at (100, 60); its shadow reaches 10 pixels right and below.
    EXPECT_TRUE(Ink(100, 90));
    std::array<int, 4> shadow = At(655, 55);
    EXPECT_EQ(shadow[0] + shadow[1] + shadow[2], 0);
    EXPECT_GT(shadow[3], 100);
}

// Texts go out in batches of textured quads; each must light exactly the
// pixels the font's bitmap lists light from the same raster position, and a
// text starting outside the view must draw nothing, as a bitmap's does.
TEST_F(StripBayGlTest, BatchedTextLightsTheBitmapsPixels) {
    ASSERT_TRUE(fontsLoaded);
    struct Case {
        int font;
        double x, y;
        int color;
        bool continued;
        std::string text;
    };
    const Case cases[] = {
        {kStripSmallFont, 5, 49, 0x000000, false, "BAW123 gjpqy|_"},
        {kStripSmallFont, 171, 37, 0x2040FF, false, "DCT CPT UL9 KENET"},
        {kStripSmallFont, 0, 0, 0x00FF00, true, " and on"},
        {kStripLargeFont, 300, 120, 0xFFFFFF, false, "Departures gjQ"},
        {kStripLargeFont, 1090, 150, 0x8080FF, false, "past the right edge"},
        {kStripSmallFont, 10, 196, 0xFF00FF, false, "at the top Wg"},
        {kStripSmallFont, -3, 80, 0xFFFF00, false, "starts left of the view"},
        {kStripSmallFont, 40, 201, 0x00FFFF, false, "starts above the view"},
        {kStripSmallFont, 0, 0, 0x00FFFF, true, " still not drawn"},
        {kStripSmallFont, 600, -20, 0x00FFFF, false, "below, scrolled into view"},
    };
    for (int scroll : {0, 30}) {
        StripBayFrame frame;
        frame.width = context.Width();
        frame.height = context.Height();
        frame.scroll = scroll;
        for (const Case& c : cases) {
            frame.strips.SetColor(c.color);
            if (c.continued) {
                frame.strips.TextHere(c.font, c.text);
            } else {
                frame.strips.Text(c.font, c.x, c.y, -3, c.text);
            }
        }
        gl.Draw(frame);
        std::vector<std::array<int, 4>> batched;
        int lit = 0;
        for (int y = 0; y < context.Height(); ++y)
            for (int x = 0; x < context.Width(); ++x) {
                batched.push_back(At(x, y));
                lit += batched.back()[3] != 0;
            }
        EXPECT_GT(lit, 500) << "scroll " << scroll;

        // The same texts one glBitmap a glyph, in the projection Draw leaves.
        StripBayFrame empty = frame;
        empty.strips.Clear();
        gl.Draw(empty);
        for (const Case& c : cases) {
            if (!c.continued) {
                glColor3ub(c.color & 0xFF, (c.color >> 8) & 0xFF, (c.color >> 16) & 0xFF);
                glRasterPos3d(c.x, c.y, -3);
            }
            DrawBitmaps(*resources.Font(c.font), std::string_view(c.text).substr(0, kStripMaxPrintedText));
        }
        glFinish();
        int differing = 0;
        size_t i = 0;
        for (int y = 0; y < context.Height(); ++y)
            for (int x = 0; x < context.Width(); ++x, ++i) {
                if (At(x, y) != batched[i] && differing++ < 5)
                    ADD_FAILURE() << "scroll " << scroll << " pixel " << x << "," << y;
            }
        EXPECT_EQ(differing, 0) << "scroll " << scroll;
    }
}

TEST_F(StripBayGlTest, LongTextsAreCut) {
    ASSERT_TRUE(fontsLoaded);
    // Characters the font lacks take no room, so the cut shows on screen:
    // only the "A" before it is drawn, never the "W"s after it.
    const std::string text = std::string(kStripMaxPrintedText - 1, '\x01') + "A" + "WWWW";
    StripBayFrame frame;
    frame.width = context.Width();
    frame.height = context.Height();
    frame.strips.SetColor(0x101010);
    frame.strips.Text(kStripSmallFont, 10, 100, -3, text);
    gl.Draw(frame);
    int inA = 0, after = 0;
    for (int y = 90; y < 115; ++y) {
        for (int x = 8; x < 17; ++x) inA += Ink(x, y);
        for (int x = 17; x < 60; ++x) after += Ink(x, y);
    }
    EXPECT_GT(inA, 5);
    EXPECT_EQ(after, 0);
}

}  // namespace
