// Tested by tests/platform/sound_stream_mixer_test.cpp.
#include "platform/sound_stream_mixer.h"

#include <algorithm>

SampleRing::SampleRing(size_t capacity) : m_buffer(std::max<size_t>(capacity, 1)) {}

size_t SampleRing::Free() const {
    // Counted from the reader's own position, which a pending drop only moves
    // forward, so a drop never lets the writer overwrite unread samples.
    return m_buffer.size() - static_cast<size_t>(m_write.load(std::memory_order_relaxed) -
                                                 m_read.load(std::memory_order_acquire));
}

size_t SampleRing::Push(const int16_t* samples, size_t count) {
    size_t n = std::min(Free(), count);
    uint64_t write = m_write.load(std::memory_order_relaxed);
    size_t size = m_buffer.size();
    for (size_t i = 0; i < n; ++i) m_buffer[static_cast<size_t>((write + i) % size)] = samples[i];
    m_write.store(write + n, std::memory_order_release);
    return n;
}

uint64_t SampleRing::ReadPosition() {
    uint64_t read = m_read.load(std::memory_order_relaxed);
    uint64_t drop = m_dropTo.load(std::memory_order_acquire);
    if (drop > read) {
        read = drop;
        m_read.store(read, std::memory_order_release);
    }
    return read;
}

size_t SampleRing::Queued() const {
    uint64_t read =
        std::max(m_read.load(std::memory_order_acquire), m_dropTo.load(std::memory_order_acquire));
    uint64_t write = m_write.load(std::memory_order_acquire);
    return write > read ? static_cast<size_t>(write - read) : 0;
}

size_t SampleRing::Pop(int16_t* destination, size_t count) {
    uint64_t read = ReadPosition();
    uint64_t write = m_write.load(std::memory_order_acquire);
    size_t n = std::min(static_cast<size_t>(write - read), count);
    size_t size = m_buffer.size();
    for (size_t i = 0; i < n; ++i) destination[i] = m_buffer[static_cast<size_t>((read + i) % size)];
    m_read.store(read + n, std::memory_order_release);
    return n;
}

size_t SampleRing::PopAdd(int32_t* sums, size_t count) {
    uint64_t read = ReadPosition();
    uint64_t write = m_write.load(std::memory_order_acquire);
    size_t n = std::min(static_cast<size_t>(write - read), count);
    size_t size = m_buffer.size();
    for (size_t i = 0; i < n; ++i) sums[i] += m_buffer[static_cast<size_t>((read + i) % size)];
    m_read.store(read + n, std::memory_order_release);
    return n;
}

void SampleRing::Clear() { m_read.store(m_write.load(std::memory_order_acquire), std::memory_order_release); }

SoundStreamMixer::SoundStreamMixer(int streams, size_t capacity) {
    for (int i = 0; i < streams; ++i) m_streams.push_back(std::make_unique<SampleRing>(capacity));
}

bool SoundStreamMixer::Write(uint32_t stream, const int16_t* samples, size_t count) {
    if (stream >= m_streams.size()) return false;
    SampleRing& ring = *m_streams[stream];
    if (ring.Free() < count) return false;
    return ring.Push(samples, count) == count;
}

bool SoundStreamMixer::IsPlaying(uint32_t stream) const {
    return stream < m_streams.size() && m_streams[stream]->Queued() > 0;
}

void SoundStreamMixer::Stop(uint32_t stream) {
    if (stream < m_streams.size()) m_streams[stream]->DropWritten();
}

void SoundStreamMixer::Mix(int16_t* out, size_t frames) {
    // In slices, so the sums live on the stack.
    constexpr size_t kSlice = 256;
    int32_t sums[kSlice];
    while (frames > 0) {
        size_t n = std::min(frames, kSlice);
        std::fill_n(sums, n, 0);
        for (auto& stream : m_streams) stream->PopAdd(sums, n);
        for (size_t i = 0; i < n; ++i) out[i] = static_cast<int16_t>(std::clamp(sums[i], -32768, 32767));
        out += n;
        frames -= n;
    }
}

int RingInSoundHardware::Available() { return m_open ? static_cast<int>(m_ring.Queued() * 2) : 0; }

int RingInSoundHardware::Read(int bytes, void* destination) {
    if (!m_open || bytes < 2) return 0;
    return static_cast<int>(m_ring.Pop(static_cast<int16_t*>(destination), static_cast<size_t>(bytes / 2)) *
                            2);
}

int MixingOutSoundHardware::Write(uint32_t stream, int16_t* samples, int bytes) {
    if (!m_running || bytes < 0) return 0;
    int count = bytes / 2;
    ScaleSamples(samples, count, m_volume);
    return m_mixer.Write(stream, samples, static_cast<size_t>(count)) ? bytes : 0;
}
