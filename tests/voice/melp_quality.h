// Quality measurements of the MELP coder, shared by the quality test and the
// quality tool: synthetic vowels of known pitch, speech from espeak-ng
// resampled to the coder's rate with sox, the LSF quantiser's spectral
// distortion, the gross pitch error rate and the log-spectral distance
// between input and decoded output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace melp_quality {

constexpr double kRate = 7350.0;

// A pulse train of the given period (samples, may be fractional) through two
// formant resonances, with a slow level swell.
std::vector<float> SyntheticVowel(int samples, double period, double f1 = 700, double f2 = 1200,
                                  double level = 0.05);
// Pulses and breath noise through three formants of a talker's bandwidth
// (300 Hz), whose spectrum is as smooth as natural speech's.
std::vector<float> BroadVowel(int samples, double period, double f1, double f2, double f3);

// Speech of the text at the given rate (the coder's by default), made with
// espeak-ng and sox; empty with error set when either tool is missing or fails.
std::vector<int16_t> Speak(const std::string& text, std::string& error, int rate = 7350);

struct Figures {
    double lsfDistortion = 0;     // dB, mean over active frames
    double lsfOutliers = 0;       // share of active frames above 2 dB
    double grossPitchError = 0;   // share of frames off by more than 20 % or called unvoiced
    double logSpectralDistance = 0;  // dB, input against decoded output
    int frames = 0;
};

// Codes the speech frame by frame and measures the LSF distortion; with
// truePeriod > 0 also the gross pitch error rate (after a short warm-up).
Figures MeasureEncoder(const std::vector<int16_t>& speech, double truePeriod = 0);
// Codes and decodes the speech with CMELPCodec and measures the
// log-spectral distance, aligning the output to the input first.
double MeasureLogSpectralDistance(const std::vector<int16_t>& speech);

// Whole figures of a set of vowels and of one speech sample.
Figures VowelFigures(double seconds);
Figures BroadVowelFigures(double seconds);
Figures SpeechFigures(const std::vector<int16_t>& speech);

std::vector<int16_t> ToSamples(const std::vector<float>& x);

}  // namespace melp_quality
