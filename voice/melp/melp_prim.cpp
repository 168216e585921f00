// Signal primitives of the MELP coder. Tested by tests/voice/melp_dsp_test.cpp.
#include "voice/melp/melp_prim.h"

#include <algorithm>
#include <cmath>

#include "foundation/random15.h"

namespace melp {

namespace {
constexpr int kHarmonicFft = 512;
constexpr int kMaxDcBlock = 512;
}  // namespace

void vec_add(float* a, const float* b, int n) {
    for (int i = 0; i < n; ++i) a[i] += b[i];
}

void vec_sub(float* a, const float* b, int n) {
    for (int i = 0; i < n; ++i) a[i] -= b[i];
}

float* vec_copy(float* dst, const float* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = src[i];
    return dst;
}

void vec_copy_int(int* dst, const int* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = src[i];
}

void vec_scale(float* a, float s, int n) {
    for (int i = 0; i < n; ++i) a[i] *= s;
}

void vec_zero(float* a, int n) { fill_value(a, 0.0f, n); }

void fill_value(float* a, float v, int n) {
    for (int i = 0; i < n; ++i) a[i] = v;
}

float vec_dot(const float* a, const float* b, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += static_cast<double>(a[i]) * b[i];
    return static_cast<float>(sum);
}

float vec_energy(const float* a, int n) { return vec_dot(a, a, n); }

void window_multiply(const float* x, const float* w, float* y, int n) {
    for (int i = 0; i < n; ++i) y[i] = x[i] * w[i];
}

void array_interpolate(const float* prev, const float* cur, float* out, float f, int n) {
    for (int i = 0; i < n; ++i) out[i] = f * cur[i] + (1.0f - f) * prev[i];
}

int index_of_max(const float* x, int n) {
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (x[i] > x[best]) best = i;
    return best;
}

void fir_filter(const float* x, const float* c, float* y, int p, int n) {
    // Downwards, so that y may be x: each output reads only older inputs.
    for (int i = n - 1; i >= 0; --i) {
        double sum = 0.0;
        for (int k = 0; k <= p; ++k) sum += static_cast<double>(c[k]) * x[i - k];
        y[i] = static_cast<float>(sum);
    }
}

void all_pole_filter(const float* x, const float* c, float* y, int p, int n) {
    for (int i = 0; i < n; ++i) {
        double sum = x[i];
        for (int k = 1; k <= p; ++k) sum -= static_cast<double>(c[k]) * y[i - k];
        y[i] = static_cast<float>(sum);
    }
}

void lpc_synthesis_filter(const float* x, float* y, const float* a, int p, int n) {
    all_pole_filter(x, a, y, p, n);
}

void dc_remove(const float* x, float* y, float* history, int n) {
    static constexpr float kDen[5] = {1.0f, -3.84610724f, 5.5520978f, -3.56516075f, 0.859188378f};
    static constexpr float kNum[5] = {0.926924169f, -3.70563841f, 5.55742884f, -3.70563841f, 0.926924169f};
    n = CheckedLimit(n, 0, kMaxDcBlock);
    float temp[4 + kMaxDcBlock];
    vec_copy(temp, history, 4);
    all_pole_filter(x, kDen, temp + 4, 4, n);
    vec_copy(history, temp + n, 4);
    fir_filter(temp + 4, kNum, y, 4, n);
}

void envelope_filter(const float* x, float previousInput, float* y, int n) {
    float previous = std::fabs(previousInput);
    for (int i = 0; i < n; ++i) {
        const float current = std::fabs(x[i]);
        const double v = static_cast<double>(current) - previous + 1.9266 * y[i - 1] - 0.9409 * y[i - 2];
        previous = current;
        y[i] = static_cast<float>(v);
    }
}

void random_uniform(float* y, float a, int n, Random15& random) {
    for (int i = 0; i < n; ++i) y[i] = (static_cast<float>(random.Next()) / 32767.0f - 0.5f) * 2.0f * a;
}

void fft_complex(float* data, int n, int sign) {
    // Work on a 1-based view, as the classic formulation of the algorithm does.
    float* d = data - 1;
    const int total = 2 * n;
    int j = 1;
    for (int i = 1; i < total; i += 2) {
        if (j > i) {
            float t = d[j];
            d[j] = d[i];
            d[i] = t;
            t = d[j + 1];
            d[j + 1] = d[i + 1];
            d[i + 1] = t;
        }
        int m = n;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    int mmax = 2;
    while (total > mmax) {
        const int step = 2 * mmax;
        const double theta = 2.0 * M_PI / (mmax * sign);
        const double wtemp = std::sin(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int m = 1; m < mmax; m += 2) {
            for (int i = m; i <= total; i += step) {
                const int k = i + mmax;
                const double tr = wr * d[k] - wi * d[k + 1];
                const double ti = wr * d[k + 1] + wi * d[k];
                d[k] = static_cast<float>(d[i] - tr);
                d[k + 1] = static_cast<float>(d[i + 1] - ti);
                d[i] = static_cast<float>(d[i] + tr);
                d[i + 1] = static_cast<float>(d[i + 1] + ti);
            }
            const double w = wr;
            wr = w * wpr - wi * wpi + wr;
            wi = wi * wpr + w * wpi + wi;
        }
        mmax = step;
    }
}

void inverse_dft_real(float* X, float* y, int N) {
    N = CheckedLimit(N, 1, kMaxIdft);
    float c[kMaxIdft];
    for (int i = 0; i < N; ++i) c[i] = static_cast<float>(std::cos(2.0 * M_PI * i / N));
    const int K = N / 2 + 1;
    X[0] /= static_cast<float>(N);
    for (int k = 1; k <= K - 2; ++k) X[k] = 2.0f * X[k] / static_cast<float>(N);
    if (K > 1) X[K - 1] = (2 * (K - 1) == N ? 1.0f : 2.0f) * X[K - 1] / static_cast<float>(N);
    for (int i = 0; i < N; ++i) {
        double sum = 0.0;
        for (int k = 0; k < K; ++k) sum += static_cast<double>(X[k]) * c[(i * k) % N];
        y[i] = static_cast<float>(sum);
    }
}

void harmonic_magnitudes(const float* x, float* m, float pitch, int count, int n) {
    fill_value(m, 1.0f, count);
    n = CheckedLimit(n, 0, kHarmonicFft);
    float fft[2 * kHarmonicFft];
    for (int i = 0; i < kHarmonicFft; ++i) {
        fft[2 * i] = i < n ? x[i] : 0.0f;
        fft[2 * i + 1] = 0.0f;
    }
    fft_complex(fft, kHarmonicFft, -1);
    float power[kHarmonicFft];
    for (int i = 0; i < kHarmonicFft; ++i)
        power[i] = fft[2 * i] * fft[2 * i] + fft[2 * i + 1] * fft[2 * i + 1];

    const float width = kHarmonicFft / pitch;
    const int search = std::max(static_cast<int>(width), 2);
    int measured = count;
    if (count > pitch / 4.0f) measured = static_cast<int>(pitch / 4.0f);
    double sum = 0.0;
    for (int k = 0; k < measured; ++k) {
        int start = static_cast<int>((k + 1) * width - search / 2 + 0.5f);
        // Bins past the middle mirror the ones below; stay inside the spectrum.
        start = CheckedLimit(start, 0, kHarmonicFft - search);
        const int peak = start + index_of_max(power + start, search);
        m[k] = power[peak];
        sum += m[k];
    }
    for (int k = 0; k < measured; ++k)
        m[k] = static_cast<float>(std::sqrt(m[k] * measured / (sum + 0.0001)));
}

float lin_interp_bounded(float x, float x0, float x1, float y0, float y1) {
    if (x <= x0) return y0;
    if (x >= x1) return y1;
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

}  // namespace melp

namespace melp {

void window_filter6(const float* x, const float* num, const float* den, float* history, float* out) {
    constexpr int kNextWindow = kPitchWindow - 141;  // 180: where the next frame's window starts
    vec_copy(out - kSection, history, kSection);
    all_pole_filter(x, den, out, kSection, kPitchWindow);
    vec_copy(history, out + kNextWindow - kSection, kSection);
    fir_filter(out, num, out, kSection, kPitchWindow);
}

}  // namespace melp
