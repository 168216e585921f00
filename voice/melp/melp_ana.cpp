// The MELP speech encoder. Tested by tests/voice/melp_codec_test.cpp.
#include "voice/melp/melp_ana.h"

#include <cmath>

#include "voice/melp/lpc_lib.h"
#include "voice/melp/melp_channel.h"
#include "voice/melp/melp_tables.h"
#include "voice/melp/vq_lib.h"

namespace melp {

namespace {
constexpr int kNewest = kSpeechBuffer - kFrame;  // 231
constexpr int kFrameEnd = 250;
constexpr int kWindowStart = kFrameEnd - kPitchCentre;  // 90
constexpr int kLpcStart = kFrameEnd - kLpcWindow / 2;   // 150
constexpr int kGainCentre1 = kFrameEnd - kHalfFrame;    // 160
constexpr float kLogPitchLow = 1.30103f;
constexpr float kLogPitchHigh = 2.20412f;
constexpr int kSurvivors = 8;
constexpr float kUnvoicedGainPitch = 1.33f * kHalfFrame - 0.5f;  // 119.2
}  // namespace

void melp_analysis_init(MelpAnalysis& state) {
    state = MelpAnalysis{};
    for (int n = 0; n < kLpcWindow; ++n)
        state.hamming[n] = static_cast<float>(0.54 - 0.46 * std::cos(2.0 * M_PI * n / (kLpcWindow - 1)));
    for (int i = 1; i <= kOrder; ++i) state.unquantisedLsf[i] = static_cast<float>(i) / (kOrder + 1);
    ConvertedCodebooks();
}

void melp_frame_lsf(MelpAnalysis& st, const float* a, float* lsf) {
    if (lpc_to_lsf(a, lsf, kOrder)) {
        lsf_clamp(lsf, kLsfMinSeparation, kOrder);
        vec_copy(st.unquantisedLsf, lsf, kOrder + 1);
    } else {
        ++st.rootFailures;
        vec_copy(lsf, st.unquantisedLsf, kOrder + 1);
    }
}

void melp_analyse_frame(MelpAnalysis& st, const float* input, MelpParams& params, ChannelCursor& cursor) {
    const Codebooks& books = ConvertedCodebooks();
    float* speech = st.speech;
    dc_remove(input, speech + kNewest, st.dcHistory, kFrame);

    float lowpass[kSection + kPitchWindow];
    window_filter6(speech + kWindowStart, kPitchLowpassNum, kPitchLowpassDen, st.lowpassHistory,
                   lowpass + kSection);
    float corr;
    st.pitchCandidates[1] =
        pitch_search(lowpass + kSection + kPitchCentre, &corr, 2 * kPitchMin, kPitchMax, kPitchMax);

    const float subPitch =
        bandpass_voicing(st.voicing, speech + kWindowStart, st.pitchCandidates, params.voicing);
    params.jitter = params.voicing[0] < 0.5f ? 0.25f : 0.0f;

    // Linear prediction over a Hamming window centred on the frame end.
    float windowed[kLpcWindow];
    window_multiply(speech + kLpcStart, st.hamming, windowed, kLpcWindow);
    float r[kOrder + 1], a[kOrder + 1], k[kOrder + 1];
    autocorrelation(windowed, r, kOrder, kLpcWindow);
    schur_recursion(r, a, k, kOrder);
    lpc_bandwidth_expand(a, a, 0.994f, kOrder);

    float residual[kPitchWindow];
    fir_filter(speech + kWindowStart, a, residual, kOrder, kPitchWindow);
    const float peakiness = residual_peakiness(residual + kPitchCentre - 80, 160);
    if (peakiness > 1.34f) params.voicing[0] = 1.0f;
    if (peakiness > 1.6f) params.voicing[1] = params.voicing[2] = 1.0f;

    float pcorr;
    params.pitch = pitch_final(speech + kFrameEnd, residual, st.finalLowpassHistory, subPitch,
                               st.pitchAverage.average, &pcorr);

    const int centres[2] = {kGainCentre1, kFrameEnd};
    for (int i = 0; i < 2; ++i) {
        params.gain[i] = params.voicing[0] > kVoicingThreshold
                             ? gain_measure(speech + centres[i], subPitch, 120, 320)
                             : gain_measure(speech + centres[i], kUnvoicedGainPitch, 0, 320);
    }
    pitch_average_update(st.pitchAverage, params.pitch, params.gain[1] > 30.0f ? pcorr : 0.0f, 0.8f);

    melp_frame_lsf(st, a, params.lsf);
    float weights[kOrder];
    lsf_weights(weights, params.lsf, a, kOrder);
    msvq_search(books.lsf, params.lsf + 1, kLsfLevels, kSurvivors, kLsfStages, kOrder, weights,
                params.lsf + 1, params.lsf_index);
    lsf_clamp(params.lsf, kLsfMinSeparation, kOrder);
    lsf_make_stable(params.lsf, kLsfMinSeparation / 16.0f, kOrder);

    float logPitch = std::log10(std::max(params.pitch, 1.0f));
    quant_uniform(logPitch, params.pitch_index, kLogPitchLow, kLogPitchHigh, kPitchLevels);
    params.pitch = std::pow(10.0f, logPitch);

    gain_quantise(params.gain, params.gain_index, st.previousGain, kGainLow, kGainHigh, kGainLevels);
    quant_uniform(params.jitter, params.jitter_index, 0.0f, 0.25f, 2);
    params.unvoiced = voicing_quantise(params.voicing, params.voicing_index, kVoicingThreshold, kBands);

    float magnitudes[kHarmonics];
    fill_value(magnitudes, 1.0f, kHarmonics);
    if (params.voicing[0] > kVoicingThreshold) {
        float lsf[kOrder + 1], aq[kOrder + 1];
        vec_copy(lsf, params.lsf, kOrder + 1);
        lsf_to_lpc(lsf, aq, kOrder);
        float lpcResidual[kLpcWindow];
        fir_filter(speech + kLpcStart, aq, lpcResidual, kOrder, kLpcWindow);
        window_multiply(lpcResidual, st.hamming, lpcResidual, kLpcWindow);
        harmonic_magnitudes(lpcResidual, magnitudes, params.pitch, kHarmonics, kLpcWindow);
    }
    window_multiply(magnitudes, books.fourierWeights, magnitudes, kHarmonics);
    float quantised[kHarmonics];
    vq_full_search(books.fourier, magnitudes, kFourierLevels, kHarmonics, quantised, &params.fourier_index);
    if (params.unvoiced)
        fill_value(params.fourier_mag, 1.0f, kHarmonics);
    else
        window_multiply(quantised, books.inverseFourierWeights, params.fourier_mag, kHarmonics);

    melp_channel_write(params, st.sync, cursor);

    vec_copy(speech, speech + kFrame, kSpeechBuffer - kFrame);
    st.pitchCandidates[0] = st.pitchCandidates[1];
}

}  // namespace melp
