// Tests of the MELP signal primitives, LPC/LSF conversions, pitch routines,
// vector quantisers and the generated tables.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "foundation/random15.h"
#include "voice/melp/lpc_lib.h"
#include "voice/melp/melp_ana.h"
#include "voice/melp/melp_prim.h"
#include "voice/melp/melp_sub.h"
#include "voice/melp/melp_tables.h"
#include "voice/melp/pit_lib.h"
#include "voice/melp/vq_lib.h"

using namespace melp;

namespace {

struct TableCase {
    const char* name;
    const float* values;
    size_t size;
    size_t expectedSize;
    std::vector<float> first;
};

TEST(MelpTables, SizesAndFirstValues) {
    const TableCase cases[] = {
        {"lsf",
         kLsfCodebookHz,
         std::size(kLsfCodebookHz),
         3200,
         {355.243042f, 492.660034f, 635.385925f, 980.347961f, 1837.2616f, 2144.99658f, 2413.63037f,
          2740.71436f, 3093.75073f, 3368.60571f}},
        {"fourier",
         kFourierCodebookRaw,
         std::size(kFourierCodebookRaw),
         2560,
         {0.822997987f, 1.496297f, 0.584846973f, 1.31350696f, 0.846008003f, 0.614040971f, 0.615297973f,
          0.88181901f, 1.22733104f, 0.902116001f}},
        {"band",
         kBandShapingTaps,
         std::size(kBandShapingTaps),
         165,
         {-0.0f, -0.0030289f, -0.00701117f, -0.0113062f, -0.0149408f}},
        {"dispersion",
         kPulseDispersionTaps,
         std::size(kPulseDispersionTaps),
         65,
         {-0.173042595f, -0.0140570896f, 0.0122440597f, 0.11364226f}},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.size, c.expectedSize);
        for (size_t i = 0; i < c.first.size(); ++i)
            EXPECT_NEAR(c.values[i], c.first[i], 2e-4f * (1 + std::fabs(c.first[i])));
    }
    // Stage 2 begins with signed corrections.
    const float stage2[] = {-1.08348f, -11.578352f, 2.3063159f, -13.996316f, -69.4562988f};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(kLsfCodebookHz[1280 + i], stage2[i], 1e-3f);
}

TEST(MelpTables, ConvertedCodebooksAreNormalisedAndWeighted) {
    const Codebooks& books = ConvertedCodebooks();
    EXPECT_EQ(&books, &ConvertedCodebooks());  // converted once
    EXPECT_NEAR(books.lsf[0], 355.243042f / 4000.0f, 1e-6f);
    for (int k = 0; k < kHarmonics; ++k) {
        EXPECT_NEAR(books.fourier[k], kFourierCodebookRaw[k] * books.fourierWeights[k], 1e-6f);
        EXPECT_NEAR(books.fourierWeights[k] * books.inverseFourierWeights[k], 1.0f, 1e-6f);
    }
    // Weights fall with the harmonic number.
    for (int k = 1; k < kHarmonics; ++k) EXPECT_LT(books.fourierWeights[k], books.fourierWeights[k - 1]);
}

TEST(MelpFft, MatchesDirectDft) {
    for (int n : {8, 64, 512}) {
        SCOPED_TRACE(n);
        Random15 random(7);
        std::vector<float> data(2 * n);
        for (float& v : data) v = static_cast<float>(random.Next() - 16384) / 1000.0f;
        std::vector<std::complex<double>> expected(n);
        for (int k = 0; k < n; ++k)
            for (int t = 0; t < n; ++t)
                expected[k] += std::complex<double>(data[2 * t], data[2 * t + 1]) *
                               std::polar(1.0, -2.0 * M_PI * k * t / n);
        fft_complex(data.data(), n, -1);
        for (int k = 0; k < n; ++k) {
            EXPECT_NEAR(data[2 * k], expected[k].real(), 1e-3 * std::sqrt(n) * 20);
            EXPECT_NEAR(data[2 * k + 1], expected[k].imag(), 1e-3 * std::sqrt(n) * 20);
        }
    }
}

TEST(MelpInverseDft, AllOnesGivesUnitPulse) {
    for (int N : {20, 60, 160}) {
        std::vector<float> X(N, 1.0f), y(N);
        inverse_dft_real(X.data(), y.data(), N);
        EXPECT_NEAR(y[0], 1.0f, 1e-5f);
        for (int i = 1; i < N; ++i) EXPECT_NEAR(y[i], 0.0f, 1e-5f) << N << " " << i;
    }
}

