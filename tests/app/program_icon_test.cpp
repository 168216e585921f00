#include "app/program_icon.h"

#include <gtest/gtest.h>

namespace {

// A few pixels of each size that make it a scope: clear corners, the rim and
// the range ring crossing the row through the centre, dark scope between
// them, and a sweep that points to the upper right only.
TEST(ProgramIcon, EachSizeIsARadarScope) {
    struct Case {
        int size;
        int x, y;
        uint32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {16, 0, 0, 0u, "corner"},
        {16, 15, 15, 0u, "corner"},
        {16, 0, 8, kIconRing, "rim"},
        {16, 3, 8, kIconRing, "range ring"},
        {16, 12, 8, kIconRing, "range ring, right"},
        {16, 2, 8, kIconScope, "between rim and ring"},
        {16, 6, 8, kIconScope, "inside the ring"},
        {16, 10, 5, kIconSweep, "sweep"},
        {16, 5, 10, kIconScope, "no sweep to the lower left"},
        {32, 0, 0, 0u, "corner"},
        {32, 31, 31, 0u, "corner"},
        {32, 0, 16, kIconRing, "rim"},
        {32, 6, 16, kIconRing, "range ring"},
        {32, 25, 16, kIconRing, "range ring, right"},
        {32, 3, 16, kIconScope, "between rim and ring"},
        {32, 10, 16, kIconScope, "inside the ring"},
        {32, 20, 11, kIconSweep, "sweep"},
        {32, 21, 11, kIconSweep, "sweep, second pixel"},
        {32, 11, 20, kIconScope, "no sweep to the lower left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " " + c.what);
        const RgbaImage icon = DrawProgramIcon(c.size);
        ASSERT_EQ(icon.width, c.size);
        ASSERT_EQ(icon.height, c.size);
        EXPECT_EQ(icon.At(c.x, c.y), c.expected) << std::hex << icon.At(c.x, c.y);
    }
}

}  // namespace
