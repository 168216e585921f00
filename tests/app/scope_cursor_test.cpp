#include "app/scope_cursor.h"

#include <gtest/gtest.h>

namespace {

TEST(ScopeCursor, ChosenByModeSettingAndOwnSymbol) {
    struct Case {
        const char* name;
        int mode;
        bool systemCursor;
        int frequency;
        const char* symbol;
        int expected;
    };
    const Case cases[] = {
        {"ARTS with symbol N", 3, false, 118700, "N", 209},
        {"STARS with symbol A", 11, false, 118700, "A", 196},
        {"symbol Z", 3, false, 118700, "Z", 221},
        {"digit 0", 3, false, 118700, "0", 186},
        {"digit 9", 3, false, 118700, "9", 195},
        {"no primary frequency", 3, false, 0, "N", 240},
        {"other symbol", 3, false, 118700, "*", 240},
        {"no symbol", 3, false, 118700, "", 240},
        {"TAAATS whatever the setting", 10, true, 0, "", 376},
        {"TAAATS without system cursor", 10, false, 118700, "N", 376},
        {"ARTS with system cursor", 3, true, 118700, "N", kSystemCrossCursor},
        {"DSR own cursor", 4, false, 118700, "N", 167},
        {"DSR system cursor", 4, true, 0, "", kSystemCrossCursor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChooseScopeCursor(c.mode, c.systemCursor, c.frequency, c.symbol), c.expected);
    }
}

}  // namespace
