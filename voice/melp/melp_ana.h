// The MELP speech encoder: one frame of 180 samples into its parameters and
// 54 channel bits. Each encoder owns its state, so streams never mix.
// Tested by tests/voice/melp_codec_test.cpp.
#pragma once

#include "voice/melp/melp_bits.h"
#include "voice/melp/melp_params.h"
#include "voice/melp/melp_prim.h"
#include "voice/melp/melp_sub.h"
#include "voice/melp/pit_lib.h"

namespace melp {

inline constexpr int kSpeechBuffer = 411;
inline constexpr int kLpcWindow = 200;

struct MelpAnalysis {
    // Newest frame at 231..410; the analysed frame ends at 250.
    float speech[kSpeechBuffer] = {};
    float dcHistory[4] = {};
    float lowpassHistory[kSection] = {};
    float pitchCandidates[2] = {50.0f, 50.0f};
    PitchAverage pitchAverage;
    BandpassVoicingState voicing;
    float finalLowpassHistory[kSection] = {};
    float previousGain = 0.0f;  // last quantised second gain
    int sync = 0;
    // The last frame's LSFs before quantisation; a frame whose root search
    // fails keeps them.
    float unquantisedLsf[kOrder + 1] = {};
    float hamming[kLpcWindow] = {};
    int rootFailures = 0;
};

void melp_analysis_init(MelpAnalysis& state);
// The frame's LSFs from its predictor a; when their roots cannot all be
// found, the last good set, counted in rootFailures.
void melp_frame_lsf(MelpAnalysis& state, const float* a, float* lsf);
// input: 180 samples in 16-bit scale. Appends the frame's 9 channel words at
// the cursor. params describe the frame that ended 160 samples ago.
void melp_analyse_frame(MelpAnalysis& state, const float* input, MelpParams& params, ChannelCursor& cursor);

}  // namespace melp
