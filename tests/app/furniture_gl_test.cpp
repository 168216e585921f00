// The radio history and the button bar drawn offscreen: boxes, borders and
// lines land where their geometry says, in their colours.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/button_kinds.h"
#include "app/display_button_bar.h"
#include "app/display_furniture.h"
#include "app/radio_history.h"
#include "furniture_fixture.h"
#include "platform/gl_font.h"
#include "platform/gl_text_batch.h"
#include "tests/app/quiet_button_host.h"
#include "tests/offscreen_gl.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
using Rgb = std::array<int, 3>;
const Rgb kClear{0, 0, 255};

class OffscreenTest : public HistoryTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_gl.Ok());
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        m_font = GlBitmapFont::Create(DisplayFontSpec(3));
        ASSERT_NE(m_font, nullptr);
        host.font = m_font.get();
    }
    Rgb At(int x, int y) {
        auto p = m_gl.Pixel(x, y);
        return {p[0], p[1], p[2]};
    }
    // Whether some pixel of the rectangle (inclusive) has the colour.
    bool Any(int x0, int y0, int x1, int y1, Rgb color) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (At(x, y) == color) return true;
        return false;
    }

    OffscreenGl m_gl{kWidth, kHeight};
    std::unique_ptr<GlBitmapFont> m_font;  // after m_gl: freed while the context lives
};

const Rgb kShaded{0, 0, 85};  // the box's 170/255 black over the blue clear colour

TEST_F(OffscreenTest, HistoryBoxBorderAndLinesWhereTheGeometrySays) {
    history->AddMessage("GUARD CALL", RadioMessageKind::Guard);     // red, second line from the bottom
    history->AddMessage("ATC TEXT", RadioMessageKind::AtcChannel);  // green, bottom line
    StartTime = clock.NowMs();  // first half of the second: the border is not white
    history->Draw(true);
    // 3 lines in 400 x 300: box 7..392 x 7..54.
    EXPECT_EQ(At(200, 50), kShaded);
    EXPECT_EQ(At(200, 60), kClear) << "above the box";
    EXPECT_EQ(At(3, 30), kClear) << "left of the box";
    EXPECT_TRUE(Any(6, 30, 8, 30, {60, 60, 60})) << "left border, dark grey";
    EXPECT_TRUE(Any(200, 53, 200, 55, {60, 60, 60})) << "top border";
    EXPECT_TRUE(Any(12, 9, 120, 22, {0, 210, 0})) << "bottom line on baseline 12, green";
    EXPECT_FALSE(Any(12, 23, 120, 36, {0, 210, 0}));
    EXPECT_TRUE(Any(12, 23, 120, 36, {210, 0, 0})) << "second line on baseline 26, red";
    EXPECT_FALSE(Any(12, 9, 120, 22, {210, 0, 0}));
    EXPECT_FALSE(Any(180, 9, 380, 36, {0, 210, 0})) << "short lines end early";
}

TEST_F(OffscreenTest, WaitingBorderTurnsWhiteInTheSecondHalfOfEachSecond) {
    history->AddMessage("call", RadioMessageKind::PrimaryRadio);
    StartTime = clock.NowMs() - 700;
    history->Draw(true);
    EXPECT_TRUE(Any(6, 30, 8, 30, {255, 255, 255}));
    glClear(GL_COLOR_BUFFER_BIT);
    StartTime = clock.NowMs() - 200;
    history->Draw(false);
    EXPECT_FALSE(Any(6, 30, 8, 30, {255, 255, 255}));
    EXPECT_TRUE(Any(6, 30, 8, 30, {60, 60, 60}));
}

TEST_F(OffscreenTest, ExpandedHistoryReachesNearTheTop) {
    history->ToggleExpanded();
    history->Draw(false);
    // Expanded in 300 pixels: top edge at 243, green border.
    EXPECT_EQ(At(200, 240), kShaded);
    EXPECT_EQ(At(200, 247), kClear);
    EXPECT_TRUE(Any(200, 242, 200, 244, {0, 210, 0}));
}

struct BoxButton : TarqDisplayButton {
    BoxButton(TarqDisplayButtonBar* bar, int width, bool shown)
        : TarqDisplayButton(bar, width), shown(shown) {}
    int Draw(int x, int y) override {
        m_x = x;
        m_y = y;
        if (!shown) return 0;
        DrawBox();
        return m_width;
    }
    int Compose(int x, int y, ButtonPicture&) override {
        m_x = x;
        m_y = y;
        return shown ? m_width : 0;
    }
    void OnClick(int, int) override {}
    bool shown;
};

struct BoxKinds : TarqButtonKinds {
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateFixedButtons(TarqDisplayButtonBar& bar) override {
        std::vector<std::unique_ptr<TarqDisplayButton>> buttons;
        buttons.push_back(std::make_unique<BoxButton>(&bar, 50, true));
        buttons.push_back(std::make_unique<BoxButton>(&bar, 40, false));
        buttons.push_back(std::make_unique<BoxButton>(&bar, 60, true));
        return buttons;
    }
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateDynamicButtons(TarqDisplayButtonBar&) override {
        return {};
    }
};

