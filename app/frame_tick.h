// One frame tick of the main display: the push-to-talk poll and the schedule
// of the program's periodic work (every tick, every 5th, every 10th; 3-D
// displays on even ticks). Tested by tests/app/frame_tick_test.cpp.
#pragma once

#include <array>

class KeyState;

// The work a tick calls, implemented over the global objects in the program
// and recorded in tests.
class TarqTickWork {
public:
    virtual ~TarqTickWork() = default;
    virtual int PushToTalkKey() = 0;  // the profile's "PTTKey"
    virtual void SetPushToTalk(bool down) = 0;
    virtual void VoicePeriodic() = 0;
    virtual void NetworkTimer() = 0;
    virtual void AircraftFrame() = 0;
    // Who the user is on a land line with, for the bar and ".acc"/".hold".
    virtual void LandLineRefresh() = 0;
    virtual bool HasThreeDDisplay() = 0;
    virtual void RedrawAll(bool onlyThreeD) = 0;
    virtual void StripBayFrame() = 0;
    virtual void CommsPanelFrame() = 0;
    virtual void WeatherRefresh() = 0;
    virtual void ControllerTimer() = 0;
    virtual void AircraftTimer() = 0;
    virtual void AircraftListTimer() = 0;
};

class TarqFrameTick {
public:
    TarqFrameTick(TarqTickWork& work, const KeyState& keys) : m_work(work), m_keys(keys) {}

    // Main thread. Re-entrant: ticks go on while a piece of work of an
    // earlier tick sits in a modal loop; that piece is skipped (not queued)
    // until its run has returned, the rest of the schedule runs.
    void OnFrameTick();

    // The external push-to-talk keys or releases the transmitter; the key
    // poll stays out of it until ClearPushToTalkByMessage.
    void SetPushToTalkByMessage(bool down);
    void ClearPushToTalkByMessage() { m_byMessage = false; }
    bool IsPushToTalkByMessage() const { return m_byMessage; }
    int Counter() const { return m_counter; }

private:
    enum Work {
        kVoice,
        kNetwork,
        kAircraftFrame,
        kLandLines,
        kRedraw,
        kStripBay,
        kCommsPanel,
        kWeather,
        kControllerTimer,
        kAircraftTimer,
        kListTimer,
        kWorkCount
    };
    template <class F>
    void RunUnlessNested(Work work, F&& run);

    TarqTickWork& m_work;
    const KeyState& m_keys;
    int m_counter = 0;  // 0 to 9 between ticks
    bool m_byMessage = false;
    bool m_lastKeyDown = false;                // last key state the poll passed on
    std::array<bool, kWorkCount> m_running{};  // that work is on the stack
};
