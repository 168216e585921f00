// The frame timer under the real toolkit: a modal box opened from inside a
// tick runs its own loop, and the ticks go on in it.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <chrono>

#include "app/frame_timer.h"

namespace {

bool g_haveDisplay = false;

TEST(ModalTick, TicksArriveWhileATickShowsAModalBox) {
    if (!g_haveDisplay) GTEST_SKIP() << "no X display";
    TarqFrameTimer timer([](std::function<void()> job) { wxTheApp->CallAfter(std::move(job)); });
    long ticks = 0;
    long ticksDuringModal = -1;
    bool done = false;
    timer.Start(10, [&] {
        if (++ticks != 1) return;
        wxDialog box(nullptr, wxID_ANY, "modal");
        wxTimer closer;
        closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { box.EndModal(wxID_OK); });
        closer.StartOnce(400);
        long before = ticks;
        box.ShowModal();
        ticksDuringModal = ticks - before;
        done = true;
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline) wxTheApp->Yield(true);
    timer.Stop();
    EXPECT_TRUE(done);
    EXPECT_GE(ticksDuringModal, 10) << "about 40 ticks of 10 ms in 400 ms";
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
