// Which cursor the scopes show, from the main scope's radar mode and the
// controller's own position symbol, and the pictures of the program's own
// cursors. Tested by tests/app/scope_cursor_test.cpp.
#pragma once

#include <string>

#include "app/rgba_image.h"

// The system's cross-hair instead of one of the program's cursor resources.
inline constexpr int kSystemCrossCursor = -1;

// A cursor resource number (167, 186 to 221, 240, 376) or kSystemCrossCursor.
// primaryFrequency is in kHz, 0 when none; symbol is the own position's scope
// symbol on that frequency.
int ChooseScopeCursor(int mainRadarMode, bool useSystemCursor, int primaryFrequency,
                      const std::string& symbol);

// One of the program's cursors: 32 by 32 pixels, white strokes edged in
// black so they show on any scope colour, the rest transparent.
struct ScopeCursorImage {
    static constexpr int kSize = 32;
    RgbaImage image;
    int hotX = 0;
    int hotY = 0;
};

// The picture of a cursor resource ChooseScopeCursor gives: 167 a cross-hair
// with an open centre, 186 to 221 the position symbol's digit or letter,
// 240 a small square, 376 a diagonal cross. The hot spot is the centre of
// each. Empty (width 0) for kSystemCrossCursor and unknown numbers.
ScopeCursorImage DrawScopeCursor(int cursor);
