#include "platform/sound_stream_mixer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/portaudio_sound_devices.h"

namespace {

std::vector<int16_t> Mixed(SoundStreamMixer& mixer, size_t frames) {
    std::vector<int16_t> out(frames, 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

TEST(SoundStreamMixerTest, SumsStreamsClippedAndPlaysSilenceWhenDry) {
    SoundStreamMixer mixer(3, 100);
    const std::vector<int16_t> a = {1000, 30000, -30000, 5};
    const std::vector<int16_t> b = {-500, 10000, -10000};
    ASSERT_TRUE(mixer.Write(0, a.data(), a.size()));
    ASSERT_TRUE(mixer.Write(2, b.data(), b.size()));
    EXPECT_TRUE(mixer.IsPlaying(0));
    EXPECT_FALSE(mixer.IsPlaying(1));
    EXPECT_EQ(Mixed(mixer, 6), (std::vector<int16_t>{500, 32767, -32768, 5, 0, 0}));
    EXPECT_FALSE(mixer.IsPlaying(0)) << "played out";
    EXPECT_EQ(Mixed(mixer, 3), (std::vector<int16_t>{0, 0, 0})) << "an underrun never replays old samples";
}

TEST(SoundStreamMixerTest, RefusesWhatDoesNotFitWhole) {
    SoundStreamMixer mixer(1, 8);
    std::vector<int16_t> six(6, 7);
    ASSERT_TRUE(mixer.Write(0, six.data(), six.size()));
    EXPECT_FALSE(mixer.Write(0, six.data(), six.size())) << "no half blocks";
    EXPECT_FALSE(mixer.Write(1, six.data(), 1)) << "no such stream";
    EXPECT_EQ(Mixed(mixer, 4), (std::vector<int16_t>{7, 7, 7, 7}));
    ASSERT_TRUE(mixer.Write(0, six.data(), six.size())) << "room again once played, across the wrap";
    EXPECT_EQ(Mixed(mixer, 9), (std::vector<int16_t>{7, 7, 7, 7, 7, 7, 7, 7, 0}));
}

TEST(SoundStreamMixerTest, StopDropsOnlyWhatWasQueuedBeforeIt) {
    SoundStreamMixer mixer(2, 50);
    const std::vector<int16_t> old = {9, 9, 9};
    const std::vector<int16_t> fresh = {4, 4};
    const std::vector<int16_t> other = {1, 1, 1, 1};
    mixer.Write(0, old.data(), old.size());
    mixer.Write(1, other.data(), other.size());
    mixer.Stop(0);
    EXPECT_FALSE(mixer.IsPlaying(0));
    EXPECT_TRUE(mixer.IsPlaying(1));
    mixer.Write(0, fresh.data(), fresh.size());
    EXPECT_EQ(Mixed(mixer, 5), (std::vector<int16_t>{5, 5, 1, 1, 0}));
}

TEST(SoundStreamMixerTest, MixesMoreFramesThanOneSlice) {
    SoundStreamMixer mixer(1, 1000);
    std::vector<int16_t> ramp(700);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
    ASSERT_TRUE(mixer.Write(0, ramp.data(), ramp.size()));
    std::vector<int16_t> out = Mixed(mixer, 800);
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 700), ramp);
    EXPECT_EQ(out[700], 0);
    EXPECT_EQ(out[799], 0);
}

TEST(SampleRingTest, CaptureRingHandsOutInOrderAndDropsWhatOverflows) {
    SampleRing ring(4);
    const int16_t in[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ring.Push(in, 6), 4u) << "a full ring keeps the older samples";
    int16_t out[6] = {};
    EXPECT_EQ(ring.Pop(out, 3), 3u);
    EXPECT_EQ(ring.Push(in + 4, 2), 2u);
    EXPECT_EQ(ring.Queued(), 3u);
    EXPECT_EQ(ring.Pop(out, 6), 3u);
    EXPECT_EQ(std::vector<int16_t>(out, out + 3), (std::vector<int16_t>{4, 5, 6}));
    ring.Push(in, 2);
    ring.Clear();
    EXPECT_EQ(ring.Queued(), 0u);
}

TEST(MixingOutSoundHardwareTest, RefusesUntilRunningAndScalesInPlace) {
    MixingOutSoundHardware device(2, 100);
    int16_t samples[3] = {1000, -1000, 32767};
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.Write(0, samples, sizeof samples), 0) << "no stream runs yet";
    device.SetRunning(true);
    device.SetVolume(50);
    EXPECT_EQ(device.Write(1, samples, 5), 5) << "an odd last byte is accepted but not played";
    EXPECT_EQ(std::vector<int16_t>(samples, samples + 3), (std::vector<int16_t>{250, -250, 32767}))
        << "the caller's samples are scaled in place";
    EXPECT_TRUE(device.IsPlaying(1));
    int16_t out[3] = {};
    device.Render(out, 3);
    EXPECT_EQ(std::vector<int16_t>(out, out + 3), (std::vector<int16_t>{250, -250, 0}));
    EXPECT_FALSE(device.IsPlaying(1));
    EXPECT_EQ(device.Write(2, samples, 2), 0) << "no such stream";
}

