// Vector quantisers and the converted codebooks. Tested by tests/voice/melp_dsp_test.cpp.
#include "voice/melp/vq_lib.h"

#include <algorithm>
#include <cmath>

#include "voice/melp/lpc_lib.h"
#include "voice/melp/melp_prim.h"
#include "voice/melp/melp_tables.h"

namespace melp {

namespace {
constexpr int kMaxSurvivors = 8;
constexpr int kMaxStages = 4;
constexpr int kMaxDimension = 10;
constexpr int kMaxLevels = 256;
constexpr float kNoError = 1.0e20f;
// The codebook in the standard is in Hz for an 8000-Hz signal.
constexpr float kHzToNormalised = 2.0f / 8000.0f;
constexpr float kFourierWeightPitch = 60.0f;
}  // namespace

void lsf_weights(float* weights, const float* lsf, const float* a, int p) {
    for (int k = 0; k < p; ++k) {
        const float power = lpc_power_response(a, static_cast<float>(M_PI) * lsf[k + 1], p);
        weights[k] = static_cast<float>(std::pow(std::max(power, 1.0e-20f), -0.3f));
    }
    if (p >= 10) {
        weights[8] *= 0.64f;
        weights[9] *= 0.16f;
    }
}

float msvq_search(const float* codebook, const float* target, const int* levels, int survivors, int stages,
                  int dimension, const float* weights, float* result, int* indices) {
    survivors = CheckedLimit(survivors, 1, kMaxSurvivors);
    stages = CheckedLimit(stages, 1, kMaxStages);
    dimension = CheckedLimit(dimension, 1, kMaxDimension);
    float residual[kMaxSurvivors][kMaxDimension];
    float nextResidual[kMaxSurvivors][kMaxDimension];
    int path[kMaxSurvivors][kMaxStages];
    int nextPath[kMaxSurvivors][kMaxStages];
    float error[kMaxSurvivors];
    float nextError[kMaxSurvivors];
    int parent[kMaxSurvivors];
    int chosen[kMaxSurvivors];

    vec_copy(residual[0], target, dimension);
    double start = 0.0;
    for (int k = 0; k < dimension; ++k) start += static_cast<double>(weights[k]) * target[k] * target[k];
    error[0] = static_cast<float>(start);
    int active = 1;

    const float* stageBook = codebook;
    for (int s = 0; s < stages; ++s) {
        const int count = CheckedLimit(levels[s], 1, kMaxLevels);
        fill_value(nextError, kNoError, kMaxSurvivors);
        // The stage transposed, so the terms of all its vectors are formed
        // side by side.
        float transposed[kMaxDimension][kMaxLevels];
        for (int v = 0; v < count; ++v)
            for (int k = 0; k < dimension; ++k) transposed[k][v] = stageBook[v * dimension + k];
        double energy[kMaxLevels];
        for (int v = 0; v < count; ++v) energy[v] = 0.0;
        for (int k = 0; k < dimension; ++k) {
            const double w = weights[k];
            const float* column = transposed[k];
            for (int v = 0; v < count; ++v) energy[v] += w * column[v] * column[v];
        }
        int slot = 0;
        for (int p = 0; p < active; ++p) {
            double cross[kMaxLevels];
            for (int v = 0; v < count; ++v) cross[v] = 0.0;
            for (int k = 0; k < dimension; ++k) {
                const double weighted = 2.0 * weights[k] * residual[p][k];
                const float* column = transposed[k];
                for (int v = 0; v < count; ++v) cross[v] += weighted * column[v];
            }
            for (int v = 0; v < count; ++v) {
                const float e = static_cast<float>(error[p] - cross[v] + energy[v]);
                if (e <= nextError[slot]) {
                    nextError[slot] = e;
                    parent[slot] = p;
                    chosen[slot] = v;
                    // The next extension competes with the worst survivor.
                    slot = index_of_max(nextError, survivors);
                }
            }
        }
        const int extensions = active * count;
        active = extensions < survivors ? extensions : survivors;
        for (int j = 0; j < active; ++j) {
            const float* vec = stageBook + chosen[j] * dimension;
            for (int k = 0; k < dimension; ++k) nextResidual[j][k] = residual[parent[j]][k] - vec[k];
            for (int t = 0; t < s; ++t) nextPath[j][t] = path[parent[j]][t];
            nextPath[j][s] = chosen[j];
        }
        for (int j = 0; j < active; ++j) {
            vec_copy(residual[j], nextResidual[j], dimension);
            for (int t = 0; t <= s; ++t) path[j][t] = nextPath[j][t];
            error[j] = nextError[j];
        }
        stageBook += count * dimension;
    }
    int best = 0;
    for (int j = 1; j < active; ++j)
        if (error[j] < error[best]) best = j;
    vec_copy_int(indices, path[best], stages);
    msvq_decode(codebook, result, indices, levels, stages, dimension);
    return error[best];
}

void msvq_decode(const float* codebook, float* result, const int* indices, const int* levels, int stages,
                 int dimension) {
    vec_zero(result, dimension);
    for (int s = 0; s < stages; ++s) {
        const int index = CheckedLimit(indices[s], 0, levels[s] - 1);
        vec_add(result, codebook + index * dimension, dimension);
        codebook += levels[s] * dimension;
    }
}

float vq_full_search(const float* codebook, const float* target, int levels, int dimension, float* result,
                     int* index) {
    float best = kNoError;
    *index = 0;
    for (int v = 0; v < levels; ++v) {
        const float* vec = codebook + v * dimension;
        double even = 0.0, odd = 0.0;
        int k = 0;
        for (; k + 2 <= dimension; k += 2) {
            const double d0 = static_cast<double>(target[k]) - vec[k];
            const double d1 = static_cast<double>(target[k + 1]) - vec[k + 1];
            even += d0 * d0;
            odd += d1 * d1;
        }
        if (k < dimension) {
            const double d = static_cast<double>(target[k]) - vec[k];
            even += d * d;
        }
        const double e = even + odd;
        if (e < best) {
            best = static_cast<float>(e);
            *index = v;
        }
    }
    vec_copy(result, codebook + *index * dimension, dimension);
    return best;
}

void fourier_weights(float* weights, int count, float pitch) {
    const double w0 = 2.0 * M_PI / pitch;
    for (int k = 1; k <= count; ++k) {
        const double x = k * w0 / (M_PI / 4.0);
        weights[k - 1] = static_cast<float>(117.0 / (25.0 + 75.0 * std::pow(1.0 + 1.4 * x * x, 0.69)));
    }
}

const Codebooks& ConvertedCodebooks() {
    static const Codebooks books = [] {
        Codebooks b;
        for (int i = 0; i < kLsfCodebookSize; ++i) b.lsf[i] = kLsfCodebookHz[i] * kHzToNormalised;
        fourier_weights(b.fourierWeights, kHarmonics, kFourierWeightPitch);
        for (int k = 0; k < kHarmonics; ++k) b.inverseFourierWeights[k] = 1.0f / b.fourierWeights[k];
        for (int v = 0; v < kFourierLevels; ++v)
            for (int k = 0; k < kHarmonics; ++k)
                b.fourier[v * kHarmonics + k] = kFourierCodebookRaw[v * kHarmonics + k] * b.fourierWeights[k];
        return b;
    }();
    return books;
}

}  // namespace melp
