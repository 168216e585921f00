// The 54 bits of one MELP frame. Tested by tests/voice/melp_bits_test.cpp.
#include "voice/melp/melp_channel.h"

#include <bit>
#include <cmath>

#include "voice/melp/melp_tables.h"
#include "voice/melp/vq_lib.h"

namespace melp {

const int kBitOrder[kFrameBits] = {0,  17, 9,  28, 34, 3,  4,  39, 1,  2,  13, 38, 14, 10, 11, 40, 15, 21,
                                   27, 45, 12, 26, 25, 33, 20, 24, 23, 32, 44, 46, 22, 31, 53, 52, 51, 7,
                                   6,  19, 18, 29, 37, 30, 36, 35, 43, 42, 16, 41, 50, 49, 48, 47, 8,  5};

namespace {

constexpr float kLogPitchLow = 1.30103f;   // log10 20
constexpr float kLogPitchHigh = 2.20412f;  // log10 160
constexpr float kJitterHigh = 0.25f;
constexpr float kUnvoicedPitch = 50.0f;

constexpr std::array<int, kPitchLevels + 1> BuildPitchCodes() {
    std::array<int, kPitchLevels + 1> codes{};
    int n = 1;
    for (int c = 0; c < 128; ++c)
        if (std::popcount(static_cast<unsigned>(c)) >= 3) codes[n++] = c;
    return codes;
}

// The fields in bit-list order with their widths.
struct FieldSpan {
    int FrameFields::*member;
    int index;  // element of lsf, or -1
    int bits;
};
constexpr FieldSpan kFields[] = {
    {&FrameFields::g2, -1, 5},     {&FrameFields::sync, -1, 1}, {&FrameFields::g1, -1, 3},
    {&FrameFields::pitch, -1, 7},  {&FrameFields::jitter, -1, 1}, {&FrameFields::voicing, -1, 4},
    {nullptr, 0, 7},               {nullptr, 1, 6},             {nullptr, 2, 6},
    {nullptr, 3, 6},               {&FrameFields::fourier, -1, 8},
};

int& FieldOf(FrameFields& fields, const FieldSpan& span) {
    return span.member ? fields.*span.member : fields.lsf[span.index];
}

// One (7,4) word of the unvoiced-frame protection: data bits from their
// places, parity bits at theirs (top-down bit runs of the fields).
struct Run {
    int* value;
    int top;
    int n;
};

void Gather(int* bits, std::initializer_list<Run> runs) {
    for (const Run& r : runs) {
        bits_get(bits, *r.value, r.top, r.n);
        bits += r.n;
    }
}

void Scatter(const int* bits, std::initializer_list<Run> runs) {
    for (const Run& r : runs) {
        *r.value = bits_set(*r.value, r.top, r.n, bits);
        bits += r.n;
    }
}

}  // namespace

const std::array<int, kPitchLevels + 1> kPitchCodes = BuildPitchCodes();

PitchCode decode_pitch_code(int code, int& pitchIndex) {
    code &= 0x7F;
    const int bits = std::popcount(static_cast<unsigned>(code));
    if (bits <= 1) return PitchCode::kUnvoiced;
    if (bits == 2) return PitchCode::kErased;
    int index = 0;
    while (kPitchCodes[index + 1] != code) ++index;
    pitchIndex = index;
    return PitchCode::kVoiced;
}

void fec_encode(FrameFields& f, int unvoiced, int pitchIndex) {
    f.pitch = unvoiced ? kPitchCodes[0] : kPitchCodes[CheckedLimit(pitchIndex, 0, kPitchLevels - 1) + 1];
    if (!unvoiced) return;
    int zero = 0;
    int word[8];
    Gather(word, {{&f.lsf[0], 6, 4}});
    hamming_parity(word, kHamming84);
    Scatter(word + 4, {{&f.voicing, 3, 4}});

    Gather(word, {{&f.lsf[0], 2, 3}, {&zero, 0, 1}});
    hamming_parity(word, kHamming74);
    Scatter(word + 4, {{&f.fourier, 7, 3}});

    Gather(word, {{&f.g2, 4, 4}});
    hamming_parity(word, kHamming74);
    Scatter(word + 4, {{&f.fourier, 4, 3}});

    Gather(word, {{&f.g2, 0, 1}, {&f.g1, 2, 3}});
    hamming_parity(word, kHamming74);
    Scatter(word + 4, {{&f.fourier, 1, 2}, {&f.jitter, 0, 1}});
}

int fec_decode(FrameFields& f, int erasure, int& unvoiced, int& pitchIndex) {
    switch (decode_pitch_code(f.pitch, pitchIndex)) {
        case PitchCode::kErased:
            return 1;
        case PitchCode::kVoiced:
            unvoiced = 0;
            return erasure;
        case PitchCode::kUnvoiced:
            unvoiced = 1;
            break;
    }
    if (erasure) return erasure;
    int zero = 0;
    int word[8];
    Gather(word, {{&f.lsf[0], 6, 4}, {&f.voicing, 3, 4}});
    if (hamming_correct(word, kHamming84) == -2) return 1;
    Scatter(word, {{&f.lsf[0], 6, 4}});
    f.voicing = 0;

    Gather(word, {{&f.lsf[0], 2, 3}, {&zero, 0, 1}, {&f.fourier, 7, 3}});
    hamming_correct(word, kHamming74);
    Scatter(word, {{&f.lsf[0], 2, 3}});

    Gather(word, {{&f.g2, 4, 4}, {&f.fourier, 4, 3}});
    hamming_correct(word, kHamming74);
    Scatter(word, {{&f.g2, 4, 4}});

    Gather(word, {{&f.g2, 0, 1}, {&f.g1, 2, 3}, {&f.fourier, 1, 2}, {&f.jitter, 0, 1}});
    hamming_correct(word, kHamming74);
    Scatter(word, {{&f.g2, 0, 1}, {&f.g1, 2, 3}});

    f.jitter = 1;
    return 0;
}

void fields_to_bit_list(const FrameFields& fields, int* list) {
    FrameFields copy = fields;
    int n = 0;
    for (const FieldSpan& span : kFields) {
        const int value = FieldOf(copy, span);
        for (int b = 0; b < span.bits; ++b) list[n++] = (value >> b) & 1;
    }
}

FrameFields fields_from_bit_list(const int* list) {
    FrameFields fields;
    int n = 0;
    for (const FieldSpan& span : kFields) {
        int value = 0;
        for (int b = 0; b < span.bits; ++b) value |= (list[n++] & 1) << b;
        FieldOf(fields, span) = value;
    }
    return fields;
}

void melp_channel_write(const MelpParams& params, int& sync, ChannelCursor& cursor) {
    FrameFields f;
    f.g2 = params.gain_index[1];
    f.g1 = params.gain_index[0];
    f.jitter = params.jitter_index;
    f.voicing = params.voicing_index;
    for (int s = 0; s < kLsfStages; ++s) f.lsf[s] = params.lsf_index[s];
    f.fourier = params.fourier_index;
    fec_encode(f, params.unvoiced, params.pitch_index);
    sync = !sync;
    f.sync = sync;
    int list[kFrameBits];
    fields_to_bit_list(f, list);
    for (int i = 0; i < kFrameBits; ++i) {
        bits_pack(list[kBitOrder[i]], cursor, 1, kWordBits);
        if (i == 0) *(cursor.bit == 0 ? cursor.word - 1 : cursor.word) |= kFrameStartMark;
    }
}

int melp_channel_read(MelpParams& params, const MelpParams& previous, GainDecoderState& gains,
                      ChannelCursor& cursor) {
    int list[kFrameBits];
    int erasure = 0;
    for (int i = 0; i < kFrameBits; ++i) {
        int bit;
        erasure |= bits_unpack(cursor, bit, 1, kWordBits, kEraseMark);
        list[kBitOrder[i]] = bit;
    }
    FrameFields f = fields_from_bit_list(list);
    int unvoiced = 0;
    int pitchIndex = 0;
    erasure = fec_decode(f, erasure ? 1 : 0, unvoiced, pitchIndex);
    if (erasure) {
        params = previous;
        params.gain[0] = params.gain[1];
        return erasure;
    }
    const Codebooks& books = ConvertedCodebooks();
    params.unvoiced = unvoiced;
    params.pitch_index = pitchIndex;
    params.jitter_index = f.jitter & 1;
    params.voicing_index = f.voicing;
    params.gain_index[0] = f.g1;
    params.gain_index[1] = f.g2;
    for (int s = 0; s < kLsfStages; ++s) params.lsf_index[s] = f.lsf[s];
    params.fourier_index = f.fourier;

    msvq_decode(books.lsf, params.lsf + 1, params.lsf_index, kLsfLevels, kLsfStages, kOrder);
    if (unvoiced)
        fill_value(params.fourier_mag, 1.0f, kHarmonics);
    else
        vec_copy(params.fourier_mag, books.fourier + params.fourier_index * kHarmonics, kHarmonics);
    gain_dequantise(params.gain, params.gain_index, gains, kGainLow, kGainHigh, kGainLevels);
    if (unvoiced) {
        params.pitch = kUnvoicedPitch;
    } else {
        float logPitch;
        dequant_uniform(pitchIndex, logPitch, kLogPitchLow, kLogPitchHigh, kPitchLevels);
        params.pitch = std::pow(10.0f, logPitch);
    }
    dequant_uniform(params.jitter_index, params.jitter, 0.0f, kJitterHigh, 2);
    voicing_dequantise(params.voicing, params.voicing_index, unvoiced, kBands);
    return 0;
}

}  // namespace melp
