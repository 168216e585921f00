#include "platform/gl_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/gl_text_batch.h"
#include "tests/bitmap_text.h"
#include "tests/offscreen_gl.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 60;

class GlFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_gl.Ok());
        m_gl.UsePixelProjection();
    }

    void Clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3ub(255, 255, 255);
    }
    // The columns and rows that hold a lit pixel: [minX, maxX] x [minY, maxY].
    struct Box {
        int minX = kWidth, maxX = -1, minY = kHeight, maxY = -1;
    };
    Box LitBox() {
        Box box;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (m_gl.Pixel(x, y)[0] > 0) {
                    box.minX = std::min(box.minX, x);
                    box.maxX = std::max(box.maxX, x);
                    box.minY = std::min(box.minY, y);
                    box.maxY = std::max(box.maxY, y);
                }
            }
        }
        return box;
    }

    // Text through a batch at a raster position, in white, drawn at once.
    void DrawBatched(const GlBitmapFont& font, double x, double y, std::string_view text, double z = 0,
                     bool stamps = false) {
        GlTextBatch batch;
        if (stamps) batch.UseStringStamps();
        batch.CaptureTransform();
        const uint8_t white[4] = {255, 255, 255, 255};
        batch.Text(font, x, y, z, white, text);
        batch.Flush();
    }
    std::vector<unsigned char> Frame() {
        glFinish();
        std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    OffscreenGl m_gl{kWidth, kHeight};
};

TEST_F(GlFontTest, EveryDisplayFontLoadsWithItsGlyphRange) {
    struct Case {
        int id;
        int first;
        int count;
    };
    const Case cases[] = {{1, 32, 96}, {2, 32, 224}, {3, 32, 224}, {4, 32, 60}, {5, 209, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::string error;
        auto font = GlBitmapFont::Create(DisplayFontSpec(c.id), &error);
        ASSERT_NE(font, nullptr) << error;
        EXPECT_NE(font->AtlasTexture(), 0u);
        EXPECT_EQ(font->Spec().firstChar, c.first);
        EXPECT_EQ(font->Spec().count, c.count);
    }
    EXPECT_EQ(GlBitmapFont::Create(DisplayFontSpec(6)), nullptr);
}

TEST_F(GlFontTest, TerminalFontsAdvanceSevenPixelsACharacter) {
    for (int id : {1, 2}) {
        auto font = GlBitmapFont::Create(DisplayFontSpec(id));
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->MeasureText("ABCDEFGHIJ").width, 70) << id;
        EXPECT_GT(font->MeasureText("").height, 0);
    }
    auto font2 = GlBitmapFont::Create(DisplayFontSpec(2));
    EXPECT_EQ(font2->MeasureText("\xC7\xDC").width, 14) << "symbols keep the columns";
    // Font 1 has no glyphs past 127, so those characters measure nothing.
    auto font1 = GlBitmapFont::Create(DisplayFontSpec(1));
    EXPECT_EQ(font1->MeasureText("A\xE9").width, 7);
}

TEST_F(GlFontTest, DrawnTextStaysInsideItsMeasuredExtent) {
    for (int id : {1, 2, 3, 4}) {
        SCOPED_TRACE(id);
        auto font = GlBitmapFont::Create(DisplayFontSpec(id));
        ASSERT_NE(font, nullptr);
        const char* text = id == 4 ? "W0RD" : "WIDE TEXT_";
        Clear();
        DrawBatched(*font, 10, 20, text);
        Box box = LitBox();
        TextExtent extent = font->MeasureText(text);
        ASSERT_GE(box.maxX, 0) << "nothing drawn";
        EXPECT_GE(box.minX, 10);
        EXPECT_LT(box.maxX, 10 + extent.width);
        EXPECT_GT(box.maxX, 10 + extent.width - 8) << "the last glyph ends near the measured width";
        EXPECT_LE(box.maxY - box.minY + 1, extent.height);
    }
}

// The batch against one glBitmap per glyph, glyph by glyph and by whole
// string stamps: every font, whole starts and fractional ones after a
// scaling transform, starts on and just past the view's edges, text running
// off the view, and a perspective view; the frames must be equal in every
// pixel.
TEST_F(GlFontTest, BatchedTextLightsExactlyThePixelsOfTheBitmaps) {
    struct View {
        const char* name;
        void (*apply)();
    };
    const View views[] = {
        {"pixels", [] {}},
        {"scaled",
         [] {
             glTranslated(0.37, -0.61, 0);
             glScaled(0.731, 1.313, 1);
         }},
        {"perspective",
         [] {
             glMatrixMode(GL_PROJECTION);
             glLoadIdentity();
             glFrustum(-0.1, 0.1, -0.03, 0.03, 0.1, 10);
             glMatrixMode(GL_MODELVIEW);
             glLoadIdentity();
             glTranslated(-1.0, -0.3, -2.0);
             glScaled(0.01, 0.01, 0.01);
         }},
    };
    const struct {
        double x, y, z;
    } starts[] = {{10, 20, 0},    {10.5, 20.5, 0.3},    {3.9999, 7.00004, 0}, {0, 0, 0},
                  {-0.01, 30, 0}, {199.99, 30, 0},      {200, 30, 0},         {150, 59.6, 0},
                  {150, 60, 0},   {120.25, 40.75, -0.5}};
    const char* text = "Wide @#% text\xC7\xDC_";
    for (int id : {1, 2, 3, 4, 5}) {
        auto font = GlBitmapFont::Create(DisplayFontSpec(id));
        ASSERT_NE(font, nullptr);
        for (const View& view : views) {
            for (const auto& start : starts) {
                SCOPED_TRACE(testing::Message()
                             << "font " << id << ", " << view.name << ", at " << start.x << ", " << start.y);
                m_gl.UsePixelProjection();
                view.apply();
                Clear();
                glRasterPos3d(start.x, start.y, start.z);
                DrawBitmaps(*font, id == 5 ? "\xD1\xD1" : text);
                const std::vector<unsigned char> bitmaps = Frame();
                for (bool stamps : {false, true}) {
                    Clear();
                    DrawBatched(*font, start.x, start.y, id == 5 ? "\xD1\xD1" : text, start.z, stamps);
                    EXPECT_TRUE(Frame() == bitmaps) << (stamps ? "stamped" : "glyph by glyph");
                }
            }
        }
    }
}

