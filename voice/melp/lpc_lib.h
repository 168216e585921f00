// Linear prediction and line spectral frequencies of the MELP coder. The
// predictor convention is A(z) = 1 + sum a[k] z^-k with a[0] = 1; LSFs are in
// normalised frequency (1 = half the sampling rate) in 1-based arrays f[1..p].
// Tested by tests/voice/melp_dsp_test.cpp.
#pragma once

namespace melp {

inline constexpr int kMaxLpcOrder = 16;

// r[k] = sum x[i] x[i+k], k = 0..p; r[0] at least 1.0.
void autocorrelation(const float* x, float* r, int p, int n);
// Reflection coefficients k[1..p] and predictor a[0..p] from r[0..p];
// returns the final prediction error.
float schur_recursion(const float* r, float* a, float* k, int p);
void reflection_to_lpc(const float* k, float* a, int p);
void lpc_to_reflection(const float* a, float* k, int p);
// b[k] := a[k] g^k for k = 1..p.
void lpc_bandwidth_expand(const float* a, float* b, float g, int p);
// |A(e^jw)|^2.
float lpc_power_response(const float* a, float w, int p);
void lsf_to_lpc(float* f, float* a, int p);
// Returns false when the root search missed some roots; f then holds what
// was found and must not be used.
bool lpc_to_lsf(const float* a, float* f, int p);
// Sorts f[1..p] and spreads pairs closer than delta; delta 0 only sorts.
// Returns false when the array could not be sorted.
bool lsf_clamp(float* f, float delta, int p);

}  // namespace melp

namespace melp {

// Forces f[1..p] strictly inside (0, 1) and at least gap apart, so that the
// predictor built from them is stable whatever indices a frame carried.
void lsf_make_stable(float* f, float gap, int p);

}  // namespace melp
