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
