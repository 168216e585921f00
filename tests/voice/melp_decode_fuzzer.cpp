// Fuzz target of the MELP decoder: any bytes, taken as 27-byte blocks from the
// network, must decode to finite, bounded audio, whatever talker slot and
// filter settings they arrive with. Input: one settings byte, then the blocks.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "voice/melp/melp_bits.h"
#include "voice/melp/melp_codec.h"
#include "voice/melp/melp_syn.h"

namespace {
// Bounded work per input: a few seconds of speech at most.
constexpr size_t kMaxBlocks = 64;
// Far above anything the gains (at most 77 dB) can produce.
constexpr float kLimit = 1.0e6f;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t settings = data[0];
    ++data;
    --size;
    static CMELPCodec codec;
    const int talker = settings & 3;
    if (settings & 16) codec.ResetTalker(talker);
    melp::MelpSynthesis synthesis;
    melp::melp_synthesis_init(synthesis, settings);
    int16_t out[CMELPCodec::kBlockSamples];
    for (size_t block = 0; block < kMaxBlocks && (block + 1) * CMELPCodec::kBlockBytes <= size; ++block) {
        const uint8_t* bytes = data + block * CMELPCodec::kBlockBytes;
        codec.Decode(talker, settings & 4, settings & 8, 1, bytes, out);
        // The raw synthesis, before any clamp could hide a NaN.
        uint16_t words[CMELPCodec::kBlockWords];
        melp::UnpackBits(bytes, words, CMELPCodec::kBlockBytes * 8, melp::kWordBits);
        melp::ChannelCursor cursor{words, 0};
        for (int f = 0; f < 4; ++f) {
            float samples[melp::kFrame];
            melp::melp_synthesise_frame(synthesis, cursor, samples);
            for (float v : samples)
                if (!(std::fabs(v) < kLimit)) std::abort();
        }
    }
    return 0;
}
