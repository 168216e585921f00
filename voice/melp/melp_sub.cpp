// Gain, voicing and scalar quantisation routines. Tested by
// tests/voice/melp_dsp_test.cpp and tests/voice/melp_bits_test.cpp.
#include "voice/melp/melp_sub.h"

#include <algorithm>
#include <cmath>

#include "voice/melp/pit_lib.h"

namespace melp {

namespace {

struct BandFilter {
    float num[7];
    float den[7];
};
constexpr BandFilter kBandFilters[kBands] = {
    {{2.88299998e-05f, 0.000172960004f, 0.000432389992f, 0.000576519989f, 0.000432389992f, 0.000172960004f,
      2.88299998e-05f},
     {1.0f, -4.48456287f, 8.52900505f, -8.77910805f, 5.14764261f, -1.62771475f, 0.216582865f}},
    {{0.00530041009f, 0.0f, -0.0159012303f, 0.0f, 0.0159012303f, 0.0f, -0.00530041009f},
     {1.0f, -4.42459774f, 8.79771519f, -9.95335579f, 6.75320292f, -2.60749984f, 0.453545928f}},
    {{0.0316893384f, 0.0f, -0.0950680301f, 0.0f, 0.0950680301f, 0.0f, -0.0316893384f},
     {1.0f, -1.84699035f, 2.63060188f, -2.21638846f, 1.57491243f, -0.622912824f, 0.197825193f}},
    {{0.0316893384f, 0.0f, -0.0950680301f, 0.0f, 0.0950680301f, 0.0f, -0.0316893384f},
     {1.0f, 1.84699035f, 2.63060188f, 2.21638846f, 1.57491243f, 0.622912824f, 0.197825193f}},
    {{0.00105165003f, -0.00630987994f, 0.0157747008f, -0.0210329406f, 0.0157747008f, -0.00630987994f,
      0.00105165003f},
     {1.0f, 2.97852993f, 4.13608122f, 3.25976419f, 1.51727879f, 0.391117215f, 0.0433569886f}},
};

}  // namespace

float residual_peakiness(const float* x, int n) {
    double absSum = 0.0;
    for (int i = 0; i < n; ++i) absSum += std::fabs(x[i]);
    if (absSum <= 0.01) return 0.0f;
    return static_cast<float>(std::sqrt(n * static_cast<double>(vec_energy(x, n))) / absSum);
}

float gain_measure(const float* x, float P, int Lmin, int Lmax) {
    const float step = std::max(P, 1.0f);
    float l = step;
    while (l < Lmin) l += step;
    int L = static_cast<int>(l + 0.5f);
    if (L > Lmax) L /= 2;
    L = std::max(L, 1);
    const double energy = vec_energy(x - L / 2, L);
    const double gain = 10.0 * std::log10(0.01 + energy / L);
    return static_cast<float>(std::max(gain, 0.0));
}

void scale_adjust(float* x, float A, float* previousScale, int n, int crossfade) {
    const double rms = std::sqrt(vec_energy(x, n) / n);
    const float scale = static_cast<float>(A / (rms + 0.01));
    const int fade = std::min(crossfade - 1, n);
    for (int i = 1; i <= fade; ++i)
        x[i - 1] *= (i * scale + (crossfade - i) * *previousScale) / crossfade;
    for (int i = std::max(fade, 0); i < n; ++i) x[i] *= scale;
    *previousScale = scale;
}

float bandpass_voicing(BandpassVoicingState& state, const float* window, const float candidates[2],
                       float* voicing) {
    float scratch[kSection + kPitchWindow];
    float* band = scratch + kSection;
    const float* centre = band + kPitchCentre;
    float subPitch = candidates[0];
    for (int b = 0; b < kBands; ++b) {
        window_filter6(window, kBandFilters[b].num, kBandFilters[b].den, state.bandHistory[b], band);
        if (b == 0) {
            float c;
            subPitch = pitch_refine(centre, &voicing[0], candidates[0], 5, kPitchMin, kPitchMax, kPitchMax);
            const float second = pitch_refine(centre, &c, candidates[1], 5, kPitchMin, kPitchMax, kPitchMax);
            if (c > voicing[0]) {
                voicing[0] = c;
                subPitch = second;
            }
            continue;
        }
        pitch_refine(centre, &voicing[b], subPitch, 0, kPitchMin, kPitchMax, kPitchMax);
        // The envelope carries the pitch of bands where the waveform does not.
        constexpr int kLast = kPitchWindow - 141 - 1;  // 179: the sample before the next window
        const float previousInput = state.envelopeInput[b];
        state.envelopeInput[b] = band[kLast];
        band[-2] = state.envelopeOutputs[b][0];
        band[-1] = state.envelopeOutputs[b][1];
        envelope_filter(band, previousInput, band, kPitchWindow);
        state.envelopeOutputs[b][0] = band[kLast - 1];
        state.envelopeOutputs[b][1] = band[kLast];
        float c;
        pitch_refine(centre, &c, subPitch, 0, kPitchMin, kPitchMax, kPitchMax);
        if (c - 0.1f > voicing[b]) voicing[b] = c - 0.1f;
    }
    return subPitch;
}

void noise_estimate(float gain, float& estimate, float up, float down, float floor, float ceiling) {
    if (gain > estimate + up)
        estimate += up;
    else if (gain < estimate + down)
        estimate += down;
    else
        estimate = gain;
    estimate = std::clamp(estimate, floor, ceiling);
}

void noise_suppress(float& gain, float estimate, float noiseCeiling, float maxAttenuation, float margin) {
    const float m = std::min(estimate, noiseCeiling);
    const double x = gain - (m + margin);
    double attenuation = maxAttenuation;
    if (x > 0.001) attenuation = std::min<double>(-10.0 * std::log10(1.0 - std::pow(10.0, -0.1 * x)), maxAttenuation);
    gain = static_cast<float>(gain - attenuation);
}

void quant_uniform(float& value, int& index, float low, float high, int levels) {
    const float step = (high - low) / static_cast<float>(levels - 1);
    index = levels - 1;
    for (int i = 0; i < levels - 1; ++i) {
        if (value < low + step / 2.0f + i * step) {
            index = i;
            break;
        }
    }
    value = low + index * step;
}

void dequant_uniform(int index, float& value, float low, float high, int levels) {
    // The same arithmetic as quant_uniform, so both sides agree to the bit.
    const float step = (high - low) / static_cast<float>(levels - 1);
    value = low + index * step;
}

namespace {
// The range of the first gain around the previous and the second gain.
void first_gain_range(float previous, float second, float low, float high, float& lo, float& hi) {
    lo = std::max(std::min(previous, second) - 6.0f, low);
    hi = std::min(std::max(previous, second) + 6.0f, high);
}
}  // namespace

void gain_quantise(float* gain, int* index, float& previous, float low, float high, int levels) {
    quant_uniform(gain[1], index[1], low, high, levels);
    gain[0] = std::clamp(gain[0], low, high);
    const float mean = (gain[1] + previous) / 2.0f;
    if (std::fabs(gain[1] - previous) < 5.0f && std::fabs(gain[0] - mean) < 3.0f) {
        index[0] = 0;
        gain[0] = mean;
    } else {
        float lo, hi;
        first_gain_range(previous, gain[1], low, high, lo, hi);
        quant_uniform(gain[0], index[0], lo, hi, 7);
        index[0] += 1;
    }
    previous = gain[1];
}

void gain_dequantise(float* gain, int* index, GainDecoderState& state, float low, float high, int levels) {
    dequant_uniform(index[1], gain[1], low, high, levels);
    if (index[0] == 0) {
        if (std::fabs(gain[1] - state.previous) <= 5.0f) {
            state.error = 0;
        } else {
            // A jump the interpolation code cannot carry: a bit error, unless
            // the last frame already was one.
            if (!state.error) gain[1] = state.previous;
            state.error = 1;
        }
        gain[0] = (state.previous + gain[1]) / 2.0f;
    } else {
        state.error = 0;
        float lo, hi;
        first_gain_range(state.previous, gain[1], low, high, lo, hi);
        dequant_uniform(index[0] - 1, gain[0], lo, hi, 7);
    }
    state.previous = gain[1];
}

int voicing_quantise(float* strengths, int& code, float threshold, int bands) {
    code = 0;
    if (strengths[0] <= threshold) {
        fill_value(strengths, 0.0f, bands);
        return 1;
    }
    strengths[0] = 1.0f;
    for (int b = 1; b < bands; ++b) {
        const bool voiced = strengths[b] > threshold;
        code = (code << 1) | (voiced ? 1 : 0);
        strengths[b] = voiced ? 1.0f : 0.0f;
    }
    if (code == 1) {
        code = 0;
        strengths[bands - 1] = 0.0f;
    }
    return 0;
}

void voicing_dequantise(float* strengths, int& code, int unvoiced, int bands) {
    if (unvoiced) {
        strengths[0] = 0.0f;
        code = 0;
    } else {
        strengths[0] = 1.0f;
    }
    if (code == 1) code = 0;
    for (int b = bands - 1; b >= 1; --b) strengths[b] = ((code >> (bands - 1 - b)) & 1) ? 1.0f : 0.0f;
}

}  // namespace melp
