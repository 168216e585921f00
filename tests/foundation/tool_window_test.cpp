// The tool-window base over a fake native window with a 24-pixel caption and
// a 2-pixel frame.
#include "foundation/tool_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kDecoration = 26;  // outer height - client height

class FakeFrame : public ToolWindowFrame {
public:
    ScreenRect GetWindowRect() const override { return rect; }
    int GetClientHeight() const override { return rect.bottom - rect.top - kDecoration; }
    bool IsShown() const override { return shown; }
    void ShowAndRaise() override {
        shown = true;
        calls.push_back("show");
    }
    void HideWindow() override { shown = false; }
    void Activate() override { calls.push_back("activate"); }
    void Place(int x, int y, int width, int height, bool activate) override {
        int w = width < 0 ? rect.right - rect.left : width;
        int h = height < 0 ? rect.bottom - rect.top : height;
        rect = {x, y, x + w, y + h};
        calls.push_back(activate ? "place+activate" : "place");
    }
    bool HasSizingFrame() const override { return sizing; }
    void SetSizingFrame(bool s) override { sizing = s; }
    bool IsPointOnMonitor(int x, int y) const override { return x >= 0 && y >= 0 && x < 1600 && y < 1200; }
    void ActivateMainDisplay() override { calls.push_back("main"); }

    ScreenRect rect{200, 100, 412, 500};
    bool shown = false;
    bool sizing = true;
    std::vector<std::string> calls;
};

TEST(ToolWindowTest, RollUpLeavesTheCaptionAndGetRectKeepsTheFullHeight) {
    FakeFrame frame;
    TarqToolWindow window;
    window.AttachFrame(&frame);
    window.ToggleCollapse();
    EXPECT_TRUE(window.IsCollapsed());
    EXPECT_EQ(frame.rect.bottom - frame.rect.top, kDecoration);
    EXPECT_EQ(frame.rect.right - frame.rect.left, 212);
    EXPECT_EQ(frame.calls.back(), "main");
    ScreenRect saved;
    window.GetRect(&saved);
    EXPECT_EQ(saved.top, 100);
    EXPECT_EQ(saved.bottom, 500);

    window.ToggleCollapse();
    EXPECT_FALSE(window.IsCollapsed());
    EXPECT_EQ(frame.rect.bottom - frame.rect.top, 400);
    EXPECT_EQ(frame.rect.right - frame.rect.left, 212);
}

TEST(ToolWindowTest, RollingUpAndDownKeepsTheFrameStyle) {
    for (bool sizing : {true, false}) {
        SCOPED_TRACE(sizing ? "sizable" : "fixed-size");
        FakeFrame frame;
        frame.sizing = sizing;
        TarqToolWindow window;
        window.AttachFrame(&frame);
        window.ToggleCollapse();
        EXPECT_FALSE(frame.sizing);
        window.ToggleCollapse();
        EXPECT_EQ(frame.sizing, sizing);
    }
}

