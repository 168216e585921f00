// What keeps the screen saver and the monitor's power-off away on a Linux
// desktop: the X server's own idle timer, reset in time, and the desktop
// session's inhibit call (org.freedesktop.ScreenSaver on the session bus).
// Tested through tests/app/screen_saver_hold_test.cpp and
// tests/app/windows_program_test.cpp.
#pragma once

#include <memory>

class ScreenSaverControl {
public:
    virtual ~ScreenSaverControl() = default;
    // The desktop session keeps the saver off until Release.
    virtual void Inhibit() = 0;
    virtual void Release() = 0;
    // The X server's saver and power-off count the user idle from now.
    virtual void ResetIdleTimer() = 0;
    // The X server's saver timeout; 0 when it never starts.
    virtual int IdleTimeoutSeconds() = 0;
};

// Over the X display named by $DISPLAY and the session bus when there is
// one; either missing, its part does nothing. Lives in tarq_platform_x11.
std::unique_ptr<ScreenSaverControl> CreateDesktopScreenSaverControl();
