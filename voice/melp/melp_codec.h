// CMELPCodec: blocks of 720 samples (four MELP frames) into 27 bytes and
// back, with an automatic gain stage on either side and the VHF radio filter.
// The encoder and every talker slot's decoder own their state.
// Tested by tests/voice/melp_codec_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "voice/melp/audio_codec.h"
#include "voice/melp/auto_gain_stage.h"

namespace melp {
struct MelpAnalysis;
struct MelpSynthesis;
}  // namespace melp

class CMELPCodec : public CAudioCodec {
public:
    static constexpr int kBlockSamples = 720;
    static constexpr int kBlockBytes = 27;
    static constexpr int kBlockWords = 36;  // 6-bit channel words
    static constexpr int kTalkers = 4;      // the local codec's talker slots
    static constexpr double kStageRate = 7600.0;

    CMELPCodec();
    ~CMELPCodec() override;
    CMELPCodec(const CMELPCodec&) = delete;
    CMELPCodec& operator=(const CMELPCodec&) = delete;

    int EncodedBytes() const override { return kBlockBytes; }
    int PcmBytes() const override { return kBlockSamples * 2; }
    double Rate() const override { return kStageRate; }
    double BlockSeconds(double rate) const override { return kBlockSamples / rate; }
    void Encode(int count, const int16_t* samples, uint8_t* out) override;
    void Decode(int talker, bool outputStage, bool vhfFilter, int count, const uint8_t* in,
                int16_t* out) override;
    int TalkerSlots() const override { return kTalkers; }
    void ResetTalker(int talker) override;
    void StartNoiseMeasure() override { m_input.StartNoiseMeasure(); }
    void EndNoiseMeasure() override { m_input.EndNoiseMeasure(); }
    void StartLevelMeasure() override { m_input.StartLevelMeasure(); }
    uint32_t EndLevelMeasure() override { return m_input.EndLevelMeasure(); }
    float GetInputSquelch() const override { return m_input.Squelch(); }
    float GetOutputSquelch() const override { return m_outputSquelch; }
    void SetInputSquelch(float level) override { m_input.SetSquelch(level); }
    void SetOutputSquelch(float level) override;
    void SetInputGate(bool on) override { m_input.SetGate(on); }
    void SetOutputGate(bool on) override;

    // Frames whose LSF root search failed so far (they kept the previous LSFs).
    int RootFailures() const;

private:
    struct Talker;
    std::unique_ptr<melp::MelpAnalysis> m_analysis;
    std::array<std::unique_ptr<Talker>, kTalkers> m_talkers;
    AutoGainStage m_input;
    float m_outputSquelch;
};
