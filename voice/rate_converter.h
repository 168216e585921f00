// Sample-rate conversion between the codecs' 7350 samples per second and the
// rate a sound card opens at, and the wrappers that put it around a device,
// so a codec never sees the card's rate. Main thread only.
// Tested by tests/voice/rate_converter_test.cpp.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/sound_hardware.h"

// The common rate a card opens at for a wanted rate: 8000, 11025, 22050 or 44100.
double DeviceRate(double wanted);

// Linear interpolation between consecutive source samples, with the position
// kept across calls, so a stream cut into pieces converts as one.
class RateConverter {
public:
    void SetRates(double sourceRate, double destinationRate);
    void Reset();
    // Samples produced, or -1 when the destination holds fewer than needed
    // (the counters are then left as they were).
    int Resample(const int16_t* source, int count, int16_t* destination, int capacity);

private:
    double m_sourceRate = 8000.0;
    double m_destinationRate = 8000.0;
    int16_t m_lastSample = 0;
    int64_t m_sourceCount = 0;
    int64_t m_destinationCount = 0;
};

class CInConverterHardware final : public CInSoundHardware {
public:
    CInConverterHardware(std::unique_ptr<CInSoundHardware> inner, double deviceRate, double outerRate);
    bool Open() override { return m_inner->Open(); }
    void Close() override { m_inner->Close(); }
    int Available() override;
    int Read(int bytes, void* destination) override;
    void Discard() override { m_inner->Discard(); }
    bool IsOpen() const override { return m_inner->IsOpen(); }

private:
    RateConverter m_converter;
    std::deque<uint8_t> m_queue;  // converted bytes not yet handed out
    std::unique_ptr<CInSoundHardware> m_inner;
    double m_deviceRate;
    double m_outerRate;
    std::vector<int16_t> m_raw;
    std::vector<int16_t> m_converted;
};

class COutConverterHardware final : public COutSoundHardware {
public:
    COutConverterHardware(std::unique_ptr<COutSoundHardware> inner, double outerRate, double deviceRate);
    int StreamCount() const override { return m_inner->StreamCount(); }
    int Write(uint32_t stream, int16_t* samples, int bytes) override;
    bool IsPlaying(uint32_t stream) const override { return m_inner->IsPlaying(stream); }
    void EndStream(uint32_t stream) override;
    void Stop(uint32_t stream) override;
    void SetVolume(int16_t percent) override { m_inner->SetVolume(percent); }
    bool IsOpen() const override { return m_inner->IsOpen(); }

private:
    std::vector<RateConverter> m_converters;
    std::unique_ptr<COutSoundHardware> m_inner;
    std::vector<int16_t> m_staging;
};

// A device of the provider at DeviceRate(rate), wrapped so it works at `rate`.
std::unique_ptr<CInSoundHardware> CreateInputDevice(SoundDeviceProvider& provider, double rate,
                                                    uint16_t index);
std::unique_ptr<COutSoundHardware> CreateOutputDevice(SoundDeviceProvider& provider, int streams, double rate,
                                                      uint16_t index);
