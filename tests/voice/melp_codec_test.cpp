// Tests of the MELP encoder, decoder, gain stages, VHF filter and the block
// codec: agreement of both sides on the coded parameters, bounded output for
// any input, and independence of encoders and talkers.
#include "voice/melp/melp_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "foundation/random15.h"
#include "melp_quality.h"
#include "voice/melp/auto_gain_stage.h"
#include "voice/melp/lpc_lib.h"
#include "voice/melp/melp_ana.h"
#include "voice/melp/melp_channel.h"
#include "voice/melp/melp_syn.h"
#include "voice/melp/melp_tables.h"
#include "voice/melp/vhf_filter.h"

using namespace melp;

namespace {

using melp_quality::kRate;

std::vector<float> Vowel(int samples, double period, double f1 = 700, double f2 = 1200, double level = 0.05) {
    return melp_quality::SyntheticVowel(samples, period, f1, f2, level);
}

std::vector<float> Noise(int samples, float amplitude, uint32_t seed) {
    Random15 random(seed);
    std::vector<float> x(samples);
    for (float& v : x) v = (random.Next() / 32767.0f - 0.5f) * 2 * amplitude;
    return x;
}

struct CodedFrame {
    MelpParams encoded;
    uint16_t words[kFrameWords];
};

std::vector<CodedFrame> EncodeFrames(const std::vector<float>& x) {
    MelpAnalysis state;
    melp_analysis_init(state);
    std::vector<CodedFrame> frames;
    for (size_t f = 0; f + kFrame <= x.size(); f += kFrame) {
        CodedFrame frame;
        ChannelCursor cursor{frame.words, 0};
        melp_analyse_frame(state, x.data() + f, frame.encoded, cursor);
        EXPECT_EQ(cursor.word, frame.words + kFrameWords);
        EXPECT_NE(frame.words[0] & kFrameStartMark, 0);
        frames.push_back(frame);
    }
    return frames;
}

TEST(MelpCoder, EncoderAndDecoderAgreeOnTheCodedParameters) {
    std::vector<float> x = Vowel(7350, 57.3);
    const std::vector<float> noise = Noise(3000, 3000, 9);
    x.insert(x.end(), noise.begin(), noise.end());
    const std::vector<float> low = Vowel(3000, 131.0, 400, 900, 0.2);
    x.insert(x.end(), low.begin(), low.end());

    const std::vector<CodedFrame> frames = EncodeFrames(x);
    MelpParams previous, decoded;
    GainDecoderState gains;
    int voiced = 0, unvoiced = 0;
    for (const CodedFrame& frame : frames) {
        uint16_t words[kFrameWords];
        std::copy(frame.words, frame.words + kFrameWords, words);
        for (uint16_t& w : words) w &= 0x3F;  // what crosses the wire
        ChannelCursor cursor{words, 0};
        ASSERT_EQ(melp_channel_read(decoded, previous, gains, cursor), 0);
        const MelpParams& e = frame.encoded;
        ASSERT_EQ(decoded.unvoiced, e.unvoiced);
        lsf_clamp(decoded.lsf, kLsfMinSeparation, kOrder);
        lsf_make_stable(decoded.lsf, kLsfMinSeparation / 16.0f, kOrder);
        for (int i = 1; i <= kOrder; ++i) EXPECT_EQ(decoded.lsf[i], e.lsf[i]) << i;
        EXPECT_EQ(decoded.gain[0], e.gain[0]);
        EXPECT_EQ(decoded.gain[1], e.gain[1]);
        for (int b = 0; b < kBands; ++b) EXPECT_EQ(decoded.voicing[b], e.voicing[b]);
        if (e.unvoiced) {
            ++unvoiced;
            EXPECT_EQ(decoded.jitter, 0.25f);
        } else {
            ++voiced;
            EXPECT_EQ(decoded.pitch, e.pitch);
            EXPECT_EQ(decoded.jitter, e.jitter);
            const Codebooks& books = ConvertedCodebooks();
            for (int k = 0; k < kHarmonics; ++k)
                EXPECT_EQ(decoded.fourier_mag[k] * books.inverseFourierWeights[k], e.fourier_mag[k]);
        }
        previous = decoded;
    }
    EXPECT_GT(voiced, 20);
    EXPECT_GT(unvoiced, 5);
}

TEST(MelpCoder, FindsThePitchOfAVowel) {
    for (double period : {35.0, 57.3, 90.0, 140.0}) {
        const std::vector<CodedFrame> frames = EncodeFrames(Vowel(7350, period));
        int near = 0, counted = 0;
        for (size_t f = 4; f < frames.size(); ++f) {
            ++counted;
            if (!frames[f].encoded.unvoiced && std::fabs(frames[f].encoded.pitch - period) < 0.05 * period) ++near;
        }
        EXPECT_GE(near, counted * 9 / 10) << period;
    }
}

TEST(MelpCoder, SilenceIsUnvoicedAtZeroGain) {
    const std::vector<CodedFrame> frames = EncodeFrames(std::vector<float>(5 * kFrame, 0.0f));
    for (const CodedFrame& frame : frames) {
        EXPECT_EQ(frame.encoded.unvoiced, 1);
        EXPECT_EQ(frame.encoded.jitter, 0.25f);
        EXPECT_EQ(frame.encoded.gain[1], kGainLow);  // 0 dB measured, quantised to the floor
    }
    int index = -1;
    uint16_t words[kFrameWords];
    std::copy(frames[0].words, frames[0].words + kFrameWords, words);
    int list[kFrameBits];
    for (int i = 0; i < kFrameBits; ++i) list[kBitOrder[i]] = (words[i / kWordBits] >> (i % kWordBits)) & 1;
    EXPECT_EQ(decode_pitch_code(fields_from_bit_list(list).pitch, index), PitchCode::kUnvoiced);
}

// Largest magnitude the synthesis produces for the blocks before the codec
// converts to 16 bits (infinity for a NaN), so a clamp cannot hide a fault.
float RawSynthesisPeak(const std::vector<uint8_t>& bytes) {
    MelpSynthesis synthesis;
    melp_synthesis_init(synthesis, 1);
    float peak = 0.0f;
    for (size_t at = 0; at + CMELPCodec::kBlockBytes <= bytes.size(); at += CMELPCodec::kBlockBytes) {
        uint16_t words[CMELPCodec::kBlockWords];
        UnpackBits(bytes.data() + at, words, CMELPCodec::kBlockBytes * 8, kWordBits);
        ChannelCursor cursor{words, 0};
        for (int f = 0; f < 4; ++f) {
            float y[kFrame];
            melp_synthesise_frame(synthesis, cursor, y);
            for (float v : y) peak = std::isnan(v) ? INFINITY : std::max(peak, std::fabs(v));
        }
    }
    return peak;
}

struct BlockRun {
    std::vector<uint8_t> bytes;
    std::vector<int16_t> decoded;
};

BlockRun RoundTrip(CMELPCodec& codec, const std::vector<int16_t>& in, int talker = 0, bool stage = false,
                   bool vhf = false) {
    const int blocks = static_cast<int>(in.size()) / CMELPCodec::kBlockSamples;
    BlockRun run;
    run.bytes.assign(blocks * CMELPCodec::kBlockBytes, 0);
    run.decoded.assign(blocks * CMELPCodec::kBlockSamples, 0);
    codec.Encode(blocks, in.data(), run.bytes.data());
    codec.Decode(talker, stage, vhf, blocks, run.bytes.data(), run.decoded.data());
    return run;
}

TEST(MelpCodec, ExtremeInputsGiveBoundedOutput) {
    const int n = 10 * CMELPCodec::kBlockSamples;
    std::vector<std::vector<int16_t>> inputs;
    inputs.emplace_back(n, 0);                                          // silence
    inputs.emplace_back(n, 32767);                                      // full-scale DC
    std::vector<int16_t> square(n), clipped(n), noise(n);
    Random15 random(4);
    const std::vector<float> vowel = Vowel(n, 60.0, 700, 1200, 2.0);
    for (int i = 0; i < n; ++i) {
        square[i] = (i / 30) % 2 ? 32767 : -32768;
        clipped[i] = static_cast<int16_t>(std::clamp(vowel[i] * 20.0f, -32768.0f, 32767.0f));
        noise[i] = static_cast<int16_t>(random.Next() * 2 - 32768);
    }
    inputs.push_back(square);
    inputs.push_back(clipped);
    inputs.push_back(noise);
    for (size_t c = 0; c < inputs.size(); ++c) {
        for (int mode = 0; mode < 4; ++mode) {
            CMELPCodec codec;
            const BlockRun run = RoundTrip(codec, inputs[c], 0, mode & 1, mode & 2);
            EXPECT_LT(RawSynthesisPeak(run.bytes), 1.0e6f) << "input " << c;
            if (c == 0) {
                double energy = 0;
                for (int16_t v : run.decoded) energy += double(v) * v;
                EXPECT_LT(std::sqrt(energy / n), 100.0) << "silence must stay quiet";
            }
        }
    }
}

TEST(MelpCodec, RandomBlocksDecodeToBoundedAudio) {
    CMELPCodec codec;
    Random15 random(99);
    std::vector<uint8_t> bytes(27 * 200);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random.Next());
    std::vector<int16_t> out(720 * 200);
    codec.Decode(2, true, true, 200, bytes.data(), out.data());
    EXPECT_LT(RawSynthesisPeak(bytes), 1.0e6f);
}