TEST(MelpLpc, LsfToLpcAndBack) {
    // Cases: evenly spaced, a speech-like set, and a crowded low end.
    const std::vector<std::vector<float>> cases = {
        {0, 1 / 11.f, 2 / 11.f, 3 / 11.f, 4 / 11.f, 5 / 11.f, 6 / 11.f, 7 / 11.f, 8 / 11.f, 9 / 11.f,
         10 / 11.f},
        {0, 0.06f, 0.11f, 0.19f, 0.25f, 0.38f, 0.45f, 0.55f, 0.66f, 0.78f, 0.86f},
        {0, 0.02f, 0.04f, 0.06f, 0.09f, 0.30f, 0.50f, 0.70f, 0.80f, 0.90f, 0.97f},
    };
    for (const auto& lsf : cases) {
        std::vector<float> f = lsf;
        float a[kOrder + 1], back[kOrder + 1] = {};
        lsf_to_lpc(f.data(), a, kOrder);
        ASSERT_TRUE(lpc_to_lsf(a, back, kOrder));
        for (int i = 1; i <= kOrder; ++i) EXPECT_NEAR(back[i], lsf[i], 5e-4f) << i;
        // The predictor built from ordered LSFs is minimum phase.
        float k[kOrder + 1];
        lpc_to_reflection(a, k, kOrder);
        for (int i = 1; i <= kOrder; ++i) EXPECT_LT(std::fabs(k[i]), 1.0f);
    }
}

TEST(MelpLpc, RootSearchReportsAnUnstablePredictor) {
    // 1 + 1.5 z^-10 has its zeros outside the unit circle: its sum and
    // difference polynomials do not have all their roots on it.
    float a[kOrder + 1] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.5f};
    float f[kOrder + 1] = {};
    EXPECT_FALSE(lpc_to_lsf(a, f, kOrder));
    for (int i = 1; i <= kOrder; ++i) EXPECT_FALSE(std::isnan(f[i]));
}

TEST(MelpLpc, AFrameWhoseRootsFailKeepsTheLastGoodLsfs) {
    MelpAnalysis state;
    melp_analysis_init(state);
    float stable[kOrder + 1] = {1, -0.9f};  // one pole at 0.9: all roots found
    float good[kOrder + 1] = {};
    melp_frame_lsf(state, stable, good);
    ASSERT_EQ(state.rootFailures, 0);
    float unstable[kOrder + 1] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.5f};
    float kept[kOrder + 1] = {};
    melp_frame_lsf(state, unstable, kept);
    EXPECT_EQ(state.rootFailures, 1);
    for (int i = 1; i <= kOrder; ++i) EXPECT_EQ(kept[i], good[i]) << i;
}

TEST(MelpLpc, SchurMatchesReflectionRoundTrip) {
    float x[200];
    double y1 = 0, y2 = 0;
    Random15 random(3);
    for (float& v : x) {
        const double in = random.Next() - 16384.0;
        const double out = in + 1.6 * y1 - 0.8 * y2;
        y2 = y1;
        y1 = out;
        v = static_cast<float>(out);
    }
    float r[kOrder + 1], a[kOrder + 1], k[kOrder + 1], k2[kOrder + 1], a2[kOrder + 1];
    autocorrelation(x, r, kOrder, 200);
    const float error = schur_recursion(r, a, k, kOrder);
    EXPECT_GT(error, 0.0f);
    EXPECT_LT(error, r[0]);
    EXPECT_NEAR(a[1], -1.6f, 0.15f);
    EXPECT_NEAR(a[2], 0.8f, 0.15f);
    lpc_to_reflection(a, k2, kOrder);
    reflection_to_lpc(k2, a2, kOrder);
    for (int i = 1; i <= kOrder; ++i) {
        EXPECT_NEAR(k2[i], k[i], 1e-4f);
        EXPECT_NEAR(a2[i], a[i], 1e-4f);
    }
}

TEST(MelpLpc, SilenceAndPowerResponse) {
    float x[50] = {}, r[kOrder + 1];
    autocorrelation(x, r, kOrder, 50);
    EXPECT_EQ(r[0], 1.0f);
    for (int i = 1; i <= kOrder; ++i) EXPECT_EQ(r[i], 0.0f);
    const float a[3] = {1.0f, -0.5f, 0.25f};
    EXPECT_NEAR(lpc_power_response(a, 0.0f, 2), 0.75f * 0.75f, 1e-6f);
    EXPECT_NEAR(lpc_power_response(a, static_cast<float>(M_PI), 2), 1.75f * 1.75f, 1e-5f);
    EXPECT_EQ(lpc_power_response(a, 1.0f, 0), 1.0f);
}

