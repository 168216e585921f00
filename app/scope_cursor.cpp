// Tested by tests/app/scope_cursor_test.cpp.
#include "app/scope_cursor.h"

int ChooseScopeCursor(int mode, bool useSystemCursor, int primaryFrequency, const std::string& symbol) {
    constexpr int kTaaats = 10, kArts = 3, kStars = 11;
    if (mode == kTaaats) return 376;
    if (!useSystemCursor && (mode == kArts || mode == kStars)) {
        if (primaryFrequency == 0 || symbol.size() != 1) return 240;
        char c = symbol[0];
        if (c >= 'A' && c <= 'Z') return 196 + (c - 'A');
        if (c >= '0' && c <= '9') return 186 + (c - '0');
        return 240;
    }
    return useSystemCursor ? kSystemCrossCursor : 167;
}