TEST_F(OffscreenTest, ButtonBoxesHangFromTheTopWithGapsBetween) {
    BoxKinds kinds;
    TarqDisplayButtonBar bar(nullptr, kinds, host.font ? &host : nullptr);
    bar.Draw();
    // In 400 x 300 the boxes span y 253..296; A at x 4..54, C at 62..122.
    EXPECT_EQ(At(30, 275), kShaded);
    EXPECT_EQ(At(90, 275), kShaded);
    EXPECT_EQ(At(58, 275), kClear) << "the gap";
    EXPECT_EQ(At(30, 299), kClear) << "the top margin";
    EXPECT_EQ(At(30, 250), kClear) << "below the bar";
    EXPECT_EQ(At(130, 275), kClear) << "right of the last button";
    EXPECT_TRUE(Any(3, 275, 5, 275, {0, 0, 180})) << "A's left outline";
    EXPECT_TRUE(Any(61, 275, 63, 275, {0, 0, 180})) << "C's left outline";
    EXPECT_TRUE(Any(30, 252, 30, 254, {0, 0, 180})) << "A's bottom outline";
    EXPECT_EQ(bar.GetLeft(), 4);
    EXPECT_EQ(bar.GetRight(), 123);
}

// Every switch on, in the second half of a second, with a request waiting.
struct PaintingHost : QuietButtonHost {
    uint64_t NowMs() const override { return 600; }
    bool GetBool(const std::string&) const override { return true; }
    bool HasRequestListEntries() const override { return true; }
    void Paint(const TarqDisplayButton& button, const ButtonPicture& picture) override {
        PaintButtonPicture(button, picture);
    }
};

TEST_F(OffscreenTest, ButtonPicturesPaintTheirLightsAndOutlines) {
    PaintingHost painter;
    TarqHostButtonKinds kinds(painter, {}, {});
    TarqDisplayButtonBar bar(nullptr, kinds, nullptr);
    bar.Draw();
    // The reminder lights come first (no conflict alert): x 4, y 253.
    EXPECT_EQ(At(36, 265), (Rgb{230, 0, 0})) << "the request light is lit";
    EXPECT_EQ(At(36, 285), kShaded) << "the mute light is not";
    EXPECT_TRUE(Any(27, 285, 29, 285, {120, 120, 120})) << "its outline";
    EXPECT_EQ(bar.GetFixedWidths()[1], 44);
}

TEST_F(OffscreenTest, MainDisplayDrawsEachPartOnlyWhileItsBitIsShown) {
    BoxKinds kinds;
    TarqDisplayFurniture furniture(nullptr, host, kinds, profile, clock);
    furniture.AddRadioLine(RadioMessageKind::AtcChannel, "ATC TEXT");
    struct Case {
        const char* name;
        int mask;
        bool bar;
        bool history;
    };
    const Case cases[] = {
        {"both", 0xC000, true, true},
        {"button bar only", 0x4000, true, false},
        {"radio history only", 0x8000, false, true},
        {"neither", 0x3FCC40E & ~0xC000, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        glClear(GL_COLOR_BUFFER_BIT);
        furniture.Draw(c.mask, true);
        EXPECT_EQ(At(30, 275) == kShaded, c.bar) << "the first button's box";
        EXPECT_EQ(At(200, 50) == kShaded, c.history) << "the history box";
        EXPECT_EQ(Any(12, 9, 120, 22, {0, 210, 0}), c.history) << "the history's line";
    }
}

TEST_F(OffscreenTest, AHiddenHistoryRewrapsToASizeChangedMeanwhile) {
    BoxKinds kinds;
    TarqDisplayFurniture furniture(nullptr, host, kinds, profile, clock);
    furniture.Draw(0xC000, true);
    EXPECT_EQ(furniture.GetRadioHistory().GetWrapWidth(), 400 - 8 - 7 - 10);
    glViewport(0, 0, 200, kHeight);
    furniture.Draw(0x4000, true);  // the area shrank while the history was hidden
    furniture.Draw(0xC000, false);
    EXPECT_EQ(furniture.GetRadioHistory().GetWrapWidth(), 200 - 8 - 7 - 10);
}

TEST_F(OffscreenTest, TextOutsideTheFontsRangeDrawsNothing) {
    auto font1 = GlBitmapFont::Create(DisplayFontSpec(1));  // characters 32 to 127 only
    ASSERT_NE(font1, nullptr);
    m_gl.UsePixelProjection();
    const uint8_t white[4] = {255, 255, 255, 255};
    GlTextBatch text;
    text.CaptureTransform();
    text.Text(*font1, 20, 150, 0, white, "\xE9\xFF\x05");
    text.Flush();
    EXPECT_FALSE(Any(15, 140, 80, 170, {255, 255, 255}));
    text.Text(*m_font, 20, 150, 0, white, "\xE9");
    text.Flush();
    EXPECT_TRUE(Any(15, 140, 80, 170, {255, 255, 255})) << "font 3 has the letter";
}

}  // namespace
