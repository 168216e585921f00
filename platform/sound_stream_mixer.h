// What a sound card's callback shares with the main thread: a capture ring the
// callback fills and the main thread reads, and a playback mixer whose streams
// the main thread fills and whose callback side sums them into one signal;
// and the capture and playback devices built on them.
// Each ring has one writer and one reader and only atomics between them, so
// the callback never waits for the main thread, never allocates and never
// takes a lock. Tested by tests/platform/sound_stream_mixer_test.cpp and
// tests/threads/sound_stream_threads_test.cpp.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound_hardware.h"

// A single-writer, single-reader ring of samples; the counters only grow.
class SampleRing {
public:
    explicit SampleRing(size_t capacity);
    size_t Capacity() const { return m_buffer.size(); }
    // Writer side. Copies what fits and returns the count.
    size_t Push(const int16_t* samples, size_t count);
    size_t Free() const;
    uint64_t WriteCount() const { return m_write.load(std::memory_order_acquire); }
    // Reader side.
    size_t Queued() const;
    size_t Pop(int16_t* destination, size_t count);
    // Adds what is queued (at most count) into sums, and takes it out.
    size_t PopAdd(int32_t* sums, size_t count);
    // Drops what is queued now; called by the reader.
    void Clear();
    // Drops, at the reader's next call, everything written up to now; any
    // thread but the reader (which uses Clear).
    void DropWritten() { m_dropTo.store(m_write.load(std::memory_order_acquire), std::memory_order_release); }

private:
    uint64_t ReadPosition();

    std::vector<int16_t> m_buffer;
    std::atomic<uint64_t> m_write{0};
    std::atomic<uint64_t> m_read{0};
    std::atomic<uint64_t> m_dropTo{0};
};

// The main thread is the writer of every stream; the device's callback calls
// Mix. A stream that runs dry plays silence: a sample is played at most once.
class SoundStreamMixer {
public:
    // capacity: samples each stream may hold queued.
    SoundStreamMixer(int streams, size_t capacity);
    int StreamCount() const { return static_cast<int>(m_streams.size()); }
    // Takes all the samples or none (a stream never plays half a block);
    // false when they do not fit or the stream does not exist.
    bool Write(uint32_t stream, const int16_t* samples, size_t count);
    bool IsPlaying(uint32_t stream) const;
    // Drops what the stream holds queued.
    void Stop(uint32_t stream);
    // Callback side: sums every stream into `frames` samples, clipped to the
    // 16-bit range, silence where nothing is queued.
    void Mix(int16_t* out, size_t frames);

private:
    std::vector<std::unique_ptr<SampleRing>> m_streams;
};

// Capture from a ring a device's callback fills (Capture). Open, Close and
// IsOpen are the device's; here they only mark the state.
class RingInSoundHardware : public CInSoundHardware {
public:
    explicit RingInSoundHardware(size_t capacity) : m_ring(capacity) {}
    bool Open() override { return m_open = true; }
    void Close() override { m_open = false; }
    int Available() override;
    int Read(int bytes, void* destination) override;
    void Discard() override { m_ring.Clear(); }
    bool IsOpen() const override { return m_open; }
    // Callback side. A full ring drops the newest samples: the reader has
    // fallen the whole ring behind.
    void Capture(const int16_t* samples, size_t count) { m_ring.Push(samples, count); }

protected:
    SampleRing m_ring;
    bool m_open = false;
};

// Playback into a mixer a device's callback drains (Render). Every write is
// refused until the device marks its stream running.
class MixingOutSoundHardware : public COutSoundHardware {
public:
    MixingOutSoundHardware(int streams, size_t capacity) : m_mixer(streams, capacity) {}
    int StreamCount() const override { return m_mixer.StreamCount(); }
    int Write(uint32_t stream, int16_t* samples, int bytes) override;
    bool IsPlaying(uint32_t stream) const override { return m_mixer.IsPlaying(stream); }
    void EndStream(uint32_t) override {}
    void Stop(uint32_t stream) override { m_mixer.Stop(stream); }
    void SetVolume(int16_t percent) override { m_volume = SoundVolumeFactor(percent); }
    bool IsOpen() const override { return m_running; }
    void SetRunning(bool running) { m_running = running; }
    // Callback side.
    void Render(int16_t* out, size_t frames) { m_mixer.Mix(out, frames); }

private:
    SoundStreamMixer m_mixer;
    float m_volume = 1.0f;
    bool m_running = false;
};