TEST(MelpLpc, ClampSortsAndSeparates) {
    float f[kOrder + 1] = {0, 0.5f, 0.1f, 0.2f, 0.3f, 0.4f, 0.45f, 0.6f, 0.7f, 0.8f, 0.9f};
    ASSERT_TRUE(lsf_clamp(f, 0.0f, kOrder));
    for (int i = 1; i < kOrder; ++i) EXPECT_LE(f[i], f[i + 1]);
    EXPECT_FLOAT_EQ(f[5], 0.45f);  // delta 0 moves nothing apart
    EXPECT_FLOAT_EQ(f[6], 0.5f);
    ASSERT_TRUE(lsf_clamp(f, 0.1f, kOrder));
    EXPECT_GT(f[6] - f[5], 0.05f);
}

TEST(MelpLpc, MakeStableBoundsAnyInput) {
    float f[kOrder + 1] = {0, -0.2f, -0.1f, 0.0f, 0.0f, 0.5f, 0.5f, 1.0f, 1.1f, 1.2f, NAN};
    lsf_make_stable(f, 0.001f, kOrder);
    float low = 0.0f;
    for (int i = 1; i <= kOrder; ++i) {
        EXPECT_GT(f[i], low);
        low = f[i];
    }
    EXPECT_LT(f[kOrder], 1.0f);
}

// A signal periodic with period T around the centre of a 321-sample window.
std::vector<float> Periodic(int T, int length = kPitchWindow) {
    std::vector<float> x(length);
    for (int i = 0; i < length; ++i) {
        const int phase = i % T;
        x[i] = static_cast<float>(1000.0 * std::exp(-phase / 6.0) * std::cos(phase * 0.9));
    }
    return x;
}

TEST(MelpPitch, SearchFindsThePeriod) {
    for (int T : {25, 40, 73, 120, 155}) {
        const auto x = Periodic(T);
        float corr;
        const float lag =
            pitch_search(x.data() + kPitchCentre, &corr, std::max(T - 10, 20), std::min(2 * T - 5, 160), 160);
        EXPECT_EQ(lag, static_cast<float>(T));
        EXPECT_GT(corr, 0.95f);
    }
}

TEST(MelpPitch, SilenceAndVanishingDenominator) {
    std::vector<float> silence(kPitchWindow, 0.0f);
    float corr = -1;
    EXPECT_EQ(pitch_search(silence.data() + kPitchCentre, &corr, 40, 160, 160), 40.0f);
    EXPECT_EQ(corr, 0.0f);
    // No energy: the fraction falls back to half a sample.
    const float p = pitch_refine(silence.data() + kPitchCentre, &corr, 50.0f, 0, 20, 160, 160);
    EXPECT_FLOAT_EQ(p, 50.5f);
    EXPECT_EQ(corr, 0.0f);
}

TEST(MelpPitch, RefineFindsFractionalPeriod) {
    // A sine of period 50.4 samples.
    std::vector<float> x(kPitchWindow);
    for (int i = 0; i < kPitchWindow; ++i) x[i] = static_cast<float>(1000 * std::sin(2 * M_PI * i / 50.4));
    float corr;
    const float p = pitch_refine(x.data() + kPitchCentre, &corr, 52.0f, 5, 20, 160, 160);
    EXPECT_NEAR(p, 50.4f, 0.1f);
    EXPECT_GT(corr, 0.99f);
}

TEST(MelpPitch, MedianAndAverage) {
    const float v[5] = {5, 1, 4, 2, 3};
    EXPECT_EQ(median_small(v, 5), 3.0f);
    EXPECT_EQ(median_small(v, 3), 4.0f);
    PitchAverage avg;
    pitch_average_update(avg, 80.0f, 0.9f, 0.8f);
    pitch_average_update(avg, 82.0f, 0.9f, 0.8f);
    EXPECT_EQ(avg.average, 80.0f);
    pitch_average_update(avg, 90.0f, 0.5f, 0.8f);  // weak correlation: decay toward 50
    EXPECT_NEAR(avg.average, 0.95f * 80.0f + 2.5f, 1e-4f);
}

TEST(MelpGain, MeasureAndScale) {
    std::vector<float> x(400, 100.0f);
    EXPECT_NEAR(gain_measure(x.data() + 200, 50.0f, 120, 320), 40.0f, 0.01f);
    std::vector<float> silence(400, 0.0f);
    EXPECT_EQ(gain_measure(silence.data() + 200, 119.2f, 0, 320), 0.0f);
    std::vector<float> y(40, 3.0f);
    float previous = 0.0f;
    scale_adjust(y.data(), 30.0f, &previous, 40, 10);
    EXPECT_NEAR(y[39], 30.0f, 0.2f);
    EXPECT_NEAR(y[0], 3.0f * previous / 10.0f, 1e-3f);  // cross-fade from a previous scale of 0
    EXPECT_NEAR(residual_peakiness(y.data(), 0), 0.0f, 0.0f);
}

