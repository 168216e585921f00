// The screen saver held off while one of the program's windows that refuse
// it is active: the desktop's inhibit for as long as that lasts, and the X
// server's idle timer reset in time before its saver would start.
// Tested by tests/app/screen_saver_hold_test.cpp.
#pragma once

class ScreenSaverControl;

class ScreenSaverHold {
public:
    explicit ScreenSaverHold(ScreenSaverControl& control) : m_control(control) {}
    ~ScreenSaverHold() { SetHeld(false); }
    ScreenSaverHold(const ScreenSaverHold&) = delete;
    ScreenSaverHold& operator=(const ScreenSaverHold&) = delete;

    void SetHeld(bool held);
    bool IsHeld() const { return m_held; }
    // While held, how often OnResetPeriod must run; 0 when not held.
    int ResetPeriodMs() const { return m_held ? m_periodMs : 0; }
    void OnResetPeriod();

private:
    ScreenSaverControl& m_control;
    bool m_held = false;
    int m_periodMs = 0;
};
