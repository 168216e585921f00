// Pitch search and refinement. Tested by tests/voice/melp_dsp_test.cpp.
#include "voice/melp/pit_lib.h"

#include <algorithm>
#include <cmath>

#include "voice/melp/melp_params.h"
#include "voice/melp/melp_prim.h"

namespace melp {

namespace {
constexpr int kMedianMax = 5;
constexpr float kPitchDefault = 50.0f;
constexpr float kPitchDecay = 0.95f;
}  // namespace

const float kPitchLowpassNum[7] = {0.00105165003f, 0.00630987994f, 0.0157747008f, 0.0210329406f,
                                   0.0157747008f,  0.00630987994f, 0.00105165003f};
const float kPitchLowpassDen[7] = {1.0f, -2.97852993f, 4.13608122f, -3.25976419f,
                                   1.51727879f, -0.391117215f, 0.0433569886f};

float pitch_search(const float* x, float* correlation, int lower, int upper, int n) {
    int b = -((n + upper) / 2);
    double e0 = vec_energy(x + b, n);
    double eT = vec_energy(x + b + upper, n);
    double best = 0.0;
    int lag = lower;
    for (int T = upper, step = 0; T >= lower; --T, ++step) {
        double c = vec_dot(x + b, x + b + T, n);
        if (c > 0.01) {
            const double energies = e0 * eT;
            c = energies > 0.0 ? c * c / energies : 0.0;
        }
        if (c > best) {
            best = c;
            lag = T;
        }
        // Keep both windows centred on the frame end as the lag shrinks.
        if (step % 2 == 0) {
            e0 += static_cast<double>(x[b + n]) * x[b + n] - static_cast<double>(x[b]) * x[b];
            ++b;
        } else {
            eT += static_cast<double>(x[b + T - 1]) * x[b + T - 1] -
                  static_cast<double>(x[b + T - 1 + n]) * x[b + T - 1 + n];
        }
    }
    *correlation = static_cast<float>(std::sqrt(best));
    return static_cast<float>(lag);
}

float pitch_refine(const float* x, float* correlation, float P, int range, int Pmin, int Pmax, int Lmin) {
    if (range > 0) {
        const int T = static_cast<int>(P + 0.5f);
        const int lower = std::max({T - range, Pmin, static_cast<int>(0.75f * T)});
        const int upper = std::min(T + range, Pmax);
        float unused;
        if (lower <= upper) P = pitch_search(x, &unused, lower, upper, std::max(T, Lmin));
    }
    int T = std::min(static_cast<int>(P + 0.5f), Pmax - 1);
    T = std::max(T, Pmin);
    const int L = std::max(T, Lmin);
    const int b = -((L + T) / 2);
    // One pass gathers the products for lag T and for T - 1, so the choice
    // between them below needs no second pass.
    const float* x0 = x + b;
    const float* xm = x + b + T - 1;
    // Two interleaved halves of each sum, which the compiler pairs in vector
    // registers; each sum is double.
    enum { k00, k0m, k0T, k0T1, kmm, kmT, kTT, kTT1, kT1T1, kSums };
    double sums[kSums][2] = {};
    int i = 0;
    for (; i + 2 <= L; i += 2) {
        for (int l = 0; l < 2; ++l) {
            const double a = x0[i + l], m = xm[i + l], t = xm[i + l + 1], t1 = xm[i + l + 2];
            sums[k00][l] += a * a;
            sums[k0m][l] += a * m;
            sums[k0T][l] += a * t;
            sums[k0T1][l] += a * t1;
            sums[kmm][l] += m * m;
            sums[kmT][l] += m * t;
            sums[kTT][l] += t * t;
            sums[kTT1][l] += t * t1;
            sums[kT1T1][l] += t1 * t1;
        }
    }
    for (; i < L; ++i) {
        const double a = x0[i], m = xm[i], t = xm[i + 1], t1 = xm[i + 2];
        sums[k00][0] += a * a;
        sums[k0m][0] += a * m;
        sums[k0T][0] += a * t;
        sums[k0T1][0] += a * t1;
        sums[kmm][0] += m * m;
        sums[kmT][0] += m * t;
        sums[kTT][0] += t * t;
        sums[kTT1][0] += t * t1;
        sums[kT1T1][0] += t1 * t1;
    }
    auto total = [&](int k) { return sums[k][0] + sums[k][1]; };
    double c00 = total(k00), c0Tm = total(k0m), c0T = total(k0T), c0T1 = total(k0T1), cmm = total(kmm),
           cmT = total(kmT), cTT = total(kTT), cTT1 = total(kTT1), cT1T1 = total(kT1T1);
    if (c0Tm > c0T1) {
        --T;
        c0T1 = c0T;
        c0T = c0Tm;
        cT1T1 = cTT;
        cTT1 = cmT;
        cTT = cmm;
    }
    const double D = c0T1 * (cTT - cTT1) + c0T * (cT1T1 - cTT1);
    double q = std::fabs(D) > 0.01 ? (c0T1 * cTT - c0T * cTT1) / D : 0.5;
    q = std::clamp(q, -1.0, 2.0);
    const double pitch = std::clamp(T + q, static_cast<double>(Pmin), static_cast<double>(Pmax));
    q = pitch - T;
    const double den = c00 * ((1.0 - q) * (1.0 - q) * cTT + 2.0 * q * (1.0 - q) * cTT1 + q * q * cT1T1);
    *correlation = den > 0.0001 ? static_cast<float>(((1.0 - q) * c0T + q * c0T1) / std::sqrt(den)) : 0.0f;
    return static_cast<float>(pitch);
}

float median_small(const float* x, int n) {
    n = CheckedLimit(n, 1, kMedianMax);
    float sorted[kMedianMax];
    for (int i = 0; i < n; ++i) {
        int j = i;
        while (j > 0 && sorted[j - 1] > x[i]) {
            sorted[j] = sorted[j - 1];
            --j;
        }
        sorted[j] = x[i];
    }
    return sorted[n / 2];
}

void pitch_multiple_check(const float* x, float p, float* correlation) {
    if (p >= 30.0f || p <= 0.0f) return;
    int m = 2;
    while (m * p < 30.0f) ++m;
    float c;
    pitch_refine(x, &c, m * p, 0, kPitchMin, kPitchMax, kPitchMax);
    // A short pitch must hold at its multiple too. Taking the larger value
    // would let the true period vouch for its own half and halve every
    // pitch between 40 and 60 samples.
    if (c < *correlation) *correlation = c;
}

float pitch_doubling_check(const float* x, float p, float factor, float* correlation) {
    p = pitch_refine(x, correlation, p, 0, kPitchMin, kPitchMax, kPitchMax);
    const float threshold = factor * *correlation;
    for (int k = 8; k >= 2; --k) {
        float q = p / k;
        if (q < kPitchMin) continue;
        float cq;
        q = pitch_refine(x, &cq, q, 0, kPitchMin, kPitchMax, kPitchMax);
        pitch_multiple_check(x, q, &cq);
        if (cq > threshold) {
            p = pitch_refine(x, correlation, q, 0, kPitchMin, kPitchMax, kPitchMax);
            break;
        }
    }
    pitch_multiple_check(x, p, correlation);
    return p;
}

void pitch_average_init(PitchAverage& state) { state = PitchAverage{}; }

void pitch_average_update(PitchAverage& state, float pitch, float correlation, float threshold) {
    if (correlation > threshold) {
        state.store[2] = state.store[1];
        state.store[1] = state.store[0];
        state.store[0] = pitch;
    } else {
        for (float& v : state.store) v = kPitchDecay * v + (1.0f - kPitchDecay) * kPitchDefault;
    }
    state.average = median_small(state.store, 3);
}

float pitch_final(const float* speechCentre, const float* residualWindow, float* lowpassHistory,
                  float subPitch, float averagePitch, float* correlation) {
    float scratch[kSection + kPitchWindow];
    float* lowpassed = scratch + kSection;
    window_filter6(residualWindow, kPitchLowpassNum, kPitchLowpassDen, lowpassHistory, lowpassed);
    const float* centre = lowpassed + kPitchCentre;
    float c;
    float p = pitch_refine(centre, &c, subPitch, 5, kPitchMin, kPitchMax, kPitchMax);
    if (c >= 0.6f) {
        p = pitch_doubling_check(centre, p, p > 100.0f ? 0.5f : 0.75f, &c);
    } else {
        p = pitch_refine(speechCentre, &c, p, 0, kPitchMin, kPitchMax, kPitchMax);
        if (c >= 0.55f)
            p = pitch_doubling_check(speechCentre, p, p > 100.0f ? 0.7f : 0.9f, &c);
        else
            p = averagePitch;
    }
    if (c < 0.55f) p = averagePitch;
    *correlation = c;
    return p;
}

}  // namespace melp
