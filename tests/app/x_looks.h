// What the X server shows of the program's own pictures: the pointer's
// cursor (XFixes) and a top-level window's icons (_NET_WM_ICON). Used by
// tests/app/looks_program_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture as the X server holds it: 0xAARRGGBB (alpha premultiplied) row
// by row from the top.
struct XPicture {
    int width = 0;
    int height = 0;
    int hotX = 0;  // cursors only
    int hotY = 0;
    std::vector<uint32_t> argb;
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? argb[static_cast<size_t>(y) * width + x] : 0;
    }
};

// The cursor the X server shows at the pointer now; width 0 when it cannot tell.
XPicture ShownCursor();

// The icons of the shown top-level X window titled so, in the order the
// window lists them; empty when there is no such window or it has none.
std::vector<XPicture> WindowIcons(const std::string& title);
