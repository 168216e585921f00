// The sound-cue player: plays one short wave file at a time on an output
// device, with the rules of the program's cues (interrupt, no-stop, loop,
// stop). Tested by tests/platform/cue_player_test.cpp.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A decoded sound: interleaved float samples.
struct CueSound {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;
};

// Reads a sound file through libsndfile; false when it cannot be read.
bool LoadCueSound(const std::string& path, CueSound& sound);

// One output stream. pull fills `frames` frames of interleaved floats; it is
// called on the device's own thread.
class CueOutput {
public:
    using Pull = std::function<void(float* out, unsigned long frames)>;
    virtual ~CueOutput() = default;
    // False when the device cannot be opened (no sound card, for instance).
    virtual bool Start(int sampleRate, int channels, Pull pull) = 0;
    virtual void Stop() = 0;
};

// A device that plays into memory when the test asks it to.
class MemoryCueOutput final : public CueOutput {
public:
    bool Start(int sampleRate, int channels, Pull pull) override;
    void Stop() override;
    // Runs the device for `frames` frames and returns what it played; empty
    // when the stream is not started.
    std::vector<float> Render(unsigned long frames);
    bool IsStarted() const { return static_cast<bool>(m_pull); }
    int SampleRate() const { return m_sampleRate; }
    int Channels() const { return m_channels; }
    // Makes the next Start calls fail, as a missing sound card does.
    void SetFailOpen(bool fail) { m_failOpen = fail; }

private:
    Pull m_pull;
    int m_sampleRate = 0;
    int m_channels = 0;
    bool m_failOpen = false;
};

// The default output device through PortAudio (ALSA and JACK messages kept
// off the terminal).
std::unique_ptr<CueOutput> CreatePortAudioCueOutput();

enum class CueMode {
    Interrupt,  // replaces a cue that plays
    NoStop,     // dropped while another cue plays
    Loop,       // replaces a playing cue and repeats until stopped
};

// Any thread may call Play, Stop and IsPlaying; the device thread only reads
// the current cue and never waits for them (it plays silence meanwhile).
class CuePlayer {
public:
    explicit CuePlayer(std::unique_ptr<CueOutput> output);
    ~CuePlayer();
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;

    // True when the cue was accepted: the file could be read, the device
    // opened, and (for NoStop) nothing else was playing.
    bool Play(const std::string& path, CueMode mode);
    // Stops whatever plays; true.
    bool Stop();
    bool IsPlaying() const;

private:
    void Render(float* out, unsigned long frames);

    std::unique_ptr<CueOutput> m_output;
    std::mutex m_deviceMutex;    // serialises Play and Stop
    mutable std::mutex m_mutex;  // guards the cue; the device thread only tries it
    std::unique_ptr<CueSound> m_cue;
    size_t m_position = 0;  // in samples
    bool m_loop = false;
    std::atomic<int> m_streamChannels{1};  // of the stream that runs
};
