// Tested by tests/platform/cue_player_test.cpp.
#include "platform/cue_player.h"

#include <portaudio.h>
#include <sndfile.h>

#include <algorithm>

#include "platform/portaudio_sound_devices.h"

bool LoadCueSound(const std::string& path, CueSound& sound) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    // Cues are a few seconds long; a minute is a generous ceiling that keeps a
    // wrong file from filling memory.
    constexpr sf_count_t kMaxFrames = 60 * 192000;
    if (info.channels < 1 || info.channels > 8 || info.samplerate < 1 || info.frames > kMaxFrames) {
        sf_close(file);
        return false;
    }
    sound.sampleRate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.assign(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels), 0.0f);
    sf_count_t read = sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    if (read < 0) return false;
    sound.samples.resize(static_cast<size_t>(read) * static_cast<size_t>(info.channels));
    return true;
}

bool MemoryCueOutput::Start(int sampleRate, int channels, Pull pull) {
    if (m_failOpen) return false;
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_pull = std::move(pull);
    return true;
}

void MemoryCueOutput::Stop() { m_pull = nullptr; }

std::vector<float> MemoryCueOutput::Render(unsigned long frames) {
    std::vector<float> out;
    if (!m_pull) return out;
    out.assign(frames * static_cast<unsigned long>(m_channels), -1.0f);
    m_pull(out.data(), frames);
    return out;
}

CuePlayer::CuePlayer(std::unique_ptr<CueOutput> output) : m_output(std::move(output)) {}

CuePlayer::~CuePlayer() {
    std::lock_guard<std::mutex> device(m_deviceMutex);
    if (m_output) m_output->Stop();
}

bool CuePlayer::Play(const std::string& path, CueMode mode) {
    auto cue = std::make_unique<CueSound>();
    if (!LoadCueSound(path, *cue) || cue->samples.empty()) return false;
    // One caller at a time opens and closes the device (a stream is not
    // opened from two threads at once); the callback never takes this lock.
    std::lock_guard<std::mutex> device(m_deviceMutex);
    if (mode == CueMode::NoStop && IsPlaying()) return false;
    // The device is stopped before the cue changes, so the callback never sees
    // a cue with another format than its stream's.
    m_output->Stop();
    int rate = cue->sampleRate;
    int channels = cue->channels;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cue = std::move(cue);
        m_position = 0;
        m_loop = mode == CueMode::Loop;
    }
    m_streamChannels = channels;
    if (!m_output->Start(rate, channels, [this](float* out, unsigned long frames) { Render(out, frames); })) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cue.reset();
        return false;
    }
    return true;
}

bool CuePlayer::Stop() {
    std::lock_guard<std::mutex> device(m_deviceMutex);
    m_output->Stop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cue.reset();
    m_position = 0;
    return true;
}

bool CuePlayer::IsPlaying() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cue && (m_loop || m_position < m_cue->samples.size());
}

void CuePlayer::Render(float* out, unsigned long frames) {
    std::unique_lock<std::mutex> lock(m_mutex, std::try_to_lock);
    size_t wanted = 0;
    if (lock.owns_lock() && m_cue) wanted = frames * static_cast<size_t>(m_cue->channels);
    size_t written = 0;
    while (written < wanted) {
        const std::vector<float>& samples = m_cue->samples;
        if (m_position >= samples.size()) {
            if (!m_loop) break;
            m_position = 0;
        }
        size_t n = std::min(wanted - written, samples.size() - m_position);
        std::copy_n(samples.data() + m_position, n, out + written);
        written += n;
        m_position += n;
    }
    // Silence for the rest, also when the lock was busy.
    size_t total = frames * static_cast<size_t>(m_streamChannels.load());
    if (written < total) std::fill(out + written, out + total, 0.0f);
}

namespace {

class PortAudioCueOutput final : public CueOutput {
public:
    PortAudioCueOutput() = default;
    ~PortAudioCueOutput() override { Stop(); }
    PortAudioCueOutput(const PortAudioCueOutput&) = delete;
    PortAudioCueOutput& operator=(const PortAudioCueOutput&) = delete;

    bool Start(int sampleRate, int channels, Pull pull) override {
        Stop();
        if (!m_library.IsReady() || Pa_GetDefaultOutputDevice() == paNoDevice) return false;
        m_pull = std::move(pull);
        if (Pa_OpenDefaultStream(&m_stream, 0, channels, paFloat32, sampleRate, paFramesPerBufferUnspecified,
                                 &PortAudioCueOutput::Callback, this) != paNoError) {
            m_stream = nullptr;
            return false;
        }
        if (Pa_StartStream(m_stream) != paNoError) {
            Stop();
            return false;
        }
        return true;
    }

    void Stop() override {
        if (!m_stream) return;
        Pa_StopStream(m_stream);
        Pa_CloseStream(m_stream);
        m_stream = nullptr;
    }

private:
    static int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* self) {
        static_cast<PortAudioCueOutput*>(self)->m_pull(static_cast<float*>(output), frames);
        return paContinue;
    }

    PortAudioLibrary m_library;
    PaStream* m_stream = nullptr;
    Pull m_pull;
};

}  // namespace

std::unique_ptr<CueOutput> CreatePortAudioCueOutput() { return std::make_unique<PortAudioCueOutput>(); }
