// Tested by tests/app/scope_cursor_test.cpp.
#include "app/scope_cursor.h"

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kSize = ScopeCursorImage::kSize;
constexpr int kCentre = 15;
constexpr uint32_t kStroke = 0xFFFFFFFF;
constexpr uint32_t kEdge = 0xFF000000;

// 5 by 7 glyphs, one byte a row from the top, bit 4 the left column.
using Glyph = std::array<uint8_t, 7>;
constexpr std::array<Glyph, 10> kDigits = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
}};
constexpr std::array<Glyph, 26> kLetters = {{
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // C
    {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},  // D
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F},  // G
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // H
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E},  // I
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},  // J
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},  // K
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},  // L
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11},  // M
    {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},  // N
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // O
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // P
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D},  // Q
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // R
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // S
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},  // T
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // U
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // V
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A},  // W
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},  // X
    {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04},  // Y
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},  // Z
}};

using Strokes = std::array<std::array<bool, kSize>, kSize>;  // [y][x]

void Dot(Strokes& s, int x, int y) {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) s[y][x] = true;
}

// The glyph doubled, 10 by 14 pixels, centred on the hot spot.
void DrawGlyph(Strokes& s, const Glyph& glyph) {
    const int left = kCentre - 5, top = kCentre - 7;
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
            if (!(glyph[row] & (0x10 >> col))) continue;
            for (int d = 0; d < 4; ++d) Dot(s, left + 2 * col + d % 2, top + 2 * row + d / 2);
        }
    }
}

// Strokes white, every pixel touching a stroke black, the rest transparent.
RgbaImage Render(const Strokes& s) {
    RgbaImage image(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (s[y][x]) {
                image.Set(x, y, kStroke);
                continue;
            }
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < kSize && ny < kSize && s[ny][nx]) image.Set(x, y, kEdge);
                }
            }
        }
    }
    return image;
}

}  // namespace

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

ScopeCursorImage DrawScopeCursor(int cursor) {
    Strokes s{};
    if (cursor == 167) {
        // Arms with a gap at the centre, so the target under it stays in view.
        for (int d = 4; d <= 13; ++d) {
            Dot(s, kCentre - d, kCentre);
            Dot(s, kCentre + d, kCentre);
            Dot(s, kCentre, kCentre - d);
            Dot(s, kCentre, kCentre + d);
        }
        Dot(s, kCentre, kCentre);
    } else if (cursor >= 186 && cursor <= 195) {
        DrawGlyph(s, kDigits[cursor - 186]);
    } else if (cursor >= 196 && cursor <= 221) {
        DrawGlyph(s, kLetters[cursor - 196]);
    } else if (cursor == 240) {
        for (int d = -5; d <= 5; ++d) {
            Dot(s, kCentre + d, kCentre - 5);
            Dot(s, kCentre + d, kCentre + 5);
            Dot(s, kCentre - 5, kCentre + d);
            Dot(s, kCentre + 5, kCentre + d);
        }
        Dot(s, kCentre, kCentre);
    } else if (cursor == 376) {
        for (int d = 3; d <= 10; ++d) {
            Dot(s, kCentre - d, kCentre - d);
            Dot(s, kCentre + d, kCentre - d);
            Dot(s, kCentre - d, kCentre + d);
            Dot(s, kCentre + d, kCentre + d);
        }
        Dot(s, kCentre, kCentre);
    } else {
        return {};
    }
    return {Render(s), kCentre, kCentre};
}
