// What the program tests need of the X server beyond the toolkit's input
// simulator: the right-hand Ctrl key, and where a window the toolkit does not
// list (a native message box) lies on the screen.
#pragma once

#include <string>

// Presses and releases Right Ctrl through the X test extension; false when
// the extension or the key is missing.
bool PressRightCtrl();
// Presses (down) or releases the key of an X keysym, wherever the focus is.
// Tests that share the X server must hold only keys that change no other
// key's meaning (Scroll Lock, not a modifier).
bool HoldKey(unsigned long keysym, bool down);

// The middle of the shown top-level X window titled so, in screen pixels;
// false when there is none.
bool FindXWindow(const std::string& title, int* x, int* y);
// Its size as the X server has it.
bool XWindowSize(const std::string& title, int* width, int* height);
// Its outer rectangle in screen pixels: with the frame the window manager
// says it drew (_NET_FRAME_EXTENTS), if there is one.
struct XFrame {
    int x = 0, y = 0, width = 0, height = 0;
};
bool FindXFrame(const std::string& title, XFrame* frame);
