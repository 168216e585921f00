// Automatic gain stage. Tested by tests/voice/melp_codec_test.cpp.
#include "voice/melp/auto_gain_stage.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kMaxGain = 8.0f;
constexpr float kFullScale = 32750.0f;  // kept below 32767 so rounding cannot overflow
}  // namespace

AutoGainStage::AutoGainStage(double rate)
    : m_window(std::max<size_t>(1, static_cast<size_t>(rate * 0.1)), 0.0f) {}

void AutoGainStage::ResetDynamics() {
    m_gain = 1.0f;
    m_limiterGain = kMaxGain;
    std::fill(m_window.begin(), m_window.end(), 0.0f);
    m_position = 0;
    m_sum = 0.0;
}

void AutoGainStage::Process(float* x, int n) {
    const size_t size = m_window.size();
    for (int i = 0; i < n; ++i) {
        const float a = std::fabs(x[i]);
        float limit = a == 0.0f ? kMaxGain : std::min(kMaxGain, kFullScale / a);
        m_sum -= m_window[m_position];
        m_window[m_position] = a * a;
        m_sum += m_window[m_position];
        if (++m_position == size) {
            m_position = 0;
            // A running sum drifts; start afresh once per window.
            m_sum = 0.0;
            for (float v : m_window) m_sum += v;
        }
        const float rms = static_cast<float>(std::sqrt(std::max(m_sum, 0.0) / size));
        if (m_measuringNoise && rms > m_noisePeak) m_noisePeak = rms;
        if (m_measuringLevel) {
            m_levelRmsPeak = std::max(m_levelRmsPeak, rms);
            m_levelSamplePeak = std::max(m_levelSamplePeak, a);
        }
        if (rms < m_squelch && m_gain > 1.0f) {
            // Below the squelch a raised gain is held, and the gate keeps
            // noise from being amplified.
            if (m_gate) limit = std::min(limit, 1.0f);
        } else if (rms != 0.0f) {
            if (rms > 2000.0f && 2000.0f / rms < m_gain) m_gain *= m_fall;
            if (rms < 1000.0f && m_gain < 1000.0f / rms) m_gain *= m_rise;
        }
        if (m_gain < 0.5f) m_gain = 0.5f;
        if (m_limiterGain < limit) m_limiterGain *= m_release;
        if (m_limiterGain > limit) m_limiterGain = limit;
        x[i] *= std::min(m_limiterGain, m_gain);
    }
}

void AutoGainStage::StartNoiseMeasure() {
    m_measuringNoise = true;
    m_noisePeak = 0.0f;
}

void AutoGainStage::EndNoiseMeasure() {
    m_measuringNoise = false;
    m_squelch = m_noisePeak == 0.0f ? 1.0f : m_noisePeak;
}

void AutoGainStage::StartLevelMeasure() {
    m_measuringLevel = true;
    m_levelRmsPeak = 0.0f;
    m_levelSamplePeak = 0.0f;
}

uint32_t AutoGainStage::EndLevelMeasure() {
    m_measuringLevel = false;
    uint32_t flags = 0;
    if (m_levelRmsPeak / m_squelch < 4.0f) flags |= kBelowNoise;
    if (m_squelch > 300.0f) flags |= kNoisy;
    if (m_levelSamplePeak < 4000.0f) flags |= kTooQuiet;
    if (m_levelSamplePeak > 32765.0f) flags |= kClipping;
    return flags;
}
