// What the X server shows in a rectangle of the screen, read with XGetImage
// (a wx screen DC keeps the first picture it took and misses later frames).
// Used by the program tests through program_driver.h.
#pragma once

#include <cstddef>
#include <vector>

struct ScreenGrab {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;  // 0xBBGGRR, row 0 at the top
    unsigned long At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[static_cast<size_t>(y) * width + x]
                                                           : 0xFFFFFFFF;
    }
};

// Empty when there is no display or the rectangle is not on the screen.
ScreenGrab GrabScreen(int x, int y, int width, int height);
