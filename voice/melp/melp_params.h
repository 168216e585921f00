// The parameter record of one MELP frame and the coder's fixed sizes.
#pragma once

#include <cstdint>

namespace melp {

inline constexpr int kFrame = 180;       // samples per frame
inline constexpr int kHalfFrame = 90;
inline constexpr int kOrder = 10;        // LPC order
inline constexpr int kPitchMin = 20;     // samples
inline constexpr int kPitchMax = 160;
inline constexpr int kBands = 5;
inline constexpr int kHarmonics = 10;    // Fourier magnitudes
inline constexpr int kMixOrder = 32;     // mixing filter order (33 taps)
inline constexpr int kMixTaps = kMixOrder + 1;
inline constexpr int kDispersionOrder = 64;
inline constexpr int kDispersionTaps = kDispersionOrder + 1;
inline constexpr int kFrameBits = 54;
inline constexpr int kWordBits = 6;                           // channel word width
inline constexpr int kFrameWords = kFrameBits / kWordBits;    // 9

inline constexpr int kLsfStages = 4;
inline constexpr int kLsfLevels[kLsfStages] = {128, 64, 64, 64};
inline constexpr int kLsfCodebookSize = (128 + 64 + 64 + 64) * kOrder;
inline constexpr int kFourierLevels = 256;
inline constexpr int kPitchLevels = 99;

// LSF separation the coder keeps (normalised frequency).
inline constexpr float kLsfMinSeparation = 0.0125f;

struct MelpParams {
    float pitch = 50.0f;            // period in samples
    float lsf[kOrder + 1] = {};     // [1..10] normalised frequency, ascending; [0] unused
    float gain[2] = {};             // dB, first and second half of the frame
    float jitter = 0.0f;
    float voicing[kBands] = {};
    int pitch_index = 0;            // pitch quantiser index 0..98
    int jitter_index = 0;
    int voicing_index = 0;
    int gain_index[2] = {};
    int unvoiced = 1;
    float fourier_mag[kHarmonics] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    int fourier_index = 0;
    int lsf_index[kLsfStages] = {};
};

}  // namespace melp