// Frames of texts, most of them coming back, many at first and few later:
// the string texture fills, refuses stamps and starts afresh; stamped, every
// frame lights the pixels the glyphs do.
TEST_F(GlFontTest, StampedFramesMatchGlyphsAsTheStringTextureFillsAndEmpties) {
    auto font = GlBitmapFont::Create(DisplayFontSpec(2));
    ASSERT_NE(font, nullptr);
    GlTextBatch stamped;
    stamped.UseStringStamps();
    const uint8_t colours[2][4] = {{255, 200, 0, 255}, {0, 120, 255, 255}};
    auto queue = [&](GlTextBatch& batch, int frame) {
        batch.CaptureTransform();
        const int count = frame < 8 ? 2400 : 300;
        for (int i = 0; i < count; ++i) {
            // A quarter change every frame; some repeat within one.
            const int label = i % 4 != 3 ? i % 1500 : frame * 10000 + i;
            const std::string text = "FL" + std::to_string(label) + (i % 3 == 0 ? " 350{" : " 240}");
            batch.Text(*font, (i * 37) % 190 - 5, (i * 13) % 64 - 6, 0, colours[i % 2], text);
        }
    };
    for (int frame = 0; frame < 16; ++frame) {
        SCOPED_TRACE(frame);
        Clear();
        GlTextBatch glyphs;
        queue(glyphs, frame);
        glyphs.Flush();
        const std::vector<unsigned char> expected = Frame();
        Clear();
        queue(stamped, frame);
        stamped.Flush();
        ASSERT_TRUE(Frame() == expected);
    }
}

TEST_F(GlFontTest, SymbolGlyphsAreCentredOnTheRasterPosition) {
    auto font = GlBitmapFont::Create(DisplayFontSpec(2));
    ASSERT_NE(font, nullptr);
    for (int code : {0xC0, 0xC4, 0xC5, 0xC7, 0xC9, 0xDC}) {
        SCOPED_TRACE(code);
        Clear();
        DrawBatched(*font, 100, 30, std::string(1, static_cast<char>(code)));
        Box box = LitBox();
        ASSERT_GE(box.maxX, 0);
        EXPECT_NEAR((box.minX + box.maxX) / 2.0, 100, 1.0);
        EXPECT_NEAR((box.minY + box.maxY) / 2.0, 30, 1.5);
    }
    auto big = GlBitmapFont::Create(DisplayFontSpec(5));
    Clear();
    DrawBatched(*big, 100, 30, "\xD1");
    Box box = LitBox();
    EXPECT_GE(box.maxX - box.minX, 9) << "font 5 draws a larger symbol";
}

// The data blocks' altitude trend marks: the terminal face draws braces, the
// data block font arrows pointing up ('{') and down ('}').
TEST_F(GlFontTest, DataBlockFontDrawsTheTrendMarksAsArrows) {
    auto font = GlBitmapFont::Create(DisplayFontSpec(2));
    ASSERT_NE(font, nullptr);
    // Per row from the bottom: the lit columns' count and their centre.
    auto rows = [&](const char* text) {
        Clear();
        DrawBatched(*font, 100, 30, text);
        std::vector<std::pair<int, double>> lit;
        for (int y = 0; y < kHeight; ++y) {
            int count = 0, sum = 0;
            for (int x = 0; x < kWidth; ++x) {
                if (m_gl.Pixel(x, y)[0] > 0) ++count, sum += x;
            }
            if (count > 0) lit.emplace_back(count, static_cast<double>(sum) / count);
        }
        return lit;
    };
    for (const char* text : {"{", "}"}) {
        SCOPED_TRACE(text);
        const bool up = text[0] == '{';
        auto lit = rows(text);
        ASSERT_GE(lit.size(), 5u);
        const double centre = lit.front().second;
        for (const auto& row : lit) EXPECT_NEAR(row.second, centre, 0.01) << "one upright shaft and head";
        auto widest = std::max_element(lit.begin(), lit.end(),
                                       [](const auto& a, const auto& b) { return a.first < b.first; });
        const size_t at = static_cast<size_t>(widest - lit.begin());
        EXPECT_GE(widest->first, 5);
        // The head is at the end the arrow points to; its point is one pixel.
        if (up) {
            EXPECT_GT(at, lit.size() / 2);
            EXPECT_EQ(lit.back().first, 1);
        } else {
            EXPECT_LT(at, lit.size() / 2);
            EXPECT_EQ(lit.front().first, 1);
        }
    }
    EXPECT_EQ(font->Advance('{'), font->Advance('0')) << "the arrows keep the text columns";
}

}  // namespace
