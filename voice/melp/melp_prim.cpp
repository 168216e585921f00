// Signal primitives of the MELP coder. Tested by tests/voice/melp_dsp_test.cpp.
#include "voice/melp/melp_prim.h"

#include <algorithm>
#include <array>
#include <complex>
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
    // Eight running sums (each double) break the dependency chain and let the
    // compiler pair them in vector registers.
    constexpr int kLanes = 8;
    double lanes[kLanes] = {};
    int i = 0;
    for (; i + kLanes <= n; i += kLanes)
        for (int j = 0; j < kLanes; ++j) lanes[j] += static_cast<double>(a[i + j]) * b[i + j];
    double sum = 0.0;
    for (; i < n; ++i) sum += static_cast<double>(a[i]) * b[i];
    for (int j = 0; j < kLanes; ++j) sum += lanes[j];
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
    // Tap by tap over a block of outputs, so the multiply-adds of different
    // outputs run side by side; every input of a block is read before any
    // output is written, so y may be x (blocks go downwards for that).
    constexpr int kBlock = 256;
    double acc[kBlock];
    for (int end = n; end > 0; end -= kBlock) {
        const int start = std::max(0, end - kBlock);
        const int count = end - start;
        for (int i = 0; i < count; ++i) acc[i] = 0.0;
        for (int k = 0; k <= p; ++k) {
            const double tap = c[k];
            const float* past = x + start - k;
            for (int i = 0; i < count; ++i) acc[i] += tap * past[i];
        }
        for (int i = 0; i < count; ++i) y[start + i] = static_cast<float>(acc[i]);
    }
}

