// Tested by tests/platform/sound_stream_mixer_test.cpp.
#include "platform/portaudio_sound_devices.h"

#include <dlfcn.h>
#include <portaudio.h>

#include "platform/sound_stream_mixer.h"

namespace {

// ALSA and JACK print to stderr while PortAudio probes devices; their setters
// are looked up at run time so we need neither library's headers.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

void SilenceAudioLibraries() {
    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using AlsaSetter = int (*)(AlsaHandler);
    using JackSetter = void (*)(void (*)(const char*));
    if (auto set = reinterpret_cast<AlsaSetter>(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")))
        set(QuietAlsa);
    if (auto set = reinterpret_cast<JackSetter>(dlsym(RTLD_DEFAULT, "jack_set_error_function")))
        set(QuietJack);
    if (auto set = reinterpret_cast<JackSetter>(dlsym(RTLD_DEFAULT, "jack_set_info_function")))
        set(QuietJack);
}

// Opens and starts a mono 16-bit stream on one device; null on failure.
PaStream* OpenMonoStream(int device, bool input, double rate, PaStreamCallback* callback, void* user) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (!info) return nullptr;
    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = 1;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency = input ? info->defaultLowInputLatency : info->defaultLowOutputLatency;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, input ? &parameters : nullptr, input ? nullptr : &parameters, rate,
                      paFramesPerBufferUnspecified, paNoFlag, callback, user) != paNoError)
        return nullptr;
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return nullptr;
    }
    return stream;
}

void CloseStream(PaStream*& stream) {
    if (!stream) return;
    // Returns once the callback has finished its last run.
    Pa_StopStream(stream);
    Pa_CloseStream(stream);
    stream = nullptr;
}

class PortAudioInSoundHardware final : public RingInSoundHardware {
public:
    PortAudioInSoundHardware(std::shared_ptr<PortAudioLibrary> library, int device, double rate)
        : RingInSoundHardware(PortAudioSoundDeviceProvider::kRingSamples),
          m_library(std::move(library)),
          m_device(device),
          m_rate(rate) {}
    ~PortAudioInSoundHardware() override { Close(); }
    PortAudioInSoundHardware(const PortAudioInSoundHardware&) = delete;
    PortAudioInSoundHardware& operator=(const PortAudioInSoundHardware&) = delete;

    bool Open() override {
        if (m_stream) return true;
        if (!m_library->IsReady() || m_device < 0) return false;
        m_ring.Clear();
        m_stream = OpenMonoStream(m_device, true, m_rate, &PortAudioInSoundHardware::Callback, this);
        m_open = m_stream != nullptr;
        return m_open;
    }
    void Close() override {
        CloseStream(m_stream);
        m_open = false;
    }

private:
    static int Callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* self) {
        if (input)
            static_cast<PortAudioInSoundHardware*>(self)->Capture(static_cast<const int16_t*>(input), frames);
        return paContinue;
    }

    std::shared_ptr<PortAudioLibrary> m_library;
    int m_device;
    double m_rate;
    PaStream* m_stream = nullptr;
};

class PortAudioOutSoundHardware final : public MixingOutSoundHardware {
public:
    PortAudioOutSoundHardware(std::shared_ptr<PortAudioLibrary> library, int streams, int device, double rate)
        : MixingOutSoundHardware(streams, PortAudioSoundDeviceProvider::kRingSamples),
          m_library(std::move(library)) {
        if (m_library->IsReady() && device >= 0 && streams > 0)
            m_stream = OpenMonoStream(device, false, rate, &PortAudioOutSoundHardware::Callback, this);
        SetRunning(m_stream != nullptr);
    }
    ~PortAudioOutSoundHardware() override { CloseStream(m_stream); }
    PortAudioOutSoundHardware(const PortAudioOutSoundHardware&) = delete;
    PortAudioOutSoundHardware& operator=(const PortAudioOutSoundHardware&) = delete;

private:
    static int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* self) {
        static_cast<PortAudioOutSoundHardware*>(self)->Render(static_cast<int16_t*>(output), frames);
        return paContinue;
    }

    std::shared_ptr<PortAudioLibrary> m_library;
    PaStream* m_stream = nullptr;
};

int Pick(const std::vector<int>& devices, uint16_t index, bool input) {
    int position = ChooseSoundDevice(index, devices.size());
    if (position == kNoSoundDevice) return -1;
    if (position == kSystemDefaultDevice) {
        PaDeviceIndex device = input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
        return device == paNoDevice ? -1 : device;
    }
    return devices[static_cast<size_t>(position)];
}

}  // namespace

PortAudioLibrary::PortAudioLibrary() {
    SilenceAudioLibraries();
    m_ready = Pa_Initialize() == paNoError;
}

PortAudioLibrary::~PortAudioLibrary() {
    if (m_ready) Pa_Terminate();
}

int ChooseSoundDevice(uint16_t index, size_t count) {
    auto position = static_cast<int16_t>(index);
    if (position < 0) return kSystemDefaultDevice;
    return static_cast<size_t>(position) < count ? position : kNoSoundDevice;
}

PortAudioSoundDeviceProvider::PortAudioSoundDeviceProvider()
    : m_library(std::make_shared<PortAudioLibrary>()) {
    if (!m_library->IsReady()) return;
    int count = Pa_GetDeviceCount();
    for (int device = 0; device < count; ++device) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (!info) continue;
        const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
        std::string name =
            std::string(api && api->name ? api->name : "Audio") + " - " + (info->name ? info->name : "");
        if (info->maxInputChannels > 0) {
            m_inputNames.push_back(name);
            m_inputDevices.push_back(device);
        }
        if (info->maxOutputChannels > 0) {
            m_outputNames.push_back(name);
            m_outputDevices.push_back(device);
        }
    }
}

PortAudioSoundDeviceProvider::~PortAudioSoundDeviceProvider() = default;

std::unique_ptr<CInSoundHardware> PortAudioSoundDeviceProvider::CreateInput(double deviceRate,
                                                                            uint16_t index) {
    int device = m_library->IsReady() ? Pick(m_inputDevices, index, true) : -1;
    return std::make_unique<PortAudioInSoundHardware>(m_library, device, deviceRate);
}

std::unique_ptr<COutSoundHardware> PortAudioSoundDeviceProvider::CreateOutput(int streams, double deviceRate,
                                                                              uint16_t index) {
    int device = m_library->IsReady() ? Pick(m_outputDevices, index, false) : -1;
    return std::make_unique<PortAudioOutSoundHardware>(m_library, streams, device, deviceRate);
}
