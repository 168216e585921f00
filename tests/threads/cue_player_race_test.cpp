// Built with ThreadSanitizer: the cue player's device thread renders while
// other threads start, replace and stop cues.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/cue_player.h"

namespace {

// A device with its own thread, started and stopped as PortAudio does: Stop
// returns only when no callback runs.
class ThreadedOutput final : public CueOutput {
public:
    ~ThreadedOutput() override { Stop(); }
    bool Start(int, int channels, Pull pull) override {
        Stop();
        m_running = true;
        m_thread = std::thread([this, channels, pull = std::move(pull)] {
            std::vector<float> buffer(64 * static_cast<size_t>(channels));
            while (m_running) {
                pull(buffer.data(), 64);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        return true;
    }
    void Stop() override {
        m_running = false;
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

TEST(CuePlayerRace, PlayReplaceAndStopWhileTheDeviceRenders) {
    auto path = std::filesystem::temp_directory_path() / ("tarq-race-" + std::to_string(getpid()) + ".wav");
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> samples(2 * 400, 0.25f);
    sf_writef_float(file, samples.data(), 400);
    sf_close(file);

    CuePlayer player(std::make_unique<ThreadedOutput>());
    std::atomic<bool> stop{false};
    // The version-check worker plays its reminder from another thread.
    std::thread worker([&] {
        while (!stop) {
            player.Play(path.string(), CueMode::NoStop);
            player.IsPlaying();
        }
    });
    for (int i = 0; i < 200; ++i) {
        player.Play(path.string(), i % 3 == 0 ? CueMode::Loop : CueMode::Interrupt);
        player.IsPlaying();
        if (i % 7 == 0) player.Stop();
    }
    stop = true;
    worker.join();
    EXPECT_TRUE(player.Stop());
    EXPECT_FALSE(player.IsPlaying());
    std::filesystem::remove(path);
}

}  // namespace
