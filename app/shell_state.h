// Process-wide values of the application shell, set by start-up.
// Tested through tests/app/startup_test.cpp.
#pragma once

#include <cstdint>

#include "platform/window_handle.h"

// Monotonic milliseconds at start-up; blinking and elapsed-time displays
// measure from it.
extern uint64_t StartTime;
// When set, closing the session shows the session-profile dialog again.
extern bool ReturnToProfileDialog;
// Set by ".debug"; read by the lists and the scope drawing.
extern uint32_t DebugFlags;
// The window a second start brings forward: the session-profile dialog while
// it exists, then the session's main display.
extern WindowHandle SharedMainWindow;
