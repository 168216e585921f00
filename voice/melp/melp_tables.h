// The MELP standard's codebooks and filter taps, as generated from the shared
// data folder at configure time, and the codebooks in the form the coder
// searches (converted once per process). Tested by tests/voice/melp_dsp_test.cpp.
#pragma once

#include "voice/melp/melp_params.h"

namespace melp {

// Raw values, in the order the standard stores them.
extern const float kLsfCodebookHz[kLsfCodebookSize];               // 4 stages, Hz
extern const float kFourierCodebookRaw[kFourierLevels * kHarmonics];
extern const float kBandShapingTaps[kBands * kMixTaps];            // lowest band first
extern const float kPulseDispersionTaps[kDispersionTaps];

struct Codebooks {
    float lsf[kLsfCodebookSize];                       // normalised frequency (Hz × 2/8000)
    float fourier[kFourierLevels * kHarmonics];        // weighted by the pitch-60 Fourier weights
    float fourierWeights[kHarmonics];
    float inverseFourierWeights[kHarmonics];
};

// Built on first use; thread-safe and immutable afterwards, so every encoder
// and decoder shares it and the conversion happens exactly once.
const Codebooks& ConvertedCodebooks();

}  // namespace melp
