// A small picture the program draws itself (cursors, the window icon), held
// without the toolkit so that tests can read its pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbaImage {
    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}

    // 0xAARRGGBB; alpha 0 is transparent. Outside the picture: transparent.
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[static_cast<size_t>(y) * width + x] : 0;
    }
    void Set(int x, int y, uint32_t argb) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = argb;
    }

    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // row by row from the top
};
