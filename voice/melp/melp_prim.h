// Signal primitives of the MELP coder: vector arithmetic, filters that keep
// their history in the samples before the buffer they work on, the FFT, the
// inverse real DFT and the harmonic magnitude measurement. Signals are float;
// sums are formed in double. Tested by tests/voice/melp_dsp_test.cpp.
#pragma once

#include <cassert>

class Random15;

namespace melp {

// A limit that the callers never exceed: an assertion in debug builds, a
// clamp in release builds, so a bad value can never index out of a table.
inline int CheckedLimit(int value, int low, int high) {
    assert(value >= low && value <= high);
    return value < low ? low : (value > high ? high : value);
}

void vec_add(float* a, const float* b, int n);
void vec_sub(float* a, const float* b, int n);
float* vec_copy(float* dst, const float* src, int n);
void vec_copy_int(int* dst, const int* src, int n);
void vec_scale(float* a, float s, int n);
void vec_zero(float* a, int n);
void fill_value(float* a, float v, int n);
float vec_dot(const float* a, const float* b, int n);
float vec_energy(const float* a, int n);
void window_multiply(const float* x, const float* w, float* y, int n);
void array_interpolate(const float* prev, const float* cur, float* out, float f, int n);
int index_of_max(const float* x, int n);

// y[i] = sum c[k] x[i-k], k = 0..p; reads x[-p..-1]; y may be x.
void fir_filter(const float* x, const float* c, float* y, int p, int n);
// y[i] = x[i] - sum c[k] y[i-k], k = 1..p; reads y[-p..-1]; y may be x.
void all_pole_filter(const float* x, const float* c, float* y, int p, int n);
// The same recursion with the predictor a[1..p].
void lpc_synthesis_filter(const float* x, float* y, const float* a, int p, int n);
// Fourth-order high-pass; history holds its last 4 all-pole outputs. n <= 512.
void dc_remove(const float* x, float* y, float* history, int n);
// Envelope detector; reads y[-2], y[-1] and the absolute value of
// previousInput as x[-1]; y may be x.
void envelope_filter(const float* x, float previousInput, float* y, int n);
// y[i] uniform in [-a, a).
void random_uniform(float* y, float a, int n, Random15& random);

// In-place radix-2 FFT of n complex values (re, im pairs); sign -1 forward.
void fft_complex(float* data, int n, int sign);
inline constexpr int kMaxIdft = 160;
// Zero-phase real pulse of length N <= 160 from the magnitudes X[0..N/2];
// X is scaled in place.
void inverse_dft_real(float* X, float* y, int N);
// Magnitudes of the first count harmonics of pitch in the n <= 512 samples x,
// normalised to a mean square of about 1; unmeasured ones stay 1.0.
void harmonic_magnitudes(const float* x, float* m, float pitch, int count, int n);

float lin_interp_bounded(float x, float x0, float x1, float y0, float y1);

}  // namespace melp

namespace melp {

inline constexpr int kPitchWindow = 2 * 160 + 1;  // samples around a frame end
inline constexpr int kPitchCentre = 160;          // the frame end inside the window
inline constexpr int kSection = 6;                // order of the window filters

// Filters a pitch window with a sixth-order recursive filter: the all-pole
// part from history (its past outputs), then the numerator, into
// out[0..kPitchWindow-1] (out[-6..-1] must exist). The next history is the
// all-pole outputs that precede the next frame's window.
void window_filter6(const float* x, const float* num, const float* den, float* history, float* out);

}  // namespace melp