TEST(MelpVq, MultistageSearchBeatsGreedyAndReportsItsError) {
    const Codebooks& books = ConvertedCodebooks();
    Random15 random(11);
    for (int trial = 0; trial < 50; ++trial) {
        float target[kOrder], weights[kOrder];
        float f = 0.0f;
        for (int k = 0; k < kOrder; ++k) {
            f += 0.03f + random.Next() / 32767.0f * 0.08f;
            target[k] = f;
            weights[k] = 0.5f + random.Next() / 32767.0f;
        }
        float best[kOrder], greedy[kOrder];
        int bestIndex[kLsfStages], greedyIndex[kLsfStages];
        const float e8 =
            msvq_search(books.lsf, target, kLsfLevels, 8, kLsfStages, kOrder, weights, best, bestIndex);
        const float e1 =
            msvq_search(books.lsf, target, kLsfLevels, 1, kLsfStages, kOrder, weights, greedy, greedyIndex);
        EXPECT_LE(e8, e1 * 1.0001f + 1e-9f);
        double check = 0.0;
        for (int k = 0; k < kOrder; ++k) check += weights[k] * (target[k] - best[k]) * (target[k] - best[k]);
        EXPECT_NEAR(e8, check, 1e-5 + 1e-3 * check);
        float decoded[kOrder];
        msvq_decode(books.lsf, decoded, bestIndex, kLsfLevels, kLsfStages, kOrder);
        for (int k = 0; k < kOrder; ++k) EXPECT_FLOAT_EQ(decoded[k], best[k]);
    }
}

TEST(MelpVq, SurvivorsWideEnoughFindTheBestPath) {
    // Two stages of four vectors: eight survivors hold every path after the
    // first stage and the best eight of the second, so the search must find
    // the exhaustive optimum; replacing a good survivor instead of the worst
    // would lose it.
    Random15 random(21);
    for (int trial = 0; trial < 200; ++trial) {
        float book[8 * 3], target[3], weights[3] = {1.0f, 0.7f, 1.3f};
        for (float& v : book) v = random.Next() / 32767.0f - 0.5f;
        for (float& v : target) v = random.Next() / 32767.0f - 0.5f;
        const int levels[2] = {4, 4};
        float result[3];
        int indices[2];
        const float error = msvq_search(book, target, levels, 8, 2, 3, weights, result, indices);
        double best = 1e30;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                double e = 0;
                for (int k = 0; k < 3; ++k) {
                    const double d = target[k] - book[i * 3 + k] - book[12 + j * 3 + k];
                    e += weights[k] * d * d;
                }
                best = std::min(best, e);
            }
        EXPECT_NEAR(error, best, 1e-5) << trial;
    }
}

TEST(MelpVq, FullSearchTakesTheFirstNearest) {
    const float book[3 * 2] = {0, 0, 1, 1, 1, 1};
    const float target[2] = {0.9f, 1.2f};
    float result[2];
    int index = -1;
    vq_full_search(book, target, 3, 2, result, &index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(result[0], 1.0f);
}

TEST(MelpFilters, EnvelopeAndDcRemoval) {
    // The high-pass removes a constant offset.
    float history[4] = {};
    std::vector<float> x(512, 1000.0f), y(512);
    for (int block = 0; block < 4; ++block) dc_remove(x.data(), y.data(), history, 512);
    EXPECT_LT(std::fabs(y[511]), 50.0f);
    // The envelope filter in place equals the filter into a separate buffer.
    std::vector<float> a(52), b(52);
    Random15 random(5);
    for (int i = 0; i < 52; ++i) a[i] = b[i] = static_cast<float>(random.Next() - 16384);
    std::vector<float> out(52, 0.0f);
    out[0] = a[0];
    out[1] = a[1];
    envelope_filter(a.data() + 2, 3.0f, out.data() + 2, 50);
    envelope_filter(b.data() + 2, 3.0f, b.data() + 2, 50);
    for (int i = 2; i < 52; ++i) EXPECT_FLOAT_EQ(out[i], b[i]);
}

TEST(MelpHarmonics, PeaksFollowTheSpectrum) {
    // Harmonic 1 ten times stronger than the others of period 50.
    std::vector<float> x(200);
    for (int i = 0; i < 200; ++i)
        x[i] = static_cast<float>(10 * std::cos(2 * M_PI * i / 50) + std::cos(4 * M_PI * i / 50) +
                                  std::cos(6 * M_PI * i / 50));
    float m[kHarmonics];
    harmonic_magnitudes(x.data(), m, 50.0f, kHarmonics, 200);
    EXPECT_GT(m[0], 5 * m[1]);
    // Only P/4 = 12 harmonics could be measured; 10 were asked for.
    double meanSquare = 0;
    for (float v : m) meanSquare += v * v;
    EXPECT_NEAR(meanSquare / kHarmonics, 1.0, 0.01);
}

}  // namespace
