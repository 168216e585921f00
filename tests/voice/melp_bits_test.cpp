// Tests of the MELP frame bits: transmission order, pitch/voicing code,
// Hamming protection, byte packing and the scalar quantisers.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <string>

#include "voice/melp/melp_channel.h"
#include "voice/melp/melp_sub.h"

using namespace melp;

namespace {

// The frame's positions as channel words of 6 bits, field.bit per position.
const char* const kWordTable[kFrameWords][kWordBits] = {
    {"G2.0", "V.0", "P.0", "L2.0", "L3.0", "G2.3"}, {"G2.4", "L3.5", "G2.1", "G2.2", "P.4", "L3.4"},
    {"P.5", "P.1", "P.2", "L4.0", "P.6", "L1.0"},   {"L1.6", "L4.5", "P.3", "L1.5", "L1.4", "L2.5"},
    {"V.3", "L1.3", "L1.2", "L2.4", "L4.4", "F.0"}, {"L1.1", "L2.3", "F.7", "F.6", "F.5", "G1.1"},
    {"G1.0", "V.2", "V.1", "L2.1", "L3.3", "L2.2"}, {"L3.2", "L3.1", "L4.3", "L4.2", "J.0", "L4.1"},
    {"F.4", "F.3", "F.2", "F.1", "G1.2", "S.0"},
};

// List bit of field.bit: fields in list order with their widths.
int ListBit(const std::string& name) {
    static const std::pair<const char*, int> fields[] = {{"G2", 5}, {"S", 1},  {"G1", 3}, {"P", 7},
                                                         {"J", 1},  {"V", 4},  {"L1", 7}, {"L2", 6},
                                                         {"L3", 6}, {"L4", 6}, {"F", 8}};
    const auto dot = name.find('.');
    const std::string field = name.substr(0, dot);
    const int bit = std::stoi(name.substr(dot + 1));
    int offset = 0;
    for (const auto& [f, width] : fields) {
        if (field == f) return offset + bit;
        offset += width;
    }
    return -1;
}

TEST(MelpBitOrder, IsAPermutationMatchingTheWordTable) {
    int seen[kFrameBits] = {};
    for (int i = 0; i < kFrameBits; ++i) {
        ASSERT_GE(kBitOrder[i], 0);
        ASSERT_LT(kBitOrder[i], kFrameBits);
        ++seen[kBitOrder[i]];
        EXPECT_EQ(kBitOrder[i], ListBit(kWordTable[i / kWordBits][i % kWordBits])) << "position " << i;
    }
    for (int count : seen) EXPECT_EQ(count, 1);
}

TEST(MelpPitchCode, TableAndDecoding) {
    EXPECT_EQ(kPitchCodes[0], 0);
    EXPECT_EQ(kPitchCodes[1], 7);    // pitch index 0
    EXPECT_EQ(kPitchCodes[2], 11);
    EXPECT_EQ(kPitchCodes[99], 127);  // pitch index 98
    for (int i = 1; i < 99; ++i) EXPECT_LT(kPitchCodes[i], kPitchCodes[i + 1]);
    int counts[3] = {};
    for (int code = 0; code < 128; ++code) {
        int index = -1;
        const PitchCode kind = decode_pitch_code(code, index);
        const int bits = std::popcount(static_cast<unsigned>(code));
        if (bits <= 1) {
            EXPECT_EQ(kind, PitchCode::kUnvoiced) << code;
        } else if (bits == 2) {
            EXPECT_EQ(kind, PitchCode::kErased) << code;
        } else {
            ASSERT_EQ(kind, PitchCode::kVoiced) << code;
            EXPECT_EQ(kPitchCodes[index + 1], code);
        }
        ++counts[static_cast<int>(kind)];
    }
    EXPECT_EQ(counts[static_cast<int>(PitchCode::kVoiced)], 99);
    EXPECT_EQ(counts[static_cast<int>(PitchCode::kUnvoiced)], 8);
    EXPECT_EQ(counts[static_cast<int>(PitchCode::kErased)], 21);
}

TEST(MelpHamming, CorrectsEverySingleError) {
    for (const HammingCode* code : {&kHamming84, &kHamming74}) {
        for (int data = 0; data < 16; ++data) {
            int clean[8];
            for (int i = 0; i < 4; ++i) clean[i] = (data >> i) & 1;
            hamming_parity(clean, *code);
            int word[8];
            std::copy(clean, clean + code->m, word);
            EXPECT_EQ(hamming_correct(word, *code), -1);
            for (int e = 0; e < code->m; ++e) {
                std::copy(clean, clean + code->m, word);
                word[e] ^= 1;
                EXPECT_EQ(hamming_correct(word, *code), e) << "m " << code->m << " data " << data;
                EXPECT_TRUE(std::equal(word, word + code->m, clean));
            }
        }
    }
}

TEST(MelpHamming, DoubleErrorsOfTheEightBitCodeAreDetected) {
    int clean[8] = {1, 0, 1, 1};
    hamming_parity(clean, kHamming84);
    for (int e1 = 0; e1 < 8; ++e1)
        for (int e2 = e1 + 1; e2 < 8; ++e2) {
            int word[8];
            std::copy(clean, clean + 8, word);
            word[e1] ^= 1;
            word[e2] ^= 1;
            EXPECT_EQ(hamming_correct(word, kHamming84), -2) << e1 << "," << e2;
        }
}

// An unvoiced frame with the given fields, written and read back.
struct UnvoicedFrame {
    FrameFields fields;
    UnvoicedFrame() {
        fields.g2 = 19;
        fields.g1 = 5;
        fields.lsf[0] = 0x5A;
        fields.lsf[1] = 33;
        fields.lsf[2] = 7;
        fields.lsf[3] = 60;
        fec_encode(fields, 1, 0);
    }
};

TEST(MelpFec, UnvoicedFrameSurvivesOneErrorAndErasesOnTwo) {
    const UnvoicedFrame frame;
    // (field, bit) places of the (8,4) word: L1 bits 6..3 and V.
    struct Place {
        int FrameFields::*member;
        int lsf;
        int bit;
    };
    std::vector<Place> protectedBits;
    for (int b = 3; b <= 6; ++b) protectedBits.push_back({nullptr, 0, b});
    for (int b = 0; b <= 3; ++b) protectedBits.push_back({&FrameFields::voicing, -1, b});
    auto flip = [](FrameFields& f, const Place& p) {
        int& v = p.member ? f.*p.member : f.lsf[p.lsf];
        v ^= 1 << p.bit;
    };
    for (const Place& p : protectedBits) {
        FrameFields f = frame.fields;
        flip(f, p);
        int unvoiced = 0, index = 0;
        ASSERT_EQ(fec_decode(f, 0, unvoiced, index), 0);
        EXPECT_EQ(unvoiced, 1);
        EXPECT_EQ(f.lsf[0], 0x5A);
        EXPECT_EQ(f.g2, 19);
        EXPECT_EQ(f.g1, 5);
        EXPECT_EQ(f.jitter, 1);
    }
    FrameFields f = frame.fields;
    flip(f, protectedBits[0]);
    flip(f, protectedBits[5]);
    int unvoiced = 0, index = 0;
    EXPECT_NE(fec_decode(f, 0, unvoiced, index), 0);
}

TEST(MelpFec, GainAndLowLsfBitsAreCorrected) {
    const UnvoicedFrame frame;
    for (int bit = 0; bit < 5; ++bit) {
        FrameFields f = frame.fields;
        f.g2 ^= 1 << bit;
        int unvoiced = 0, index = 0;
        ASSERT_EQ(fec_decode(f, 0, unvoiced, index), 0);
        EXPECT_EQ(f.g2, 19) << bit;
    }
    for (int bit = 0; bit < 3; ++bit) {
        FrameFields f = frame.fields;
        f.lsf[0] ^= 1 << bit;
        f.g1 ^= 1 << bit;  // a different (7,4) word
        int unvoiced = 0, index = 0;
        ASSERT_EQ(fec_decode(f, 0, unvoiced, index), 0);
        EXPECT_EQ(f.lsf[0], 0x5A);
        EXPECT_EQ(f.g1, 5);
    }
}

TEST(MelpChannel, FieldsSurviveTheBitListAndTheWords) {
    FrameFields f;
    f.g2 = 0x15;
    f.sync = 1;
    f.g1 = 6;
    f.pitch = 0x55;
    f.jitter = 1;
    f.voicing = 0xA;
    f.lsf[0] = 0x7F;
    f.lsf[1] = 0x2A;
    f.lsf[2] = 0x15;
    f.lsf[3] = 0x3C;
    f.fourier = 0xC3;
    int list[kFrameBits];
    fields_to_bit_list(f, list);
    EXPECT_EQ(list[5], 1);  // S is list bit 5
    const FrameFields back = fields_from_bit_list(list);
    EXPECT_EQ(back.g2, f.g2);
    EXPECT_EQ(back.pitch, f.pitch);
    EXPECT_EQ(back.lsf[3], f.lsf[3]);
    EXPECT_EQ(back.fourier, f.fourier);
}

TEST(MelpBytes, PackAndUnpackABlock) {
    uint16_t words[36];
    for (int i = 0; i < 36; ++i) words[i] = static_cast<uint16_t>((i * 37 + 5) & 0x3F) | 0x8000;
    uint8_t bytes[28];
    bytes[27] = 0xEE;
    EXPECT_EQ(PackBits(words, bytes, 216, 6), bytes + 27);
    EXPECT_EQ(bytes[27], 0xEE);
    // Stream bit p is bit p % 8 of byte p / 8, words least significant first.
    EXPECT_EQ(bytes[0] & 0x3F, words[0] & 0x3F);
    EXPECT_EQ(((bytes[0] >> 6) | (bytes[1] << 2)) & 0x3F, words[1] & 0x3F);
    uint16_t back[36];
    EXPECT_EQ(UnpackBits(bytes, back, 216, 6), bytes + 27);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(back[i], words[i] & 0x3F);
    EXPECT_EQ(PackBits(words, bytes, 0, 6), bytes);
}

TEST(MelpQuantisers, Uniform) {
    struct Case {
        float value;
        int index;
    };
    for (const Case& c : {Case{-5.0f, 0}, Case{0.124f, 0}, Case{0.126f, 1}, Case{0.25f, 1}, Case{9.0f, 1}}) {
        float v = c.value;
        int index = -1;
        quant_uniform(v, index, 0.0f, 0.25f, 2);
        EXPECT_EQ(index, c.index) << c.value;
        float d;
        dequant_uniform(index, d, 0.0f, 0.25f, 2);
        EXPECT_EQ(v, d);
    }
}

TEST(MelpQuantisers, GainsAndTheErrorFlag) {
    float previous = 0.0f;
    GainDecoderState decoder;
    // Encoder and decoder agree over a run of gains.
    const float run[][2] = {{30, 32}, {33, 34}, {60, 62}, {61, 61.5f}, {20, 15}, {14, 14}};
    for (const auto& g : run) {
        float gain[2] = {g[0], g[1]};
        int index[2];
        gain_quantise(gain, index, previous, kGainLow, kGainHigh, kGainLevels);
        float decoded[2];
        gain_dequantise(decoded, index, decoder, kGainLow, kGainHigh, kGainLevels);
        EXPECT_FLOAT_EQ(decoded[0], gain[0]);
        EXPECT_FLOAT_EQ(decoded[1], gain[1]);
    }
    // Two interpolated frames with jumps over 5 dB: the first is taken for a
    // bit error, the second (flag set) is believed.
    GainDecoderState d;
    float gain[2];
    int index[2] = {0, 10};
    gain_dequantise(gain, index, d, kGainLow, kGainHigh, kGainLevels);  // 10 + 10*67/31 dB vs 0
    EXPECT_EQ(gain[1], 0.0f);
    EXPECT_EQ(d.error, 1);
    int index2[2] = {0, 20};
    gain_dequantise(gain, index2, d, kGainLow, kGainHigh, kGainLevels);
    EXPECT_NEAR(gain[1], 10.0f + 20 * 67.0f / 31.0f, 1e-4f);
}

TEST(MelpQuantisers, Voicing) {
    float s[5] = {0.9f, 0.1f, 0.2f, 0.3f, 0.8f};  // only the top band voiced
    int code = -1;
    EXPECT_EQ(voicing_quantise(s, code, 0.6f, 5), 0);
    EXPECT_EQ(code, 0);  // 0001 is never sent
    EXPECT_EQ(s[4], 0.0f);
    float t[5] = {0.9f, 0.7f, 0.1f, 0.7f, 0.1f};
    EXPECT_EQ(voicing_quantise(t, code, 0.6f, 5), 0);
    EXPECT_EQ(code, 0b1010);
    float u[5];
    int received = 1;
    voicing_dequantise(u, received, 0, 5);
    EXPECT_EQ(received, 0);
    for (int b = 1; b < 5; ++b) EXPECT_EQ(u[b], 0.0f);
    received = 0b1010;
    voicing_dequantise(u, received, 0, 5);
    const float expected[5] = {1, 1, 0, 1, 0};
    for (int b = 0; b < 5; ++b) EXPECT_EQ(u[b], expected[b]);
    float w[5] = {0.5f, 1, 1, 1, 1};
    EXPECT_EQ(voicing_quantise(w, code, 0.6f, 5), 1);
    EXPECT_EQ(w[1], 0.0f);
}

}  // namespace
