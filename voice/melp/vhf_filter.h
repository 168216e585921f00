// A fixed 20th-order band-pass that makes received speech sound like a VHF
// radio. Each decoder slot owns one, so talkers do not share its memory.
// Tested by tests/voice/melp_codec_test.cpp.
#pragma once

class VHFFilter {
public:
    static constexpr int kOrder = 20;
    // In place.
    void Process(float* x, int n);
    void Reset();

private:
    float m_input[kOrder] = {};   // u(n-1) .. u(n-20)
    float m_output[kOrder] = {};  // y(n-1) .. y(n-20)
};
