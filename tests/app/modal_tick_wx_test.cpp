// The frame timer on the program's main loop: a modal box opened from inside
// a tick runs its own loop, and the ticks go on in it.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <chrono>

#include "app/frame_timer.h"
#include "app/main_loop.h"

namespace {

bool g_haveDisplay = false;

TEST(ModalTick, TicksArriveWhileATickShowsAModalBox) {
    if (!g_haveDisplay) GTEST_SKIP() << "no X display";
    TarqFrameTimer timer(ScheduleOnMainLoop);
    long ticks = 0;
    long before = 0;
    long ticksDuringModal = -1;
    bool done = false;
    wxDialog* open = nullptr;
    timer.Start(10, [&] {
        ++ticks;
        // The ticks themselves close the box: a timer started before
        // ShowModal can fire before a loaded machine has even shown it.
        if (open && ticks - before >= 10) open->EndModal(wxID_OK);
        if (ticks != 1) return;
        wxDialog box(nullptr, wxID_ANY, "modal");
        wxTimer giveUp;
        giveUp.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { box.EndModal(wxID_CANCEL); });
        giveUp.StartOnce(5000);
        open = &box;
        before = ticks;
        box.ShowModal();
        open = nullptr;
        ticksDuringModal = ticks - before;
        done = true;
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline) wxTheApp->Yield(true);
    timer.Stop();
    EXPECT_TRUE(done);
    EXPECT_GE(ticksDuringModal, 10) << "the ticks stopped while the box was open";
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
