// Window snapping for wxWidgets top-level windows on X11: registers a window
// with WindowSnapManager and hands every move and resize it reports to the
// snapping rules, then puts the window where they say. GTK reports a move
// only after it happened, so the rules compare with the place before it.
// Tested by tests/app/tool_window_wx_test.cpp.
#pragma once

#include <functional>

class wxTopLevelWindow;

// Main thread. fixedWidth, when given, returns the outer width the window
// keeps whatever the user does (0: free). The binding ends with the window.
void AttachWindowSnapping(wxTopLevelWindow* window, std::function<int()> fixedWidth = {});

// Moves and sizes a window from the program (width or height below 0 keeps
// the size). The placement is snapped now, as the switch stands now, and the
// move that X11 reports later is taken as it is: restoring saved places with
// snapping off stays unsnapped even when snapping is back on by then.
void PlaceWindow(wxTopLevelWindow* window, int x, int y, int width, int height);

// True when the point 15 pixels right of and below (x, y) lies on a monitor.
bool IsPointOnAnyMonitor(int x, int y);