TEST(MelpCodec, TalkersDoNotShareDecoderState) {
    CMELPCodec coder;
    const int n = 6 * CMELPCodec::kBlockSamples;
    std::vector<int16_t> a(n), b(n);
    const std::vector<float> va = Vowel(n, 60.0), vb = Vowel(n, 110.0, 500, 1500, 0.1);
    for (int i = 0; i < n; ++i) {
        a[i] = static_cast<int16_t>(va[i]);
        b[i] = static_cast<int16_t>(vb[i]);
    }
    std::vector<uint8_t> ca(6 * 27), cb(6 * 27);
    coder.Encode(6, a.data(), ca.data());
    CMELPCodec coderB;  // its own encoder state
    coderB.Encode(6, b.data(), cb.data());

    CMELPCodec alone, mixed;
    std::vector<int16_t> expected(n), got(n), other(720);
    alone.Decode(1, true, true, 6, ca.data(), expected.data());
    for (int blk = 0; blk < 6; ++blk) {
        mixed.Decode(1, true, true, 1, ca.data() + 27 * blk, got.data() + 720 * blk);
        mixed.Decode(3, true, true, 1, cb.data() + 27 * blk, other.data());
    }
    EXPECT_EQ(got, expected);
}

TEST(MelpCodec, EncodersDoNotShareState) {
    const int n = 4 * CMELPCodec::kBlockSamples;
    std::vector<int16_t> a(n), b(n, 0);
    const std::vector<float> va = Vowel(n, 60.0);
    for (int i = 0; i < n; ++i) a[i] = static_cast<int16_t>(va[i]);
    CMELPCodec first, second, reference;
    std::vector<uint8_t> x(4 * 27), y(4 * 27), scratch(27);
    reference.Encode(4, a.data(), y.data());
    for (int blk = 0; blk < 4; ++blk) {
        first.Encode(1, a.data() + 720 * blk, x.data() + 27 * blk);
        second.Encode(1, b.data() + 720 * blk, scratch.data());
    }
    EXPECT_EQ(x, y);
}

