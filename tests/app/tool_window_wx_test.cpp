// Real tool windows under X11 (Xvfb in the test run): a window dragged near
// another snaps to it, and the tool-window base drives the native window.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/utils.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/tool_window_dialog.h"
#include "app/window_snap_wx.h"
#include "foundation/window_snap.h"

namespace {

bool g_haveDisplay = false;

// Runs the event loop until the condition holds or two seconds pass.
bool WaitFor(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
        wxTheApp->Yield(true);
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

// Lets pending window events run.
void Settle() {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < until) {
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

class ToolWindowWxTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!g_haveDisplay) GTEST_SKIP() << "no X display";
        WindowSnapManager::EnableSnapping();
    }
    void TearDown() override {
        // Destroyed windows unregister themselves on their destroy event.
        for (auto* dialog : {m_a, m_b}) {
            if (dialog) dialog->Destroy();
        }
        if (g_haveDisplay) Settle();  // let the destroys happen
    }
    TarqToolWindowDialog* Open(TarqToolWindow& tool, int x, int y, int w, int h) {
        auto* dialog = new TarqToolWindowDialog(tool, nullptr, "tool");
        dialog->SetSize(x, y, w, h);
        tool.Show();
        WaitFor([dialog, x, y] { return dialog->GetPosition() == wxPoint(x, y); });
        return dialog;
    }

    TarqToolWindow m_toolA;
    TarqToolWindow m_toolB;
    TarqToolWindowDialog* m_a = nullptr;
    TarqToolWindowDialog* m_b = nullptr;
};

TEST_F(ToolWindowWxTest, AWindowDraggedNearAnotherSnapsToIt) {
    m_a = Open(m_toolA, 100, 100, 200, 200);
    m_b = Open(m_toolB, 600, 150, 120, 100);
    ASSERT_EQ(m_b->GetPosition(), wxPoint(600, 150));
    m_b->Move(305, 150);
    EXPECT_TRUE(WaitFor([this] { return m_b->GetPosition() == wxPoint(300, 150); }))
        << m_b->GetPosition().x << "," << m_b->GetPosition().y;
    EXPECT_EQ(m_b->GetSize(), wxSize(120, 100));
}

TEST_F(ToolWindowWxTest, ToolWindowsAndDisplayFramesSnapToEachOther) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "display", wxPoint(100, 100), wxSize(400, 300));
    AttachWindowSnapping(frame);
    frame->Show();
    WaitFor([frame] { return frame->GetPosition() == wxPoint(100, 100); });
    m_b = Open(m_toolB, 900, 150, 120, 100);
    m_b->Move(510, 200);  // 10 from the frame's right edge
    EXPECT_TRUE(WaitFor([this] { return m_b->GetPosition() == wxPoint(500, 200); }));
    // Dragging the frame to 5 below the tool window with its left edge 8 off
    // docks it below, edges aligned.
    frame->Move(508, 305);
    EXPECT_TRUE(WaitFor([frame] { return frame->GetPosition() == wxPoint(500, 300); }))
        << frame->GetPosition().x << "," << frame->GetPosition().y;
    frame->Destroy();
}

TEST_F(ToolWindowWxTest, NoSnapWhenSwitchedOffOrToAHiddenWindow) {
    m_a = Open(m_toolA, 100, 100, 200, 200);
    m_b = Open(m_toolB, 600, 150, 120, 100);
    WindowSnapManager::DisableSnapping();
    m_b->Move(305, 150);
    WaitFor([this] { return m_b->GetPosition() == wxPoint(305, 150); });
    Settle();
    EXPECT_EQ(m_b->GetPosition(), wxPoint(305, 150));
    WindowSnapManager::EnableSnapping();

    m_toolA.Hide();
    m_b->Move(308, 160);
    WaitFor([this] { return m_b->GetPosition() == wxPoint(308, 160); });
    Settle();
    EXPECT_EQ(m_b->GetPosition(), wxPoint(308, 160));
}

TEST_F(ToolWindowWxTest, PlacesRestoredWithSnappingOffStayWhenItComesBackOn) {
    m_a = Open(m_toolA, 100, 100, 200, 200);
    m_b = Open(m_toolB, 600, 150, 120, 100);
    WindowSnapManager::DisableSnapping();
    m_toolB.SetPosition(305, 150, 0);
    WindowSnapManager::EnableSnapping();  // before X11 has reported the move
    Settle();
    EXPECT_EQ(m_b->GetPosition(), wxPoint(305, 150));

    m_toolB.SetPosition(310, 250, 0);  // with snapping on the program's moves snap too
    EXPECT_TRUE(WaitFor([this] { return m_b->GetPosition() == wxPoint(300, 250); }))
        << m_b->GetPosition().x << "," << m_b->GetPosition().y;
    m_b->Move(500, 500);  // and the user's moves still do
    EXPECT_TRUE(WaitFor([this] { return m_b->GetPosition() == wxPoint(500, 500); }));
    m_b->Move(309, 200);
    EXPECT_TRUE(WaitFor([this] { return m_b->GetPosition() == wxPoint(300, 200); }));
}

TEST_F(ToolWindowWxTest, TheBaseShowsHidesPlacesAndRollsUp) {
    m_a = Open(m_toolA, 400, 300, 200, 240);
    EXPECT_TRUE(m_toolA.IsVisible());
    m_toolA.ToggleVisible();
    EXPECT_FALSE(m_toolA.IsVisible());
    m_toolA.Show();
    EXPECT_TRUE(m_toolA.IsVisible());

    m_toolA.SetPosition(500, 320, 0);
    EXPECT_TRUE(WaitFor([this] { return m_a->GetPosition() == wxPoint(500, 320); }));
    EXPECT_EQ(m_a->GetSize(), wxSize(200, 240));

    m_toolA.ToggleCollapse();
    ScreenRect rect;
    m_toolA.GetRect(&rect);
    EXPECT_EQ(rect.bottom - rect.top, 240) << "the saved height while rolled up";
    EXPECT_FALSE(m_a->HasSizingFrame());
    m_toolA.ToggleCollapse();
    EXPECT_TRUE(WaitFor([this] { return m_a->GetSize() == wxSize(200, 240); }));
    EXPECT_TRUE(m_a->HasSizingFrame());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    g_haveDisplay = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    int result = RUN_ALL_TESTS();
    if (g_haveDisplay) {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
    return result;
}
