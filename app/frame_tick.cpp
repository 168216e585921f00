// Tested by tests/app/frame_tick_test.cpp.
#include "app/frame_tick.h"

#include "platform/key_state.h"

template <class F>
void TarqFrameTick::RunUnlessNested(Work work, F&& run) {
    if (m_running[work]) return;
    m_running[work] = true;
    run();
    m_running[work] = false;
}

void TarqFrameTick::OnFrameTick() {
    int counter = ++m_counter;
    // The counter is reset before the work runs, so a tick that arrives while
    // this one waits in a modal loop starts a fresh count rather than 11.
    if (m_counter >= 10) m_counter = 0;
    if (!m_byMessage) {
        bool down = m_keys.IsKeyDown(m_work.PushToTalkKey());
        if (down != m_lastKeyDown) {
            m_lastKeyDown = down;
            m_work.SetPushToTalk(down);
        }
    }
    if (counter % 5 == 0) RunUnlessNested(kVoice, [&] { m_work.VoicePeriodic(); });
    if (counter % 10 == 0) RunUnlessNested(kNetwork, [&] { m_work.NetworkTimer(); });
    RunUnlessNested(kAircraftFrame, [&] { m_work.AircraftFrame(); });
    RunUnlessNested(kLandLines, [&] { m_work.LandLineRefresh(); });
    if (counter % 10 == 0) {
        RunUnlessNested(kRedraw, [&] { m_work.RedrawAll(false); });
    } else if (counter % 2 == 0 && m_work.HasThreeDDisplay()) {
        RunUnlessNested(kRedraw, [&] { m_work.RedrawAll(true); });
    }
    RunUnlessNested(kStripBay, [&] { m_work.StripBayFrame(); });
    RunUnlessNested(kCommsPanel, [&] { m_work.CommsPanelFrame(); });
    if (counter % 10 == 0) {
        RunUnlessNested(kWeather, [&] { m_work.WeatherRefresh(); });
        RunUnlessNested(kControllerTimer, [&] { m_work.ControllerTimer(); });
        RunUnlessNested(kAircraftTimer, [&] { m_work.AircraftTimer(); });
        RunUnlessNested(kListTimer, [&] { m_work.AircraftListTimer(); });
    }
}

void TarqFrameTick::SetPushToTalkByMessage(bool down) {
    m_byMessage = true;
    m_work.SetPushToTalk(down);
}