TEST(MelpCodec, ResetTalkerStartsFromSilenceAgain) {
    const int n = 3 * CMELPCodec::kBlockSamples;
    std::vector<int16_t> a(n);
    const std::vector<float> va = Vowel(n, 70.0);
    for (int i = 0; i < n; ++i) a[i] = static_cast<int16_t>(va[i]);
    CMELPCodec codec;
    std::vector<uint8_t> bytes(3 * 27);
    codec.Encode(3, a.data(), bytes.data());
    std::vector<int16_t> first(n), second(n);
    codec.Decode(0, false, false, 3, bytes.data(), first.data());
    codec.ResetTalker(0);
    codec.Decode(0, false, false, 3, bytes.data(), second.data());
    EXPECT_EQ(first, second);
}

TEST(MelpCodec, SizesAndRates) {
    CMELPCodec codec;
    EXPECT_EQ(codec.EncodedBytes(), 27);
    EXPECT_EQ(codec.PcmBytes(), 1440);
    EXPECT_EQ(codec.Rate(), 7600.0);
    EXPECT_DOUBLE_EQ(codec.BlockSeconds(7350.0), 720.0 / 7350.0);
}

TEST(AutoGain, MeasurementEdgeCases) {
    AutoGainStage stage(7600.0);
    stage.StartNoiseMeasure();
    stage.EndNoiseMeasure();
    EXPECT_EQ(stage.Squelch(), 1.0f);  // nothing measured
    stage.SetSquelch(0.0f);
    EXPECT_EQ(stage.Squelch(), 1.0f);
    stage.SetSquelch(50.0f);
    stage.StartLevelMeasure();
    std::vector<float> silence(1000, 0.0f);
    stage.Process(silence.data(), 1000);
    EXPECT_EQ(stage.EndLevelMeasure(), AutoGainStage::kBelowNoise | AutoGainStage::kTooQuiet);
    stage.SetSquelch(400.0f);
    stage.StartLevelMeasure();
    EXPECT_EQ(stage.EndLevelMeasure(),
              AutoGainStage::kBelowNoise | AutoGainStage::kTooQuiet | AutoGainStage::kNoisy);
}

