// Pitch search and refinement of the MELP coder. Every routine takes the
// centre of a signal that extends kPitchMax samples on either side.
// Tested by tests/voice/melp_dsp_test.cpp.
#pragma once

namespace melp {

// Integer lag in lower..upper with the largest normalised correlation over
// windows of n samples; its correlation goes to *correlation.
float pitch_search(const float* x, float* correlation, int lower, int upper, int n);
// Fractional pitch near P (searching +-range first when range > 0).
float pitch_refine(const float* x, float* correlation, float P, int range, int Pmin, int Pmax, int Lmin);
// Median of n <= 5 values.
float median_small(const float* x, int n);
// A pitch below 30 keeps the smaller of its correlation and its multiple's.
void pitch_multiple_check(const float* x, float p, float* correlation);
float pitch_doubling_check(const float* x, float p, float factor, float* correlation);

// The good-pitch store behind the average pitch.
struct PitchAverage {
    float store[3] = {50.0f, 50.0f, 50.0f};
    float average = 50.0f;
};
void pitch_average_init(PitchAverage& state);
void pitch_average_update(PitchAverage& state, float pitch, float correlation, float threshold);

// Final pitch at the frame end from the residual's pitch window (start) and
// the speech (centre); lowpassHistory is the residual low-pass filter's.
float pitch_final(const float* speechCentre, const float* residualWindow, float* lowpassHistory,
                  float subPitch, float averagePitch, float* correlation);

// The sixth-order low-pass filter of the pitch signal.
extern const float kPitchLowpassNum[7];
extern const float kPitchLowpassDen[7];

}  // namespace melp
