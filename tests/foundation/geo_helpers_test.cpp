#include "foundation/geo_helpers.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/clock.h"

namespace {

// Sets LongitudeScale for one test and puts 1.0 back.
class ScaleGuard {
public:
    explicit ScaleGuard(double scale) { LongitudeScale = scale; }
    ~ScaleGuard() { LongitudeScale = 1.0; }
};

}  // namespace

TEST(GeoHelpers, LongitudeScaleStartsAtOne) { EXPECT_EQ(LongitudeScale, 1.0); }

TEST(GeoHelpers, AngleUnitsUseTheProgramsPi) {
    EXPECT_EQ(DegToRad(180.0), 180.0 * 0.017453292519943278);
    EXPECT_EQ(RadToDeg(3.14159265358979), 180.0);
    EXPECT_DOUBLE_EQ(RadToDeg(DegToRad(47.25)), 47.25);
}

TEST(GeoHelpers, BearingBetween) {
    struct Case {
        const char* name;
        double x1, y1, x2, y2;
        bool useScale;
        double scale;
        double expected;
    };
    const Case cases[] = {
        {"north", 0, 0, 0, 1, false, 1, 360},
        {"east", 0, 0, 1, 0, false, 1, 90},
        {"west", 0, 0, -1, 0, false, 1, 270},
        {"south", 0, 0, 0, -1, false, 1, 180},
        {"north-east", 0, 0, 1, 1, false, 1, 45},
        {"south-west", 0, 0, -1, -1, false, 1, 225},
        {"north-west", 0, 0, -1, 1, false, 1, 315},
        {"south-east", 0, 0, 1, -1, false, 1, 135},
        {"same point", 3, 4, 3, 4, false, 1, 90},
        {"scaled", 0, 0, 2, 1, true, 0.5, 45},
        {"unscaled ignores the scale", 0, 0, 2, 1, false, 0.5, 63.43494882292201},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScaleGuard guard(c.scale);
        EXPECT_NEAR(BearingBetween(c.x1, c.y1, c.x2, c.y2, c.useScale), c.expected, 1e-9);
    }
}

TEST(GeoHelpers, DistancesAndOffsets) {
    EXPECT_EQ(ScaledDistance(0, 0, 3, 4, 1), 5);
    EXPECT_EQ(ScaledDistance(0, 0, 6, 4, 0.5), 5);
    EXPECT_EQ(ScaledDistance(6, 4, 0, 0, 0.5), 5);

    struct Case {
        const char* name;
        double distance, heading, x, y;
    };
    const Case cases[] = {
        {"east", 1, 90, 1, 0},         {"south", 1, 180, 0, -1}, {"north", 2, 360, 0, 2},
        {"zero is north", 2, 0, 0, 2}, {"west", 1, 270, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto [x, y] = PolarOffset(c.distance, c.heading);
        EXPECT_NEAR(x, c.x, 1e-12);
        EXPECT_NEAR(y, c.y, 1e-12);
    }
    // An offset laid off along a bearing comes back as that bearing.
    auto [x, y] = PolarOffset(1, 123);
    EXPECT_NEAR(BearingBetween(0, 0, x, y, false), 123, 1e-9);

    double mx = 0, my = 0;
    Midpoint(1, 2, 3, 6, &mx, &my);
    EXPECT_EQ(mx, 2);
    EXPECT_EQ(my, 4);
}

TEST(GeoHelpers, HeadingArithmetic) {
    struct Case {
        const char* name;
        double (*function)(double);
        double input, expected;
    };
    const Case cases[] = {
        {"normalize 0", NormalizeHeading, 0, 360},
        {"normalize -10", NormalizeHeading, -10, 350},
        {"normalize 370", NormalizeHeading, 370, 10},
        {"normalize only once", NormalizeHeading, 800, 440},
        {"normalize 0.5", NormalizeHeading, 0.5, 360.5},
        {"normalize 360 stays", NormalizeHeading, 360, 360},
        {"normalize 1 stays", NormalizeHeading, 1, 1},
        {"reciprocal 90", ReciprocalHeading, 90, 270},
        {"reciprocal 180", ReciprocalHeading, 180, 360},
        {"reciprocal 270", ReciprocalHeading, 270, 90},
        {"mirror 0", NormalizeHeading360, 0, 360},
        {"mirror 90", NormalizeHeading360, 90, 270},
        {"mirror -90", NormalizeHeading360, -90, 90},
        {"mirror 360", NormalizeHeading360, 360, 0},
        {"fold 90", HeadingFold, 90, -90},
        {"fold 270", HeadingFold, 270, 90},
        {"fold 180", HeadingFold, 180, -180},
        {"fold 181", HeadingFold, 181, 179},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.function(c.input), c.expected);
    }
}

TEST(GeoHelpers, Rounding) {
    struct Case {
        const char* name;
        int (*function)(int);
        int input, expected;
    };
    const Case cases[] = {
        {"10 of 0", RoundUpTo10, 0, 0},
        {"10 of -5", RoundUpTo10, -5, 0},
        {"10 of 5", RoundUpTo10, 5, 10},
        {"10 of 10", RoundUpTo10, 10, 10},
        {"10 of 11", RoundUpTo10, 11, 20},
        {"10 of 15", RoundUpTo10, 15, 20},
        {"10 of the largest int saturates", RoundUpTo10, INT_MAX, INT_MAX},
        {"100 of -20", RoundUpTo100, -20, 100},
        {"100 of 0", RoundUpTo100, 0, 100},
        {"100 of 100", RoundUpTo100, 100, 100},
        {"100 of 101", RoundUpTo100, 101, 200},
        {"100 of 1234", RoundUpTo100, 1234, 1300},
        {"100 of the largest int saturates", RoundUpTo100, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.function(c.input), c.expected);
    }
}

TEST(GeoHelpers, ColoursPackRedLowest) {
    const unsigned char bytes[3] = {0x12, 0x34, 0xFE};
    EXPECT_EQ(PackRGB(bytes), 0xFE3412);
    unsigned char back[3] = {};
    UnpackRGB(PackRGB(bytes), back);
    EXPECT_EQ(back[0], 0x12);
    EXPECT_EQ(back[1], 0x34);
    EXPECT_EQ(back[2], 0xFE);
    UnpackRGB(-1, back);  // a stray sign bit never leaks into the bytes
    EXPECT_EQ(back[2], 0xFF);
}

TEST(GeoHelpers, ElapsedSecondsFollowTheClock) {
    ManualClock clock(5000);
    ElapsedSeconds elapsed(clock);
    EXPECT_EQ(elapsed.Get(), 0.0);
    clock.Advance(1250);
    EXPECT_EQ(elapsed.Get(), 1.25);

    double first = GetElapsedSeconds();
    EXPECT_GE(first, 0.0);
    EXPECT_LE(first, GetElapsedSeconds());
}