TEST(AutoGain, FullScaleSamplePullsTheLimiterBelowOne) {
    AutoGainStage stage(7600.0);
    float x[1] = {32767.0f};
    stage.Process(x, 1);
    EXPECT_NEAR(stage.LimiterGain(), 32750.0f / 32767.0f, 1e-6f);
    EXPECT_LT(x[0], 32767.0f);
}

TEST(AutoGain, QuietSpeechIsRaisedAndLoudIsLowered) {
    AutoGainStage quiet(7600.0), loud(7600.0);
    quiet.SetSquelch(10.0f);
    std::vector<float> soft(7600 * 3), hard(7600 * 3);
    for (size_t i = 0; i < soft.size(); ++i) {
        soft[i] = 300.0f * std::sin(i * 0.3f);
        hard[i] = 9000.0f * std::sin(i * 0.3f);
    }
    quiet.Process(soft.data(), static_cast<int>(soft.size()));
    loud.Process(hard.data(), static_cast<int>(hard.size()));
    EXPECT_GT(quiet.Gain(), 1.5f);
    EXPECT_LT(loud.Gain(), 1.0f);
    for (float v : hard) EXPECT_LE(std::fabs(v), 32767.0f);
}

TEST(VhfFilter, StaysBoundedAndPassesVoiceBand) {
    VHFFilter filter;
    std::vector<float> x = Noise(7350 * 20, 20000.0f, 17);
    filter.Process(x.data(), static_cast<int>(x.size()));
    float peak = 0;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 200000.0f);
    // A 1 kHz tone passes, a 100 Hz tone is cut.
    auto gainAt = [](double hz) {
        VHFFilter f;
        std::vector<float> tone(7350);
        for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<float>(1000 * std::sin(2 * M_PI * hz * i / kRate));
        f.Process(tone.data(), static_cast<int>(tone.size()));
        double e = 0;
        for (size_t i = 3675; i < tone.size(); ++i) e += double(tone[i]) * tone[i];
        return std::sqrt(e / 3675) / (1000 / std::sqrt(2.0));
    };
    EXPECT_GT(gainAt(1000), 0.3);
    EXPECT_LT(gainAt(100), 0.1);
}

}  // namespace
// A loud square wave decodes past full scale: those samples stop at the
// rails instead of wrapping round to the other sign.
TEST(MelpCodec, LoudOutputSaturatesAtSixteenBits) {
    const int blocks = 20;
    const int n = blocks * CMELPCodec::kBlockSamples;
    std::vector<int16_t> in(n);
    for (int i = 0; i < n; ++i) in[i] = std::sin(2 * M_PI * 1000 * i / 8000.0) > 0 ? 32767 : -32768;
    CMELPCodec codec;
    std::vector<uint8_t> bytes(blocks * CMELPCodec::kBlockBytes);
    codec.Encode(blocks, in.data(), bytes.data());
    int railed = 0, wrapped = 0;
    for (int mode = 0; mode < 4; ++mode) {
        CMELPCodec decoder;
        std::vector<int16_t> out(n);
        decoder.Decode(0, mode & 1, mode & 2, blocks, bytes.data(), out.data());
        for (int i = 0; i < n; ++i) {
            railed += out[i] == 32767 || out[i] == -32768;
            if (i > 0 && std::abs(out[i] - out[i - 1]) > 49152) ++wrapped;
        }
    }
    EXPECT_GT(railed, 0) << "the input must drive the output past full scale";
    EXPECT_EQ(wrapped, 0);
}
