// The MELP speech decoder. Tested by tests/voice/melp_codec_test.cpp.
#include "voice/melp/melp_syn.h"

#include <algorithm>
#include <cmath>

#include "voice/melp/lpc_lib.h"
#include "voice/melp/melp_channel.h"
#include "voice/melp/melp_prim.h"
#include "voice/melp/melp_tables.h"

namespace melp {

namespace {

constexpr float kPulseAmplitude = 1000.0f;
constexpr float kNoiseAmplitude = 1732.0f;  // uniform, RMS about 1000
constexpr int kCrossfade = 10;
constexpr int kPulseRotation = 10;

struct PeriodFilters {
    float pulse[kMixTaps];
    float noise[kMixTaps];
};

// Synthesises one pitch period at output position s; returns its length.
int synthesise_period(MelpSynthesis& st, float frameTilt, const PeriodFilters& mix, int s, float* output) {
    const MelpParams& cur = st.current;
    const MelpParams& prev = st.previous;
    const float r = static_cast<float>(s) / kFrame;
    float g;
    if (s >= kHalfFrame) {
        const float t = static_cast<float>(s - kHalfFrame) / kHalfFrame;
        g = (1.0f - t) * cur.gain[0] + t * cur.gain[1];
    } else {
        const float t = static_cast<float>(s) / kHalfFrame;
        g = (1.0f - t) * prev.gain[1] + t * cur.gain[0];
    }
    // A large gain step moves everything with the gain rather than with time.
    const float d = cur.gain[1] - prev.gain[1];
    const float f = std::fabs(d) > 6.0f ? std::clamp((g - prev.gain[1]) / d, 0.0f, 1.0f) : r;

    float lsf[kOrder + 1], a[kOrder + 1];
    array_interpolate(prev.lsf, cur.lsf, lsf, f, kOrder + 1);
    lsf_to_lpc(lsf, a, kOrder);

    const float e = lin_interp_bounded(g, st.noise + 12.0f, st.noise + 30.0f, 0.0f, 1.0f);
    float zeros[kOrder + 1], poles[kOrder + 1];
    zeros[0] = poles[0] = 1.0f;
    lpc_bandwidth_expand(a, zeros, 0.5f * e, kOrder);
    lpc_bandwidth_expand(a, poles, 0.8f * e, kOrder);
    const float tilt = (f * frameTilt + (1.0f - f) * st.previousTilt) * e;

    const float P = f * cur.pitch + (1.0f - f) * prev.pitch;
    const float pulseAmplitude = std::sqrt(std::max(P, 0.0f)) * kPulseAmplitude;
    const float sr = std::sqrt(r);
    float pulseFilter[kMixTaps], noiseFilter[kMixTaps];
    array_interpolate(st.previousPulseFilter, mix.pulse, pulseFilter, sr, kMixTaps);
    array_interpolate(st.previousNoiseFilter, mix.noise, noiseFilter, sr, kMixTaps);
    const float j = r * cur.jitter + (1.0f - r) * prev.jitter;
    const float A = std::pow(10.0f, 0.05f * g);

    float u;
    random_uniform(&u, 1.0f, 1, st.random);
    const int L = std::clamp(static_cast<int>((1.0f - j * u) * P + 0.5f), kPitchMin, kPitchMax);

    // One pitch pulse with the interpolated Fourier magnitudes.
    float fourier[kPitchMax];
    fill_value(fourier, 1.0f, L);
    fourier[0] = 0.0f;
    array_interpolate(prev.fourier_mag, cur.fourier_mag, fourier + 1, f, kHarmonics);
    float pulse[kPitchMax];
    inverse_dft_real(fourier, pulse, L);

    float sig[kMixOrder + kPitchMax];
    vec_copy(sig, st.pulseHistory, kMixOrder);
    for (int i = 0; i < L; ++i)
        sig[kMixOrder + i] = pulse[((i - kPulseRotation) % L + L) % L] * pulseAmplitude;
    vec_copy(st.pulseHistory, sig + L, kMixOrder);
    fir_filter(sig + kMixOrder, pulseFilter, sig + kMixOrder, kMixOrder, L);

    float noise[kMixOrder + kPitchMax];
    vec_copy(noise, st.noiseHistory, kMixOrder);
    random_uniform(noise + kMixOrder, kNoiseAmplitude, L, st.random);
    vec_copy(st.noiseHistory, noise + L, kMixOrder);
    fir_filter(noise + kMixOrder, noiseFilter, noise + kMixOrder, kMixOrder, L);
    vec_add(sig + kMixOrder, noise + kMixOrder, L);

    // Adaptive spectral enhancement: the zeros see the same past as the poles.
    float enh[kOrder + kPitchMax];
    vec_copy(enh, st.enhancementHistory, kOrder);
    lpc_synthesis_filter(sig + kMixOrder, enh + kOrder, poles, kOrder, L);
    vec_copy(st.enhancementHistory, enh + L, kOrder);
    fir_filter(enh + kOrder, zeros, enh + kOrder, kOrder, L);

    float tilted[1 + kPitchMax];
    tilted[0] = st.tiltHistory;
    vec_copy(tilted + 1, enh + kOrder, L);
    st.tiltHistory = tilted[L];
    const float tiltFilter[2] = {1.0f, tilt};
    fir_filter(tilted + 1, tiltFilter, tilted + 1, 1, L);

    float synth[kOrder + kPitchMax];
    vec_copy(synth, st.lpcHistory, kOrder);
    lpc_synthesis_filter(tilted + 1, synth + kOrder, a, kOrder, L);
    vec_copy(st.lpcHistory, synth + L, kOrder);
    scale_adjust(synth + kOrder, A, &st.previousScale, L, kCrossfade);

    float dispersed[kDispersionOrder + kPitchMax];
    vec_copy(dispersed, st.dispersionHistory, kDispersionOrder);
    vec_copy(dispersed + kDispersionOrder, synth + kOrder, L);
    vec_copy(st.dispersionHistory, dispersed + L, kDispersionOrder);
    fir_filter(dispersed + kDispersionOrder, kPulseDispersionTaps, dispersed + kDispersionOrder, kDispersionOrder,
               L);

    for (int i = 0; i < L; ++i) {
        const int position = s + i;
        if (position < kFrame)
            output[position] = dispersed[kDispersionOrder + i];
        else
            st.save[position - kFrame] = dispersed[kDispersionOrder + i];
    }
    return L;
}

}  // namespace

void melp_synthesis_init(MelpSynthesis& state, uint32_t seed) {
    state = MelpSynthesis{};
    float lsf = 0.0f;
    for (int i = 1; i <= kOrder; ++i) {
        lsf += 1.0f / (kOrder + 1);
        state.previous.lsf[i] = lsf;
    }
    state.previous.pitch = 50.0f;
    state.previousNoiseFilter[kMixOrder / 2] = 1.0f;
    state.random.Seed(seed);
    ConvertedCodebooks();
}

int melp_synthesise_frame(MelpSynthesis& st, ChannelCursor& cursor, float* output) {
    const Codebooks& books = ConvertedCodebooks();
    // The periods never exceed kPitchMax, so the overhang fits the frame.
    int s = CheckedLimit(st.overhang, 0, kPitchMax - 1);
    vec_copy(output, st.save, s);

    MelpParams& cur = st.current;
    const int erased = melp_channel_read(cur, st.previous, st.gains, cursor);
    if (!cur.unvoiced && !erased) window_multiply(cur.fourier_mag, books.inverseFourierWeights, cur.fourier_mag, kHarmonics);

    if (st.firstFrame) {
        st.noise = cur.gain[1];
        st.firstFrame = false;
    } else if (!erased) {
        for (float& g : cur.gain) {
            noise_estimate(g, st.noise, 0.0337435f, -0.135418f, 10.0f, 80.0f);
            noise_suppress(g, st.noise, 20.0f, 6.0f, 3.0f);
        }
    }

    lsf_clamp(cur.lsf, kLsfMinSeparation, kOrder);
    lsf_make_stable(cur.lsf, kLsfMinSeparation / 16.0f, kOrder);
    float lsf[kOrder + 1], a[kOrder + 1], k[kOrder + 1];
    vec_copy(lsf, cur.lsf, kOrder + 1);
    lsf_to_lpc(lsf, a, kOrder);
    lpc_to_reflection(a, k, kOrder);
    const float frameTilt = k[1] < 0.0f ? 0.5f * k[1] : 0.0f;

    // At an onset the periods start from the new pitch.
    if (cur.pitch < 0.5f * st.previous.pitch && cur.gain[0] > st.previous.gain[1] + 6.0f)
        st.previous.pitch = cur.pitch;

    PeriodFilters mix{};
    for (int b = 0; b < kBands; ++b) {
        float* target = cur.voicing[b] > 0.5f ? mix.pulse : mix.noise;
        vec_add(target, kBandShapingTaps + b * kMixTaps, kMixTaps);
    }

    while (s < kFrame) s += synthesise_period(st, frameTilt, mix, s, output);

    vec_copy(st.previousPulseFilter, mix.pulse, kMixTaps);
    vec_copy(st.previousNoiseFilter, mix.noise, kMixTaps);
    st.previousTilt = frameTilt;
    st.overhang = s - kFrame;
    st.previous = cur;
    return erased;
}

}  // namespace melp