void all_pole_filter(const float* x, const float* c, float* y, int p, int n) {
    for (int i = 0; i < n; ++i) {
        // The older outputs first, so only the newest one waits on y[i-1].
        double older = x[i];
        for (int k = p; k >= 2; --k) older -= static_cast<double>(c[k]) * y[i - k];
        y[i] = static_cast<float>(p >= 1 ? older - static_cast<double>(c[1]) * y[i - 1] : older);
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
    double previous = std::fabs(previousInput);
    // The recursion runs on double state; only the stored outputs are float.
    double y1 = y[-1], y2 = y[-2];
    for (int i = 0; i < n; ++i) {
        const double current = std::fabs(x[i]);
        const double v = (current - previous - 0.9409 * y2) + 1.9266 * y1;
        previous = current;
        y2 = y1;
        y1 = v;
        y[i] = static_cast<float>(v);
    }
}

void random_uniform(float* y, float a, int n, Random15& random) {
    for (int i = 0; i < n; ++i) y[i] = (static_cast<float>(random.Next()) / 32767.0f - 0.5f) * 2.0f * a;
}

void fft_complex(float* data, int n, int sign) {
    const int total = 2 * n;
    // Bit-reversal reordering of the complex values.
    for (int i = 0, j = 0; i < total; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = n;
        while (m >= 2 && j >= m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    // Danielson-Lanczos butterflies, twiddles by the trigonometric recurrence.
    for (int mmax = 2; mmax < total; mmax *= 2) {
        const int step = 2 * mmax;
        const double theta = 2.0 * M_PI / (mmax * sign);
        const double wtemp = std::sin(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int m = 0; m < mmax; m += 2) {
            for (int i = m; i < total; i += step) {
                const int k = i + mmax;
                const double tr = wr * data[k] - wi * data[k + 1];
                const double ti = wr * data[k + 1] + wi * data[k];
                data[k] = static_cast<float>(data[i] - tr);
                data[k + 1] = static_cast<float>(data[i + 1] - ti);
                data[i] = static_cast<float>(data[i] + tr);
                data[i + 1] = static_cast<float>(data[i + 1] + ti);
            }
            const double w = wr;
            wr = w * wpr - wi * wpi + wr;
            wi = wi * wpr + w * wpi + wi;
        }
    }
}

namespace {
// cos(2 pi i / N) for every N up to kMaxIdft, one table after another.
struct CosineTables {
    CosineTables() {
        int offset = 0;
        for (int N = 1; N <= kMaxIdft; ++N) {
            start[N] = offset;
            for (int i = 0; i < N; ++i) values[offset++] = static_cast<float>(std::cos(2.0 * M_PI * i / N));
        }
    }
    int start[kMaxIdft + 1] = {};
    float values[kMaxIdft * (kMaxIdft + 1) / 2] = {};
};
}  // namespace

void inverse_dft_real(float* X, float* y, int N) {
    N = CheckedLimit(N, 1, kMaxIdft);
    static const CosineTables tables;
    const float* c = tables.values + tables.start[N];
    const int K = N / 2 + 1;
    X[0] /= static_cast<float>(N);
    for (int k = 1; k <= K - 2; ++k) X[k] = 2.0f * X[k] / static_cast<float>(N);
    if (K > 1) X[K - 1] = (2 * (K - 1) == N ? 1.0f : 2.0f) * X[K - 1] / static_cast<float>(N);
    // A sum of cosines is even: y[N - i] = y[i].
    for (int i = 0; i <= N / 2; ++i) {
        double sum = 0.0;
        int phase = 0;  // (i * k) mod N without a division
        for (int k = 0; k < K; ++k) {
            sum += static_cast<double>(X[k]) * c[phase];
            phase += i;
            if (phase >= N) phase -= N;
        }
        y[i] = static_cast<float>(sum);
        if (i > 0) y[N - i] = y[i];
    }
}

void harmonic_magnitudes(const float* x, float* m, float pitch, int count, int n) {
    fill_value(m, 1.0f, count);
    n = CheckedLimit(n, 0, kHarmonicFft);
    // The real signal's spectrum from a half-length complex transform of its
    // even and odd samples.
    constexpr int kHalf = kHarmonicFft / 2;
    float z[2 * kHalf];
    for (int i = 0; i < kHarmonicFft; ++i) z[i] = i < n ? x[i] : 0.0f;
    fft_complex(z, kHalf, -1);
    static const std::array<std::complex<double>, kHalf + 1> twiddles = [] {
        std::array<std::complex<double>, kHalf + 1> t;
        for (int k = 0; k <= kHalf; ++k) t[k] = std::polar(1.0, -M_PI * k / kHalf);
        return t;
    }();
    float power[kHarmonicFft];
    for (int k = 0; k <= kHalf; ++k) {
        const int a = k % kHalf, b = (kHalf - k) % kHalf;
        const double zr = z[2 * a], zi = z[2 * a + 1], wr = z[2 * b], wi = -z[2 * b + 1];
        const double er = 0.5 * (zr + wr), ei = 0.5 * (zi + wi);    // even samples' spectrum
        const double orr = 0.5 * (zi - wi), oi = -0.5 * (zr - wr);  // odd samples' spectrum
        const double c = twiddles[k].real(), s = twiddles[k].imag();
        const double re = er + c * orr - s * oi, im = ei + c * oi + s * orr;
        power[k] = static_cast<float>(re * re + im * im);
        if (k > 0 && k < kHalf) power[kHarmonicFft - k] = power[k];
    }

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
    // The all-pole part on double state, so that only one multiply-add of
    // each sample waits on the one before it.
    double y1 = out[-1], y2 = out[-2], y3 = out[-3], y4 = out[-4], y5 = out[-5], y6 = out[-6];
    for (int i = 0; i < kPitchWindow; ++i) {
        const double older = x[i] - den[6] * y6 - den[5] * y5 - den[4] * y4 - den[3] * y3 - den[2] * y2;
        const double y = older - den[1] * y1;
        y6 = y5;
        y5 = y4;
        y4 = y3;
        y3 = y2;
        y2 = y1;
        y1 = y;
        out[i] = static_cast<float>(y);
    }
    vec_copy(history, out + kNextWindow - kSection, kSection);
    fir_filter(out, num, out, kSection, kPitchWindow);
}

}  // namespace melp
