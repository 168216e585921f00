// Automatic gain with a squelch, a peak limiter and level measurement, run
// on each side of the speech coder. Tested by tests/voice/melp_codec_test.cpp.
#pragma once

#include <cstdint>
#include <vector>

class AutoGainStage {
public:
    // Level flags of EndLevelMeasure.
    static constexpr uint32_t kNoisy = 1;
    static constexpr uint32_t kBelowNoise = 2;
    static constexpr uint32_t kClipping = 4;
    static constexpr uint32_t kTooQuiet = 8;

    explicit AutoGainStage(double rate);
    // In place, samples in 16-bit scale.
    void Process(float* x, int n);
    // Back to unity gain and an empty window; settings stay.
    void ResetDynamics();

    void StartNoiseMeasure();
    void EndNoiseMeasure();
    void StartLevelMeasure();
    uint32_t EndLevelMeasure();
    float Squelch() const { return m_squelch; }
    void SetSquelch(float level) { m_squelch = level == 0.0f ? 1.0f : level; }
    void SetGate(bool on) { m_gate = on; }
    float Gain() const { return m_gain; }
    float LimiterGain() const { return m_limiterGain; }

private:
    float m_gain = 1.0f;
    float m_fall = 0.9996f;
    float m_rise = 1.0004f;
    float m_squelch = 50.0f;  // RMS in sample units
    bool m_gate = true;
    float m_limiterGain = 8.0f;
    float m_release = 1.004f;
    std::vector<float> m_window;  // squares of the last samples
    uint32_t m_position = 0;
    double m_sum = 0.0;
    bool m_measuringNoise = false;
    bool m_measuringLevel = false;
    float m_noisePeak = 0.0f;
    float m_levelRmsPeak = 0.0f;
    float m_levelSamplePeak = 0.0f;
};
