// Voice's sound devices on PortAudio: one callback stream per device, capture
// into a ring the main thread reads, playback mixing the software streams the
// main thread fills. The provider lists the machine's devices once and opens
// one by its position in the list. Without a sound card the lists are empty
// and every device stays closed. Tested by
// tests/platform/sound_stream_mixer_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sound_hardware.h"

// PortAudio initialised (and the ALSA and JACK chatter silenced) while one of
// these lives; the cue player and the voice devices share the library.
class PortAudioLibrary {
public:
    PortAudioLibrary();
    ~PortAudioLibrary();
    PortAudioLibrary(const PortAudioLibrary&) = delete;
    PortAudioLibrary& operator=(const PortAudioLibrary&) = delete;
    bool IsReady() const { return m_ready; }

private:
    bool m_ready = false;
};

// Which device a list index picks: the system's default for
// kDefaultSoundDevice (any negative 16-bit value), the list's entry below
// `count`, none past the list.
inline constexpr int kSystemDefaultDevice = -1;
inline constexpr int kNoSoundDevice = -2;
int ChooseSoundDevice(uint16_t index, size_t count);

class PortAudioSoundDeviceProvider final : public SoundDeviceProvider {
public:
    PortAudioSoundDeviceProvider();
    ~PortAudioSoundDeviceProvider() override;
    // "<host API> - <device>", read when the provider was made.
    std::vector<std::string> InputDeviceNames() override { return m_inputNames; }
    std::vector<std::string> OutputDeviceNames() override { return m_outputNames; }
    std::unique_ptr<CInSoundHardware> CreateInput(double deviceRate, uint16_t index) override;
    std::unique_ptr<COutSoundHardware> CreateOutput(int streams, double deviceRate, uint16_t index) override;

    // Samples each playback stream and the capture ring hold: 3 s at 8000.
    static constexpr size_t kRingSamples = 24000;

private:
    std::shared_ptr<PortAudioLibrary> m_library;
    std::vector<std::string> m_inputNames;
    std::vector<std::string> m_outputNames;
    std::vector<int> m_inputDevices;  // PortAudio's device numbers
    std::vector<int> m_outputDevices;
};
