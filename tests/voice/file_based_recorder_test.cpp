// Tests of the file-based recorder: the file's bytes, playback timing on a
// manual clock, looping, and files that are cut short or lie about lengths.
#include "voice/file_based_recorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "temp_dir.h"
#include "voice/audio_clock.h"

namespace {

class Sink : public CAudioConsumer {
public:
    void Consume(int32_t, const uint8_t* data, int16_t length) override {
        blocks.emplace_back(data, data + length);
        times.push_back(AudioClockSeconds());
    }
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<double> times;
};

class Source : public CAudioProducer {};

std::vector<uint8_t> Block(uint8_t tag, bool end = false) {
    std::vector<uint8_t> b(86, tag);
    b[1] = end ? 1 : 0;
    return b;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAudioClock(&clock);
        path = dir.File("voxatis_a.dat");
        recorder.SetFileName(path);
        source.Connect(0, &recorder, 0);
        recorder.Connect(0, &sink, 0);
    }
    void TearDown() override { SetAudioClock(nullptr); }
    void Record(const std::vector<int>& offsetsMs) {
        recorder.StartRecording();
        int at = 0;
        uint8_t tag = 1;
        for (int ms : offsetsMs) {
            clock.Advance(static_cast<uint64_t>(ms - at));
            at = ms;
            auto b = Block(tag, tag == 2);
            ++tag;
            source.Send(0, b.data(), 86);
        }
        recorder.StopRecording();
    }
    // Runs the scheduler in 10 ms steps for the given time.
    void Play(int ms) {
        for (int t = 0; t < ms; t += 10) {
            CAudioTask::RunAll();
            clock.Advance(10);
        }
    }

    ManualClock clock{1000};
    TempDir dir;
    std::string path;
    CFileBasedRecorder recorder;
    Source source;
    Sink sink;
};

TEST_F(RecorderTest, FileBytes) {
    Record({100, 400, 700});
    std::vector<uint8_t> expected;
    int tag = 1;
    for (uint32_t ms : {100u, 400u, 700u}) {
        Put32(expected, ms);
        Put32(expected, 86);
        auto b = Block(static_cast<uint8_t>(tag), tag == 2);
        ++tag;
        expected.insert(expected.end(), b.begin(), b.end());
    }
    EXPECT_EQ(ReadAll(path), expected);
    EXPECT_FALSE(recorder.IsRecording());
}

TEST_F(RecorderTest, PlaysBackWithTheRecordedTimingOnce) {
    Record({100, 400, 700});
    double start = AudioClockSeconds();
    ASSERT_EQ(recorder.StartPlayback(false), 1);
    Play(1500);
    ASSERT_EQ(sink.blocks.size(), 3u);
    const double offsets[] = {0.1, 0.4, 0.7};
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(sink.times[i] - start, offsets[i], 0.011);
    EXPECT_EQ(sink.blocks[1][1], 1) << "an end marker plays back like any block";
    EXPECT_FALSE(recorder.IsPlaying());
}

TEST_F(RecorderTest, LoopStartsTheNextPassAfterTheLast) {
    Record({100, 400, 700});
    double start = AudioClockSeconds();
    recorder.StartPlayback(true);
    Play(1000);
    ASSERT_EQ(sink.blocks.size(), 4u);
    EXPECT_EQ(sink.blocks[3], sink.blocks[0]);
    EXPECT_NEAR(sink.times[3] - sink.times[2], 0.1, 0.021);
    EXPECT_TRUE(recorder.IsPlaying());
    recorder.StopPlayback();
    Play(1000);
    EXPECT_EQ(sink.blocks.size(), 4u);
    (void)start;
}

TEST_F(RecorderTest, BadFilesEndPlaybackWithoutSendingGarbage) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int started;
        size_t sent;
    };
    std::vector<uint8_t> good;
    Put32(good, 0);
    Put32(good, 86);
    auto b = Block(1);
    good.insert(good.end(), b.begin(), b.end());
    auto huge = good;
    Put32(huge, 10);
    Put32(huge, 5000);
    huge.resize(huge.size() + 5000, 0);
    auto negative = good;
    Put32(negative, 10);
    Put32(negative, 0xFFFFFFFFu);
    auto cut = good;
    Put32(cut, 10);
    Put32(cut, 86);
    cut.resize(cut.size() + 40, 0);
    auto stampCut = good;
    stampCut.push_back(1);
    const Case cases[] = {
        {"empty", {}, 0, 0},
        {"longer than any block", huge, 1, 1},
        {"negative length", negative, 1, 1},
        {"bytes cut short", cut, 1, 1},
        {"time stamp cut short", stampCut, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(path, c.bytes);
        sink.blocks.clear();
        EXPECT_EQ(recorder.StartPlayback(true), c.started);
        Play(300);
        EXPECT_EQ(sink.blocks.size(), c.sent);
        EXPECT_FALSE(recorder.IsPlaying());
    }
}

TEST_F(RecorderTest, MissingFileStartsNothing) {
    recorder.SetFileName(dir.File("none/x.dat"));
    recorder.StartRecording();
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(recorder.StartPlayback(false), 0);
    EXPECT_FALSE(recorder.IsPlaying());
}

}  // namespace
