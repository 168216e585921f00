// Where a newly opened window goes: wholly on a monitor and clear of the
// areas it must not cover (the main display's menu bar and command line).
// Tested by tests/foundation/window_fit_test.cpp.
#pragma once

#include <vector>

#include "foundation/tool_window_place.h"

// The window keeps its size where it fits and moves as little as it can: it
// stays on the monitor under its top-left corner (else the first monitor),
// inside that monitor, and off every keep-clear area; a window too big for
// the room left shrinks to it. No monitors: the window as it is.
ScreenRect FitNewWindow(const ScreenRect& window, const std::vector<ScreenRect>& monitors,
                        const std::vector<ScreenRect>& keepClear);