TEST(ToolWindowTest, ShowBringsBackAWindowOffEveryMonitorAndRollsItDown) {
    struct Case {
        const char* name;
        ScreenRect rect;
        bool collapsed;
        int expectedLeft;
        int expectedTop;
        int expectedHeight;
    };
    const Case cases[] = {
        {"on a monitor: stays", {200, 100, 412, 500}, false, 200, 100, 400},
        {"corner + 15 off every monitor: moved to 15,15", {1590, 100, 1802, 500}, false, 15, 15, 400},
        {"corner just on the monitor stays", {1584, 1184, 1796, 1584}, false, 1584, 1184, 400},
        {"rolled up: rolled down", {200, 100, 412, 500}, true, 200, 100, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFrame frame;
        frame.rect = c.rect;
        TarqToolWindow window;
        window.AttachFrame(&frame);
        if (c.collapsed) window.ToggleCollapse();
        window.Show();
        EXPECT_TRUE(window.IsVisible());
        EXPECT_FALSE(window.IsCollapsed());
        EXPECT_EQ(frame.rect.left, c.expectedLeft);
        EXPECT_EQ(frame.rect.top, c.expectedTop);
        EXPECT_EQ(frame.rect.bottom - frame.rect.top, c.expectedHeight);
    }
}

TEST(ToolWindowTest, SetPositionSizesOnlyWithAHeight) {
    FakeFrame frame;
    TarqToolWindow window;
    window.SetWidth(148);
    window.AttachFrame(&frame);
    window.SetPosition(30, 40, 0);
    EXPECT_EQ(frame.rect.left, 30);
    EXPECT_EQ(frame.rect.right - frame.rect.left, 212);
    EXPECT_EQ(frame.rect.bottom - frame.rect.top, 400);
    EXPECT_EQ(frame.calls.back(), "place+activate");
    window.SetPosition(50, 60, 300);
    EXPECT_EQ(frame.rect.right - frame.rect.left, 148);
    EXPECT_EQ(frame.rect.bottom - frame.rect.top, 300);
    window.Move(70, 80);
    EXPECT_EQ(frame.calls.back(), "place");
    EXPECT_EQ(frame.rect.left, 70);
    EXPECT_EQ(frame.rect.bottom - frame.rect.top, 300);
}

TEST(ToolWindowTest, SetPositionKeepsTheWidthOfAWindowWithoutAFixedOne) {
    FakeFrame frame;
    frame.rect = {0, 0, 530, 200};
    TarqToolWindow window;
    window.AttachFrame(&frame);
    window.SetPosition(10, 20, 300);
    EXPECT_EQ(frame.rect.right - frame.rect.left, 530);
    EXPECT_EQ(frame.rect.bottom - frame.rect.top, 300);
}

// A native window under a window manager whose 25-pixel title bar becomes
// known only when the window is mapped, as under X: until then the toolkit
// takes the frame for 0 pixels, and once it knows better it keeps the client
// size, so the outer size grows.
class ManagedFrame : public FakeFrame {
public:
    explicit ManagedFrame(TarqToolWindow& window) : m_window(window) {}
    int GetClientHeight() const override { return rect.bottom - rect.top - frameHeight; }
    void ShowAndRaise() override {
        FakeFrame::ShowAndRaise();
        if (frameHeight > 0) return;
        frameHeight = 25;
        rect.bottom += frameHeight;
        m_window.FrameSized();
    }
    void Place(int x, int y, int width, int height, bool activate) override {
        FakeFrame::Place(x, y, width, height, activate);
        m_window.FrameSized();
    }

    int frameHeight = 0;

private:
    TarqToolWindow& m_window;
};

TEST(ToolWindowTest, RestartsUnderAWindowManagerKeepTheSavedOuterHeight) {
    int savedHeight = 300;
    for (int restart = 1; restart <= 3; ++restart) {
        TarqToolWindow window;
        window.SetWidth(212);
        ManagedFrame frame(window);
        window.AttachFrame(&frame);
        window.SetPosition(820, 40, savedHeight);
        window.Show();
        ScreenRect saved;
        window.GetRect(&saved);
        savedHeight = saved.bottom - saved.top;
        EXPECT_EQ(savedHeight, 300) << "restart " << restart;
        EXPECT_EQ(saved.top, 40) << "restart " << restart;
        EXPECT_EQ(frame.GetClientHeight(), 275) << "restart " << restart;
    }
}

TEST(ToolWindowTest, ToggleVisibleAndHideKeepTheRolledUpState) {
    FakeFrame frame;
    TarqToolWindow window;
    window.AttachFrame(&frame);
    window.ToggleVisible();
    EXPECT_TRUE(window.IsVisible());
    window.ToggleCollapse();
    window.ToggleVisible();
    EXPECT_FALSE(window.IsVisible());
    EXPECT_TRUE(window.IsCollapsed());
}

}  // namespace
