// VHF radio filter. Tested by tests/voice/melp_codec_test.cpp.
#include "voice/melp/vhf_filter.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr double kInputScale = 3.220974762;
// Feedback taps c[k] of y(n) = f(n) + sum c[k] y(n-k), k = 1..20.
constexpr double kFeedback[VHFFilter::kOrder] = {
    -0.4118903686, 7.5951929524, 2.7585353759, -26.266002252, -8.3017993953, 54.393625803, 14.718240069,
    -74.62008248,  -16.9246429,  70.795904825, 13.080372908,  -47.0082809,   -6.7900531742, 21.556606037,
    2.2816059726,  -6.5299404696, -0.4501045909, 1.1793284459, 0.0397015071, -0.0963885298};
// (1 - z^-2)^10: zeros at DC and at half the sampling rate.
constexpr double kForward[VHFFilter::kOrder / 2 + 1] = {1, -10, 45, -120, 210, -252, 210, -120, 45, -10, 1};
// Far above any speech level; only reached if the filter ever ran away.
constexpr float kRunaway = 1.0e7f;
}  // namespace

void VHFFilter::Reset() {
    std::fill(std::begin(m_input), std::end(m_input), 0.0f);
    std::fill(std::begin(m_output), std::end(m_output), 0.0f);
}

void VHFFilter::Process(float* x, int n) {
    for (int i = 0; i < n; ++i) {
        const float u = static_cast<float>(x[i] / kInputScale);
        double f = kForward[0] * u;
        for (int k = 1; k <= kOrder / 2; ++k) f += kForward[k] * m_input[2 * k - 1];
        double y = f;
        for (int k = 0; k < kOrder; ++k) y += kFeedback[k] * m_output[k];
        std::copy_backward(m_input, m_input + kOrder - 1, m_input + kOrder);
        m_input[0] = u;
        std::copy_backward(m_output, m_output + kOrder - 1, m_output + kOrder);
        m_output[0] = static_cast<float>(y);
        if (!(std::fabs(m_output[0]) < kRunaway)) {
            Reset();
            y = 0.0;
        }
        x[i] = static_cast<float>(y);
    }
}
