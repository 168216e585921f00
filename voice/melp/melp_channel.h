// The 54 bits of one MELP frame: the pitch/voicing code, the Hamming
// protection of unvoiced frames, the transmission order, and the channel
// writer and reader. Tested by tests/voice/melp_bits_test.cpp.
#pragma once

#include <array>

#include "voice/melp/melp_bits.h"
#include "voice/melp/melp_params.h"
#include "voice/melp/melp_sub.h"

namespace melp {

// Position i of a frame carries bit kBitOrder[i] of the frame's bit list.
extern const int kBitOrder[kFrameBits];
// Pitch/voicing code table: entry 0 unvoiced, entry i + 1 pitch index i.
extern const std::array<int, kPitchLevels + 1> kPitchCodes;

// The quantiser indices of one frame, as they go on the channel.
struct FrameFields {
    int g2 = 0, sync = 0, g1 = 0, pitch = 0, jitter = 0, voicing = 0;
    int lsf[kLsfStages] = {};
    int fourier = 0;
};

// What a frame's pitch code says.
enum class PitchCode { kVoiced, kUnvoiced, kErased };
PitchCode decode_pitch_code(int code, int& pitchIndex);

void fec_encode(FrameFields& fields, int unvoiced, int pitchIndex);
// Returns non-zero when the frame is erased; sets unvoiced and pitchIndex.
int fec_decode(FrameFields& fields, int erasure, int& unvoiced, int& pitchIndex);

void fields_to_bit_list(const FrameFields& fields, int* list);
FrameFields fields_from_bit_list(const int* list);

// Writes one frame's 54 bits at the cursor; sync alternates per frame.
void melp_channel_write(const MelpParams& params, int& sync, ChannelCursor& cursor);
// Reads one frame into params (dequantised), or repeats previous on an
// erasure; returns non-zero for an erased frame.
int melp_channel_read(MelpParams& params, const MelpParams& previous, GainDecoderState& gains,
                      ChannelCursor& cursor);

}  // namespace melp
