#include "app/scope_cursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

// The picture as text, one character a pixel: '#' stroke, '.' edge, ' ' clear.
std::string Picture(const RgbaImage& image, int left, int top, int width, int height) {
    std::string text;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const uint32_t p = image.At(x, y);
            text += p == kWhite ? '#' : p == kBlack ? '.' : (p >> 24) == 0 ? ' ' : '?';
        }
        text += '\n';
    }
    return text;
}

TEST(ScopeCursor, EveryCursorTheChoiceGivesHasAPictureWithItsHotSpotOnAStroke) {
    std::vector<int> cursors = {167, 240, 376};
    for (int n = 186; n <= 221; ++n) cursors.push_back(n);
    for (int cursor : cursors) {
        SCOPED_TRACE(cursor);
        const ScopeCursorImage c = DrawScopeCursor(cursor);
        ASSERT_EQ(c.image.width, 32);
        ASSERT_EQ(c.image.height, 32);
        EXPECT_EQ(c.hotX, 15);
        EXPECT_EQ(c.hotY, 15);
        // Nothing but white strokes, their black edge and clear pixels.
        for (uint32_t p : c.image.pixels) EXPECT_TRUE(p == kWhite || p == kBlack || p == 0) << std::hex << p;
    }
    EXPECT_EQ(DrawScopeCursor(kSystemCrossCursor).image.width, 0);
    EXPECT_EQ(DrawScopeCursor(300).image.width, 0);
}

TEST(ScopeCursor, ThePositionSymbolIsDrawnDoubledAroundTheHotSpot) {
    // 'N', 5 by 7, each pixel 2 by 2 from (10, 8).
    const ScopeCursorImage n = DrawScopeCursor(209);
    EXPECT_EQ(Picture(n.image, 9, 7, 12, 16),
              "....    ....\n"
              ".##.    .##.\n"
              ".##.    .##.\n"
              ".##.    .##.\n"
              ".##...  .##.\n"
              ".####.  .##.\n"
              ".####....##.\n"
              ".##..##..##.\n"
              ".##..##..##.\n"
              ".##....####.\n"
              ".##.  .####.\n"
              ".##.  ...##.\n"
              ".##.    .##.\n"
              ".##.    .##.\n"
              ".##.    .##.\n"
              "....    ....\n");
    // Each letter and digit has a picture of its own.
    std::vector<std::string> seen;
    for (int cursor = 186; cursor <= 221; ++cursor) {
        const std::string picture = Picture(DrawScopeCursor(cursor).image, 0, 0, 32, 32);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), picture), 0) << cursor;
        seen.push_back(picture);
    }
}

TEST(ScopeCursor, TheOtherCursorsDifferAndLeaveTheCentreTargetVisible) {
    const RgbaImage cross = DrawScopeCursor(167).image;
    const RgbaImage square = DrawScopeCursor(240).image;
    const RgbaImage diagonal = DrawScopeCursor(376).image;
    // The cross-hair: arms along the row and the column of the hot spot, open
    // around the centre dot.
    EXPECT_EQ(Picture(cross, 0, 15, 32, 1), " .##########. .#. .##########.  \n");
    std::string column = Picture(cross, 15, 0, 1, 32);
    column.erase(std::remove(column.begin(), column.end(), '\n'), column.end());
    EXPECT_EQ(column, " .##########. .#. .##########.  ");
    EXPECT_EQ(cross.At(5, 5), 0u);
    // The square: its corners, clear inside.
    EXPECT_EQ(square.At(10, 10), kWhite);
    EXPECT_EQ(square.At(20, 20), kWhite);
    EXPECT_EQ(square.At(12, 12), 0u);
    EXPECT_EQ(square.At(2, 15), 0u);
    // The diagonal cross: on the diagonals, not on the row of the hot spot.
    EXPECT_EQ(diagonal.At(5, 5), kWhite);
    EXPECT_EQ(diagonal.At(25, 5), kWhite);
    EXPECT_EQ(diagonal.At(5, 25), kWhite);
    EXPECT_EQ(diagonal.At(5, 15), 0u);
    EXPECT_NE(cross.pixels, diagonal.pixels);
}

}  // namespace
