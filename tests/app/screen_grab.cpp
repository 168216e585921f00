// X11 stays in this file: its macros (None, Status) clash with the program's names.
#include "screen_grab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The 8 bits of a channel of the visual's pixel.
unsigned long Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long value = (pixel & mask) >> shift;
    unsigned long max = mask >> shift;
    return max == 255 ? value : value * 255 / max;
}

}  // namespace

ScreenGrab GrabScreen(int x, int y, int width, int height) {
    ScreenGrab grab;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return grab;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image) {
        grab.width = width;
        grab.height = height;
        grab.pixels.reserve(static_cast<size_t>(width) * height);
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                unsigned long pixel = XGetPixel(image, column, row);
                grab.pixels.push_back(Channel(pixel, image->red_mask) |
                                      (Channel(pixel, image->green_mask) << 8) |
                                      (Channel(pixel, image->blue_mask) << 16));
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return grab;
}
