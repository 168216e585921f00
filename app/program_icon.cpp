// Tested by tests/app/program_icon_test.cpp.
#include "app/program_icon.h"

#include <cmath>

RgbaImage DrawProgramIcon(int size) {
    RgbaImage icon(size, size);
    // Pixel centres lie at half steps, so the disc is symmetric for even sizes;
    // it touches the edges.
    const double centre = size / 2.0;
    const double ring = size * 0.3;
    const int c = size / 2;
    // The sweep: the diagonal from the centre to the upper right, two pixels
    // wide where the icon is large enough to show it.
    const int sweepWidth = size >= 32 ? 2 : 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            if (d > centre) continue;
            const bool rim = d > centre - 1;
            const int diagonal = x + y - (2 * c - 1);
            if (!rim && x >= c && y < c && diagonal >= 0 && diagonal < sweepWidth) {
                icon.Set(x, y, kIconSweep);
            } else {
                icon.Set(x, y, rim || std::fabs(d - ring) <= 0.5 ? kIconRing : kIconScope);
            }
        }
    }
    return icon;
}
