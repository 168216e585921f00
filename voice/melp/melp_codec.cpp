// The MELP block codec. Tested by tests/voice/melp_codec_test.cpp.
#include "voice/melp/melp_codec.h"

#include <algorithm>
#include <cmath>

#include "voice/melp/melp_ana.h"
#include "voice/melp/melp_bits.h"
#include "voice/melp/melp_syn.h"
#include "voice/melp/vhf_filter.h"

namespace {
constexpr int kFramesPerBlock = CMELPCodec::kBlockSamples / melp::kFrame;
static_assert(kFramesPerBlock * melp::kFrameWords == CMELPCodec::kBlockWords);
static_assert(CMELPCodec::kBlockWords * melp::kWordBits == CMELPCodec::kBlockBytes * 8);
constexpr int kBlockBits = CMELPCodec::kBlockBytes * 8;

// Each slot's noise generator has its own seed, so two talkers of the same
// block never sound as if correlated.
uint32_t TalkerSeed(int talker) { return 0x4D454C50u + static_cast<uint32_t>(talker); }

int16_t ToSample(float v) {
    if (std::isnan(v)) return 0;
    v = std::clamp(v, -32768.0f, 32767.0f);
    return static_cast<int16_t>(v);  // truncates toward zero
}
}  // namespace

struct CMELPCodec::Talker {
    explicit Talker(int slot) : output(kStageRate), seed(TalkerSeed(slot)) { Reset(); }
    void Reset() {
        melp::melp_synthesis_init(synthesis, seed);
        output.ResetDynamics();
        vhf.Reset();
    }
    melp::MelpSynthesis synthesis;
    AutoGainStage output;
    VHFFilter vhf;
    uint32_t seed;
};

CMELPCodec::CMELPCodec()
    : m_analysis(std::make_unique<melp::MelpAnalysis>()), m_input(kStageRate), m_outputSquelch(50.0f) {
    melp::melp_analysis_init(*m_analysis);
    for (int t = 0; t < kTalkers; ++t) m_talkers[t] = std::make_unique<Talker>(t);
}

CMELPCodec::~CMELPCodec() = default;

void CMELPCodec::Encode(int count, const int16_t* samples, uint8_t* out) {
    for (int block = 0; block < count; ++block) {
        float x[kBlockSamples];
        for (int i = 0; i < kBlockSamples; ++i) x[i] = samples[i];
        m_input.Process(x, kBlockSamples);
        uint16_t words[kBlockWords];
        melp::ChannelCursor cursor{words, 0};
        melp::MelpParams params;
        for (int f = 0; f < kFramesPerBlock; ++f) melp::melp_analyse_frame(*m_analysis, x + f * melp::kFrame, params, cursor);
        out = melp::PackBits(words, out, kBlockBits, melp::kWordBits);
        samples += kBlockSamples;
    }
}

void CMELPCodec::Decode(int talker, bool outputStage, bool vhfFilter, int count, const uint8_t* in,
                        int16_t* out) {
    Talker& slot = *m_talkers[melp::CheckedLimit(talker, 0, kTalkers - 1)];
    for (int block = 0; block < count; ++block) {
        uint16_t words[kBlockWords];
        in = melp::UnpackBits(in, words, kBlockBits, melp::kWordBits);
        melp::ChannelCursor cursor{words, 0};
        float y[kBlockSamples];
        for (int f = 0; f < kFramesPerBlock; ++f) melp::melp_synthesise_frame(slot.synthesis, cursor, y + f * melp::kFrame);
        if (vhfFilter) slot.vhf.Process(y, kBlockSamples);
        if (outputStage) slot.output.Process(y, kBlockSamples);
        for (int i = 0; i < kBlockSamples; ++i) out[i] = ToSample(y[i]);
        out += kBlockSamples;
    }
}

void CMELPCodec::ResetTalker(int talker) { m_talkers[melp::CheckedLimit(talker, 0, kTalkers - 1)]->Reset(); }

void CMELPCodec::SetOutputSquelch(float level) {
    m_outputSquelch = level == 0.0f ? 1.0f : level;
    for (auto& t : m_talkers) t->output.SetSquelch(m_outputSquelch);
}

void CMELPCodec::SetOutputGate(bool on) {
    for (auto& t : m_talkers) t->output.SetGate(on);
}

int CMELPCodec::RootFailures() const { return m_analysis->rootFailures; }
