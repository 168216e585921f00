// The program's window icon: a small radar scope drawn in code, a dark disc
// with a green rim, a green range ring and a bright sweep from the centre
// towards the upper right. Tested by tests/app/program_icon_test.cpp.
#pragma once

#include <cstdint>

#include "app/rgba_image.h"

// The sizes the window manager is offered.
inline constexpr int kProgramIconSizes[] = {16, 32};

inline constexpr uint32_t kIconScope = 0xFF0A1E12;
inline constexpr uint32_t kIconRing = 0xFF1EB43C;
inline constexpr uint32_t kIconSweep = 0xFFA0FFA0;

// The scope `size` pixels square; the corners outside the disc are clear.
RgbaImage DrawProgramIcon(int size);
