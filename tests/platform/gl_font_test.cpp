#include "platform/gl_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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
        EXPECT_NE(font->ListBase(), 0u);
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
    // Font 1 has no lists past 127, so those characters measure nothing.
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
        glRasterPos2i(10, 20);
        font->Draw(text);
        Box box = LitBox();
        TextExtent extent = font->MeasureText(text);
        ASSERT_GE(box.maxX, 0) << "nothing drawn";
        EXPECT_GE(box.minX, 10);
        EXPECT_LT(box.maxX, 10 + extent.width);
        EXPECT_GT(box.maxX, 10 + extent.width - 8) << "the last glyph ends near the measured width";
        EXPECT_LE(box.maxY - box.minY + 1, extent.height);
        // The raster position moved on by exactly the measured width.
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        EXPECT_EQ(static_cast<int>(position[0]), 10 + extent.width);
    }
}

TEST_F(GlFontTest, SymbolGlyphsAreCentredOnTheRasterPosition) {
    auto font = GlBitmapFont::Create(DisplayFontSpec(2));
    ASSERT_NE(font, nullptr);
    for (int code : {0xC0, 0xC4, 0xC5, 0xC7, 0xC9, 0xDC}) {
        SCOPED_TRACE(code);
        Clear();
        glRasterPos2i(100, 30);
        font->Draw(std::string(1, static_cast<char>(code)));
        Box box = LitBox();
        ASSERT_GE(box.maxX, 0);
        EXPECT_NEAR((box.minX + box.maxX) / 2.0, 100, 1.0);
        EXPECT_NEAR((box.minY + box.maxY) / 2.0, 30, 1.5);
    }
    auto big = GlBitmapFont::Create(DisplayFontSpec(5));
    Clear();
    glRasterPos2i(100, 30);
    big->Draw("\xD1");
    Box box = LitBox();
    EXPECT_GE(box.maxX - box.minX, 9) << "font 5 draws a larger symbol";
}

}  // namespace
