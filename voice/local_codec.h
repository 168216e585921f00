// CLocalCodec joins a machine's sound devices to the audio graph: as a task it
// encodes captured speech into coded blocks, as a consumer it keeps up to
// four talkers apart, decodes each and plays it on its own output stream.
// Main thread only. Tested by tests/voice/local_codec_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "voice/audio_graph.h"
#include "voice/audio_task.h"

class CAudioCodec;
class CInSoundHardware;
class COutSoundHardware;
class SoundDeviceProvider;

class CLocalCodecHandler {
public:
    virtual ~CLocalCodecHandler() = default;
    // The codec started or stopped receiving speech.
    virtual void OnReceiving(bool receiving) = 0;
};

class CLocalCodec : public CAudioProducerConsumer, public CAudioTask {
public:
    static constexpr double kSampleRate = 7350.0;
    static constexpr int kOutputStreams = 5;
    static constexpr int kTalkerSlots = 4;
    // A talker silent this long frees its slot when the next block comes.
    static constexpr double kTalkerTimeout = 2.0;

    // The provider must outlive the codec. Output only: no capture device.
    CLocalCodec(SoundDeviceProvider& devices, bool outputOnly);
    ~CLocalCodec() override;

    virtual void StartNoiseMeasure();
    virtual void EndNoiseMeasure();
    virtual void StartLevelMeasure();
    virtual uint32_t EndLevelMeasure();
    virtual float GetInputSquelch() const;
    virtual float GetOutputSquelch() const;
    virtual void SetInputSquelch(float level);
    virtual void SetOutputSquelch(float level);

    void SetHandler(CLocalCodecHandler* handler) { m_handler = handler; }
    bool SetInputDevice(uint16_t index);
    void SetOutputDevice(uint16_t index);
    void GetDevices(std::vector<std::string>* inputNames, std::vector<std::string>* outputNames,
                    uint16_t* inputIndex, uint16_t* outputIndex);
    void SetVolume(int16_t percent);
    bool IsInputOpen() const;
    bool IsOutputOpen() const;
    void SetVHFSimulation(bool on) { m_vhfSimulation = on; }
    bool IsReceiving() const { return m_receiving; }

    void Consume(int32_t inputKey, const uint8_t* data, int16_t length) override;
    double Run() override;

    // The talker byte every block of this process carries; drawn once.
    static uint8_t ProcessTalkerByte();

private:
    struct TalkerSlot {
        uint16_t key = 0;
        double lastTime = 0;
        bool active = false;
        uint16_t lastSequence = 0;
    };

    SoundDeviceProvider& m_devices;
    CLocalCodecHandler* m_handler = nullptr;
    uint16_t m_outputIndex = 0xFFFF;
    uint16_t m_inputIndex = 0xFFFF;
    std::unique_ptr<CInSoundHardware> m_input;
    std::unique_ptr<COutSoundHardware> m_output;
    std::unique_ptr<CAudioCodec> m_codec;
    double m_period;
    int m_samplesPerBlock;  // bytes of 16-bit samples per coded block
    int m_blockLength;
    std::vector<uint8_t> m_block;
    std::vector<int16_t> m_samples;
    std::array<TalkerSlot, kTalkerSlots> m_slots{};
    bool m_receiving = false;
    uint16_t m_sequence = 1;
    std::vector<int16_t> m_leadIn;
    bool m_vhfSimulation = false;
};
