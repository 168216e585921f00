// Sound devices in memory, for tests and for machines without a sound card:
// a card's capture is fed by the test, its playback streams keep what was
// written. Devices opened on one card share its buffers, so a test reaches
// them while the codec owns the device objects. Main thread only.
// Tested by tests/voice/rate_converter_test.cpp.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound_hardware.h"

// One memory sound card.
class MemorySoundCard {
public:
    // Samples the capture side will hand out, at the device rate.
    void Feed(const int16_t* samples, size_t count);
    size_t CaptureQueued() const { return m_capture.size(); }
    // Everything played on a stream since the last Take, after volume.
    std::vector<int16_t> TakePlayed(uint32_t stream);
    const std::vector<int16_t>& Played(uint32_t stream);
    // Writes on every stream refused while set.
    void SetRefuseWrites(bool refuse) { m_refuseWrites = refuse; }
    // Opening capture fails while set.
    void SetFailOpen(bool fail) { m_failOpen = fail; }
    int Stops(uint32_t stream) const;
    int Ends(uint32_t stream) const;
    double DeviceRate() const { return m_deviceRate; }

private:
    friend class MemoryInSoundHardware;
    friend class MemoryOutSoundHardware;
    friend class MemorySoundDeviceProvider;
    std::deque<int16_t> m_capture;
    std::vector<std::vector<int16_t>> m_played;
    std::vector<int> m_stops;
    std::vector<int> m_ends;
    bool m_refuseWrites = false;
    bool m_failOpen = false;
    double m_deviceRate = 0;
};

class MemoryInSoundHardware final : public CInSoundHardware {
public:
    explicit MemoryInSoundHardware(std::shared_ptr<MemorySoundCard> card) : m_card(std::move(card)) {}
    bool Open() override;
    void Close() override { m_open = false; }
    int Available() override;
    int Read(int bytes, void* destination) override;
    void Discard() override;
    bool IsOpen() const override { return m_open; }

private:
    std::shared_ptr<MemorySoundCard> m_card;
    bool m_open = false;
};

class MemoryOutSoundHardware final : public COutSoundHardware {
public:
    // A null card gives a device that does not open.
    MemoryOutSoundHardware(std::shared_ptr<MemorySoundCard> card, int streams);
    int StreamCount() const override { return m_streams; }
    int Write(uint32_t stream, int16_t* samples, int bytes) override;
    bool IsPlaying(uint32_t stream) const override;
    void EndStream(uint32_t stream) override;
    void Stop(uint32_t stream) override;
    void SetVolume(int16_t percent) override { m_volume = SoundVolumeFactor(percent); }
    bool IsOpen() const override { return m_card != nullptr; }

private:
    std::shared_ptr<MemorySoundCard> m_card;
    int m_streams;
    float m_volume = 1.0f;
};

// Named memory cards; the default device is card 0.
class MemorySoundDeviceProvider final : public SoundDeviceProvider {
public:
    MemorySoundDeviceProvider(std::vector<std::string> inputNames, std::vector<std::string> outputNames);
    std::vector<std::string> InputDeviceNames() override { return m_inputNames; }
    std::vector<std::string> OutputDeviceNames() override { return m_outputNames; }
    std::unique_ptr<CInSoundHardware> CreateInput(double deviceRate, uint16_t index) override;
    std::unique_ptr<COutSoundHardware> CreateOutput(int streams, double deviceRate, uint16_t index) override;
    // Null for a position past the list.
    std::shared_ptr<MemorySoundCard> InputCard(size_t index) const;
    std::shared_ptr<MemorySoundCard> OutputCard(size_t index) const;

private:
    std::vector<std::string> m_inputNames;
    std::vector<std::string> m_outputNames;
    std::vector<std::shared_ptr<MemorySoundCard>> m_inputs;
    std::vector<std::shared_ptr<MemorySoundCard>> m_outputs;
};
