// The MELP speech decoder: one frame's 54 channel bits into 180 samples,
// built one pitch period at a time. Each decoder owns its state, so two
// talkers never garble each other. Tested by tests/voice/melp_codec_test.cpp.
#pragma once

#include <cstdint>

#include "foundation/random15.h"
#include "voice/melp/melp_bits.h"
#include "voice/melp/melp_params.h"
#include "voice/melp/melp_sub.h"

namespace melp {

struct MelpSynthesis {
    MelpParams current;
    MelpParams previous;
    float previousTilt = 0.0f;
    float previousScale = 0.0f;
    float previousPulseFilter[kMixTaps] = {};
    float previousNoiseFilter[kMixTaps] = {};
    float pulseHistory[kMixOrder] = {};
    float noiseHistory[kMixOrder] = {};
    float enhancementHistory[kOrder] = {};
    float tiltHistory = 0.0f;
    float lpcHistory[kOrder] = {};
    float dispersionHistory[kDispersionOrder] = {};
    int overhang = 0;
    float save[kPitchMax] = {};
    float noise = 10.0f;  // background noise estimate, dB
    bool firstFrame = true;
    GainDecoderState gains;
    Random15 random{1};
};

void melp_synthesis_init(MelpSynthesis& state, uint32_t seed);
// Reads one frame at the cursor and writes 180 samples in 16-bit scale;
// returns non-zero when the frame was erased (and repeated).
int melp_synthesise_frame(MelpSynthesis& state, ChannelCursor& cursor, float* output);

}  // namespace melp
