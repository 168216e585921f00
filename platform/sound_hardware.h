// The two interfaces through which voice reaches a sound card, capture and
// multi-stream playback of 16-bit mono samples, and the provider that lists a
// machine's devices and opens one by its position in the list.
// Memory devices: platform/memory_sound_devices.h; PortAudio devices:
// platform/portaudio_sound_devices.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CInSoundHardware {
public:
    virtual ~CInSoundHardware() = default;
    // Opens and starts capture.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Bytes captured and not yet read.
    virtual int Available() = 0;
    // Copies at most `bytes` and at most Available() bytes; returns the count.
    virtual int Read(int bytes, void* destination) = 0;
    virtual void Discard() = 0;
    virtual bool IsOpen() const = 0;
};

class COutSoundHardware {
public:
    virtual ~COutSoundHardware() = default;
    virtual int StreamCount() const = 0;
    // Bytes accepted, 0 when refused. The samples may be scaled in place.
    virtual int Write(uint32_t stream, int16_t* samples, int bytes) = 0;
    virtual bool IsPlaying(uint32_t stream) const = 0;
    // The talker on this stream has finished.
    virtual void EndStream(uint32_t stream) = 0;
    // Stops the stream and drops what is queued.
    virtual void Stop(uint32_t stream) = 0;
    virtual void SetVolume(int16_t percent) = 0;
    virtual bool IsOpen() const = 0;
};

// Percent to a linear factor, (p / 100) squared: 100 gives 1, 50 gives 0.25.
float SoundVolumeFactor(int percent);

// Scales samples in place, clipped to the 16-bit range.
void ScaleSamples(int16_t* samples, int count, float factor);

// The index that leaves the choice to the system (no device chosen yet).
inline constexpr uint16_t kDefaultSoundDevice = 0xFFFF;

class SoundDeviceProvider {
public:
    virtual ~SoundDeviceProvider() = default;
    virtual std::vector<std::string> InputDeviceNames() = 0;
    virtual std::vector<std::string> OutputDeviceNames() = 0;
    // index: a position in the names list, or kDefaultSoundDevice. A position
    // past the list gives a device that does not open. Capture comes back
    // unopened; playback opens at once (IsOpen tells).
    virtual std::unique_ptr<CInSoundHardware> CreateInput(double deviceRate, uint16_t index) = 0;
    virtual std::unique_ptr<COutSoundHardware> CreateOutput(int streams, double deviceRate,
                                                            uint16_t index) = 0;
};