TEST(RingInSoundHardwareTest, HandsOutWhatTheCallbackCapturedWhileOpen) {
    RingInSoundHardware device(10);
    const int16_t captured[] = {5, 6, 7};
    device.Capture(captured, 3);
    EXPECT_EQ(device.Available(), 0) << "closed";
    ASSERT_TRUE(device.Open());
    EXPECT_EQ(device.Available(), 6);
    int16_t out[3] = {};
    EXPECT_EQ(device.Read(5, out), 4) << "whole samples only";
    EXPECT_EQ(out[1], 6);
    device.Discard();
    EXPECT_EQ(device.Available(), 0);
}

TEST(ChooseSoundDeviceTest, IndexRules) {
    struct Case {
        uint16_t index;
        size_t count;
        int expected;
    } cases[] = {
        {kDefaultSoundDevice, 2, kSystemDefaultDevice},
        {kDefaultSoundDevice, 0, kSystemDefaultDevice},
        {0x8000, 3, kSystemDefaultDevice},  // taken as a signed 16-bit value
        {0, 2, 0},
        {1, 2, 1},
        {2, 2, kNoSoundDevice},
        {0, 0, kNoSoundDevice},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseSoundDevice(c.index, c.count), c.expected) << c.index;
}

// Runs with or without a sound card: a position past the list never opens,
// and whatever the default device does, it fails cleanly or works.
TEST(PortAudioSoundDevicesTest, DevicesPastTheListStayClosed) {
    PortAudioSoundDeviceProvider provider;
    auto inputs = provider.InputDeviceNames();
    auto outputs = provider.OutputDeviceNames();
    for (const std::string& name : inputs) EXPECT_NE(name.find(" - "), std::string::npos) << name;
    auto input = provider.CreateInput(8000, static_cast<uint16_t>(inputs.size()));
    EXPECT_FALSE(input->Open());
    EXPECT_FALSE(input->IsOpen());
    EXPECT_EQ(input->Available(), 0);
    auto output = provider.CreateOutput(5, 8000, static_cast<uint16_t>(outputs.size()));
    EXPECT_FALSE(output->IsOpen());
    EXPECT_EQ(output->StreamCount(), 5);
    int16_t samples[4] = {1, 2, 3, 4};
    EXPECT_EQ(output->Write(0, samples, sizeof samples), 0);
    EXPECT_FALSE(output->IsPlaying(0));

    auto defaultOutput = provider.CreateOutput(2, 8000, kDefaultSoundDevice);
    if (defaultOutput->IsOpen()) {
        EXPECT_EQ(defaultOutput->Write(1, samples, sizeof samples), static_cast<int>(sizeof samples));
        defaultOutput->Stop(1);
    } else {
        EXPECT_EQ(defaultOutput->Write(1, samples, sizeof samples), 0);
    }
}

}  // namespace
