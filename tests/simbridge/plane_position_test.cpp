// Tests of position extrapolation: the channel's interpolation, blending,
// wrapping of ticks and values, and the aircraft's state and rates.
#include "simbridge/plane_position.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Extrapolator Channel(double minimum = 0, double maximum = 0) {
    Extrapolator channel;
    channel.SetPeriod(PlanePosition::kTickPeriod);
    channel.SetMaxAge(PlanePosition::kMaxAgeTicks);
    channel.SetRange(minimum, maximum);
    return channel;
}

TEST(Extrapolator, EdgeCases) {
    struct Row {
        const char* name;
        double minimum, maximum;  // no range when equal
        std::vector<Extrapolator::Sample> samples;
        double tick;
        double expected;
    };
    const Row rows[] = {
        {"no sample", 0, 0, {}, 10, 0},
        {"one report stands still", 0, 0, {{100, 5}}, 400, 5},
        {"same tick replaces", 0, 0, {{100, 5}, {100, 7}}, 400, 7},
        {"two samples extrapolate", 0, 0, {{0, 0}, {100, 10}}, 150, 15},
        {"past the newest of three", 0, 0, {{0, 0}, {100, 100}, {200, 300}}, 250, 400},
        {"start of the newest interval blends", 0, 0, {{0, 0}, {100, 100}, {200, 300}}, 120, 128},
        {"second half of the newest interval", 0, 0, {{0, 0}, {100, 100}, {200, 300}}, 150, 200},
        {"older interval is linear", 0, 0, {{0, 0}, {100, 100}, {200, 300}}, 50, 50},
        {"before the oldest", 0, 0, {{1000, 10}, {1100, 20}, {1200, 40}}, 900, 0},
        {"longitude across 180", -180, 180, {{0, 179.5}, {100, -179.5}}, 50, -180},
        {"longitude folds back", -180, 180, {{0, 179.5}, {100, -179.5}}, 150, -179},
        {"heading through north", 0, 360, {{0, 350}, {100, 10}}, 50, 0},
        {"heading through north, later", 0, 360, {{0, 350}, {100, 10}}, 75, 5},
        {"ticks wrap by 65536", 0, 0, {{65500, 0}, {20, 56}}, 76, 112},
        {"query tick taken modulo 65536", 0, 0, {{65500, 0}, {20, 56}}, 65536 + 76, 112},
        {"query before the wrap", 0, 0, {{65500, 0}, {20, 56}}, 65528, 28},
        {"blend across the wrap", 0, 0, {{65436, 0}, {0, 100}, {100, 300}}, 50, 200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Extrapolator channel = Channel(row.minimum, row.maximum);
        for (const auto& s : row.samples) channel.AddSample(s.tick, s.value);
        EXPECT_NEAR(channel.Evaluate(row.tick), row.expected, 1e-9);
    }
}

TEST(Extrapolator, OldSamplesGo) {
    Extrapolator channel = Channel();
    channel.AddSample(65000, 1);
    channel.AddSample(65400, 2);
    channel.AddSample(400, 3);  // 936 ticks after 65000 across the wrap: kept
    EXPECT_EQ(channel.GetSamples().size(), 3u);
    channel.AddSample(402, 4);  // 938 after the first, 538 after the second
    ASSERT_EQ(channel.GetSamples().size(), 3u);
    EXPECT_EQ(channel.GetSamples().front().tick, 65400);
}

TEST(PlanePosition, AttitudeWord) {
    const uint32_t word = PlanePosition::PackAttitude(-10, 0, 0);
    EXPECT_EQ(word >> 22, 995u);
    EXPECT_EQ(PlanePosition::PackAttitude(0, 360, 359.9) & 0x3FF000, 0u) << "a full turn wraps to 0";
    EXPECT_EQ(PlanePosition::PackAttitude(45, 90, 180), (128u << 22) | (256u << 12) | (512u << 2));
    double pitch, bank, heading;
    PlanePosition::UnpackAttitude(word, pitch, bank, heading);
    EXPECT_DOUBLE_EQ(pitch, 349.8046875);
    Extrapolator channel = Channel(-180, 180);
    channel.AddSample(0, pitch);
    EXPECT_DOUBLE_EQ(channel.Evaluate(0), -10.1953125);
}

TEST(PlanePosition, ExtrapolatesEveryChannelAndKeepsTheWord) {
    PlanePosition position;
    const uint32_t attitude = PlanePosition::PackAttitude(5, -20, 90);
    position.AddPosition(1000, 50.0, 179.9, 3000, attitude, 140);
    position.AddPosition(1063, 50.01, -179.9, 3100, attitude, 150);
    const ExtrapolatedState later = position.Extrapolate(1126);
    EXPECT_NEAR(later.latitude, 50.02, 1e-9);
    EXPECT_NEAR(later.longitude, -179.7, 1e-9);
    EXPECT_NEAR(later.altitude, 3200, 1e-9);
    EXPECT_EQ(later.attitude, attitude);
    EXPECT_EQ(later.speed, 150);
}

TEST(PlanePosition, RatesInFeetPerSecond) {
    PlanePosition position;
    EXPECT_EQ(position.GetRates(), (std::array<double, 3>{0, 0, 0}));
    // 62.5 ticks are one second; across the tick wrap.
    position.AddPosition(65530, 60.0, 10.0, 1000, 0, 0);
    position.AddPosition(static_cast<uint16_t>(65530 + 62.5 * 2 - 65536 + 0.5), 60.0 + 1.0 / 60, 10.0 - 1.0 / 60,
                         1250, 0, 0);
    const std::array<double, 3> rates = position.GetRates();
    const double seconds = 125 / 62.5;
    EXPECT_NEAR(rates[0], FeetFromDegrees(1.0 / 60) / seconds, 1e-6);
    EXPECT_NEAR(rates[1], -std::cos((60.0 + 1.0 / 60) * M_PI / 180) * FeetFromDegrees(1.0 / 60) / seconds, 1e-6);
    EXPECT_NEAR(rates[2], 125, 1e-9);
    EXPECT_NEAR(FeetFromDegrees(1.0 / 60), 6086.9, 0.1) << "one nautical mile";
}

}  // namespace
