// Vector quantisers of the MELP coder: the multistage LSF search and the
// full search of the Fourier magnitudes. Tested by tests/voice/melp_dsp_test.cpp.
#pragma once

namespace melp {

// Weights of the LSF search from the predictor's power response at each LSF
// (lsf is 1-based: lsf[1..p]).
void lsf_weights(float* weights, const float* lsf, const float* a, int p);
// M-best search of a multistage codebook (stages stored one after another);
// writes the reconstruction and one index per stage; returns its error.
float msvq_search(const float* codebook, const float* target, const int* levels, int survivors, int stages,
                  int dimension, const float* weights, float* result, int* indices);
void msvq_decode(const float* codebook, float* result, const int* indices, const int* levels, int stages,
                 int dimension);
float vq_full_search(const float* codebook, const float* target, int levels, int dimension, float* result,
                     int* index);
void fourier_weights(float* weights, int count, float pitch);

}  // namespace melp
