// ThreadSanitizer test: a device thread mixes playback streams and fills a
// capture ring while the main thread writes, stops and reads, as the sound
// card's callback and the voice engine do.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/sound_stream_mixer.h"

TEST(SoundStreamThreads, CallbackMixesAndCapturesBesideTheMainThread) {
    SoundStreamMixer mixer(3, 400);
    SampleRing capture(400);
    std::atomic<bool> done{false};
    std::atomic<long> mixedSum{0};
    std::thread device([&] {
        std::vector<int16_t> out(64);
        std::vector<int16_t> in(64, 1);
        while (!done.load()) {
            mixer.Mix(out.data(), out.size());
            long sum = 0;
            for (int16_t s : out) sum += s;
            mixedSum += sum;
            capture.Push(in.data(), in.size());
            std::this_thread::yield();
        }
    });
    std::vector<int16_t> block(60, 1);
    std::vector<int16_t> read(100);
    long written = 0;
    long captured = 0;
    for (int i = 0; i < 20000; ++i) {
        auto stream = static_cast<uint32_t>(i % 3);
        if (mixer.Write(stream, block.data(), block.size())) written += 60;
        if (i % 97 == 0) mixer.Stop(stream);
        (void)mixer.IsPlaying(stream);
        captured += static_cast<long>(capture.Pop(read.data(), read.size()));
        if (i % 301 == 0) capture.Clear();
    }
    done = true;
    device.join();
    EXPECT_LE(mixedSum.load(), written) << "no sample plays twice";
    EXPECT_GT(mixedSum.load(), 0);
    EXPECT_GT(captured, 0);
}
