// The interface through which a local codec turns captured 16-bit speech into
// coded bytes and back. Decoding keeps one state per talker slot, so talkers
// decoded in turn never continue each other's speech.
#pragma once

#include <cstdint>

class CAudioCodec {
public:
    virtual ~CAudioCodec() = default;
    virtual int EncodedBytes() const = 0;  // per block
    virtual int PcmBytes() const = 0;      // per block
    virtual double Rate() const = 0;       // the rate the gain stages are sized for
    virtual double BlockSeconds(double rate) const = 0;
    virtual void Encode(int count, const int16_t* samples, uint8_t* out) = 0;
    // talker: the caller's talker slot, 0..TalkerSlots()-1.
    virtual void Decode(int talker, bool outputStage, bool vhfFilter, int count, const uint8_t* in,
                        int16_t* out) = 0;
    virtual int TalkerSlots() const = 0;
    // A slot that a new talker takes starts from silence.
    virtual void ResetTalker(int talker) = 0;
    virtual void StartNoiseMeasure() = 0;
    virtual void EndNoiseMeasure() = 0;
    virtual void StartLevelMeasure() = 0;
    // Bits: 1 noisy input, 2 speech below four times the noise, 4 clipping, 8 too quiet.
    virtual uint32_t EndLevelMeasure() = 0;
    virtual float GetInputSquelch() const = 0;
    virtual float GetOutputSquelch() const = 0;
    virtual void SetInputSquelch(float level) = 0;
    virtual void SetOutputSquelch(float level) = 0;
    virtual void SetInputGate(bool on) = 0;
    virtual void SetOutputGate(bool on) = 0;
};
