// Gain, voicing and scalar quantisation routines of the MELP coder.
// Tested by tests/voice/melp_dsp_test.cpp and tests/voice/melp_bits_test.cpp.
#pragma once

#include "voice/melp/melp_params.h"
#include "voice/melp/melp_prim.h"

namespace melp {

inline constexpr float kGainLow = 10.0f;   // dB
inline constexpr float kGainHigh = 77.0f;
inline constexpr int kGainLevels = 32;
inline constexpr float kVoicingThreshold = 0.6f;

float residual_peakiness(const float* x, int n);
// Gain in dB of a pitch-multiple window centred on x.
float gain_measure(const float* x, float P, int Lmin, int Lmax);
// Scales x to RMS A, cross-fading the first crossfade-1 samples from the
// previous scale.
void scale_adjust(float* x, float A, float* previousScale, int n, int crossfade);

// Band filter and envelope histories of the bandpass voicing analysis.
struct BandpassVoicingState {
    float bandHistory[kBands][kSection] = {};
    float envelopeOutputs[kBands][2] = {};
    float envelopeInput[kBands] = {};
};
// Voicing strengths of the five bands at the frame end of the pitch window
// (start), from the two integer pitch candidates; returns the sub-pitch.
float bandpass_voicing(BandpassVoicingState& state, const float* window, const float candidates[2],
                       float* voicing);

void noise_estimate(float gain, float& estimate, float up, float down, float floor, float ceiling);
void noise_suppress(float& gain, float estimate, float noiseCeiling, float maxAttenuation, float margin);

void quant_uniform(float& value, int& index, float low, float high, int levels);
void dequant_uniform(int index, float& value, float low, float high, int levels);

// gain_quantise remembers the last second gain between frames.
void gain_quantise(float* gain, int* index, float& previous, float low, float high, int levels);
struct GainDecoderState {
    float previous = 0.0f;
    int error = 0;
};
void gain_dequantise(float* gain, int* index, GainDecoderState& state, float low, float high, int levels);

// Returns 1 (unvoiced) or 0.
int voicing_quantise(float* strengths, int& code, float threshold, int bands);
void voicing_dequantise(float* strengths, int& code, int unvoiced, int bands);

}  // namespace melp
