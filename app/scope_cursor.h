// Which cursor the scopes show, from the main scope's radar mode and the
// controller's own position symbol. Tested by tests/app/scope_cursor_test.cpp.
#pragma once

#include <string>

// The system's cross-hair instead of one of the program's cursor resources.
inline constexpr int kSystemCrossCursor = -1;

// A cursor resource number (167, 186 to 221, 240, 376) or kSystemCrossCursor.
// primaryFrequency is in kHz, 0 when none; symbol is the own position's scope
// symbol on that frequency.
int ChooseScopeCursor(int mainRadarMode, bool useSystemCursor, int primaryFrequency,
                      const std::string& symbol);
