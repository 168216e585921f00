// Tests of the rate converter and the device wrappers around memory devices.
#include "voice/rate_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/memory_sound_devices.h"

namespace {

std::vector<int16_t> Ramp(int n) {
    std::vector<int16_t> x(n);
    for (int i = 0; i < n; ++i) x[i] = static_cast<int16_t>(std::lround(8000 * std::sin(i * 0.05)));
    return x;
}

std::vector<int16_t> Convert(RateConverter& converter, const std::vector<int16_t>& x,
                             const std::vector<int>& pieces) {
    std::vector<int16_t> out;
    size_t at = 0;
    for (int piece : pieces) {
        std::vector<int16_t> dst(4096);
        int n = converter.Resample(x.data() + at, piece, dst.data(), static_cast<int>(dst.size()));
        EXPECT_GE(n, 0);
        out.insert(out.end(), dst.begin(), dst.begin() + n);
        at += static_cast<size_t>(piece);
    }
    return out;
}

TEST(RateConverter, PiecesGiveTheSameSamplesAsOneCall) {
    struct Case {
        const char* name;
        double from, to;
    };
    for (const Case& c : {Case{"down", 8000, 7350}, Case{"up", 7350, 8000}}) {
        SCOPED_TRACE(c.name);
        auto x = Ramp(3000);
        RateConverter whole, pieces;
        whole.SetRates(c.from, c.to);
        pieces.SetRates(c.from, c.to);
        auto a = Convert(whole, x, {3000});
        auto b = Convert(pieces, x, {1, 7, 500, 13, 1000, 479, 1000});
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(a[i], b[i], 1) << i;
        EXPECT_NEAR(static_cast<double>(a.size()), 3000 * c.to / c.from, 2);
    }
}

TEST(RateConverter, EqualRatesCopyThroughWithoutHoldingBack) {
    RateConverter converter;
    converter.SetRates(8000, 8000);
    auto x = Ramp(100);
    EXPECT_EQ(Convert(converter, x, {40, 60}), x);
}

TEST(RateConverter, FullDestinationLeavesTheCountersAlone) {
    RateConverter converter;
    converter.SetRates(8000, 8000);
    auto x = Ramp(10);
    int16_t dst[4];
    EXPECT_EQ(converter.Resample(x.data(), 10, dst, 4), -1);
    EXPECT_EQ(converter.Resample(x.data(), 10, dst, -1), -1);
    std::vector<int16_t> all(10);
    EXPECT_EQ(converter.Resample(x.data(), 10, all.data(), 10), 10);
    EXPECT_EQ(all, x);
}

TEST(DeviceRate, CommonRates) {
    EXPECT_EQ(DeviceRate(7350), 8000);
    EXPECT_EQ(DeviceRate(10000), 11025);
    EXPECT_EQ(DeviceRate(16000), 22050);
    EXPECT_EQ(DeviceRate(32000), 44100);
}

TEST(InConverter, ReadsAtTheOuterRateAndKeepsTheRest) {
    MemorySoundDeviceProvider provider({"mic"}, {"phones"});
    auto device = CreateInputDevice(provider, 7350, kDefaultSoundDevice);
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(provider.InputCard(0)->DeviceRate(), 8000);
    auto x = Ramp(8000);
    provider.InputCard(0)->Feed(x.data(), x.size());
    int available = device->Available();
    EXPECT_NEAR(available, 7350 * 2, 8);
    std::vector<int16_t> got(2160);
    EXPECT_EQ(device->Read(4320, got.data()), 4320);
    EXPECT_GE(device->Available(), 0);
    int total = 4320;
    while (device->Available() > 0) {
        int n = device->Read(1000, got.data());
        if (n == 0) break;
        total += n;
    }
    EXPECT_NEAR(total, 7350 * 2, 8);
}

TEST(OutConverter, EndStreamResetsThatStreamOnly) {
    MemorySoundDeviceProvider provider({}, {"phones"});
    auto device = CreateOutputDevice(provider, 2, 7350, 0);
    auto card = provider.OutputCard(0);
    std::vector<int16_t> ones(735, 1000);
    device->Write(0, ones.data(), 1470);
    device->Write(1, ones.data(), 1470);
    device->EndStream(0);
    EXPECT_EQ(card->Ends(0), 1);
    // After the reset the first output sample is the first input sample again.
    card->TakePlayed(0);
    std::vector<int16_t> step(735, 2000);
    device->Write(0, step.data(), 1470);
    auto played = card->TakePlayed(0);
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played[0], 2000);
    EXPECT_NEAR(static_cast<double>(played.size()), 800, 2);
}

TEST(MemorySoundDevices, VolumeScalesAndClipsInPlace) {
    struct Case {
        int percent;
        int16_t in, out;
    };
    const Case cases[] = {{100, 1000, 1000}, {50, 1000, 250}, {0, 1000, 0}, {100, -32768, -32768}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        auto card = std::make_shared<MemorySoundCard>();
        MemoryOutSoundHardware device(card, 1);
        device.SetVolume(static_cast<int16_t>(c.percent));
        int16_t sample = c.in;
        EXPECT_EQ(device.Write(0, &sample, 2), 2);
        EXPECT_EQ(sample, c.out);
        EXPECT_EQ(card->Played(0).at(0), c.out);
    }
    int16_t loud = 30000;
    ScaleSamples(&loud, 1, 2.0f);
    EXPECT_EQ(loud, 32767);
}

TEST(MemorySoundDevices, PositionPastTheListDoesNotOpen) {
    MemorySoundDeviceProvider provider({"mic"}, {"phones"});
    EXPECT_FALSE(provider.CreateInput(8000, 1)->Open());
    EXPECT_FALSE(provider.CreateOutput(5, 8000, 3)->IsOpen());
    int16_t s = 0;
    EXPECT_EQ(provider.CreateOutput(5, 8000, 3)->Write(0, &s, 2), 0);
}

}  // namespace
