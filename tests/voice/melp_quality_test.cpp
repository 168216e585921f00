// Keeps the MELP coder's quality figures from getting worse: the LSF
// quantiser's spectral distortion, the gross pitch error rate on vowels of
// known pitch, and the log-spectral distance of decoded speech. The limits
// are the first reviewed run's figures plus the stated margins; bench's
// melp_quality tool prints the figures on longer speech.
#include <gtest/gtest.h>

#include <cstdio>

#include "melp_quality.h"

namespace {

using melp_quality::Figures;

// First reviewed run and the allowed slack. The formants of espeak-ng and of
// the plain vowels are far narrower than a talker's, which puts their LSF
// distortion near 2 dB; the broad-formant vowels show the classic 1 dB.
constexpr double kVowelLsfDistortion = 2.057, kSpeechLsfDistortion = 2.074, kLsfMargin = 0.1;  // dB
constexpr double kSpeechOutliers = 0.453, kOutlierMargin = 0.03;  // share of frames above 2 dB
constexpr double kVowelPitchError = 0.0, kPitchMargin = 0.02;     // share of frames
constexpr double kBroadLsfDistortion = 1.262, kBroadPitchError = 0.0;  // talker-like bandwidths
constexpr double kVowelLsd = 12.79, kSpeechLsd = 12.09, kLsdMargin = 0.5;  // dB

const char* const kText =
    "Speedbird four two, descend flight level one two zero, turn left heading two seven zero. "
    "Contact London control on one three two decimal eight.";

TEST(MelpQuality, SyntheticVowels) {
    const Figures f = melp_quality::VowelFigures(1.0);
    std::printf("vowels: LSF SD %.3f dB, GPE %.2f %%, LSD %.2f dB\n", f.lsfDistortion, 100 * f.grossPitchError,
                f.logSpectralDistance);
    EXPECT_LE(f.lsfDistortion, kVowelLsfDistortion + kLsfMargin);
    EXPECT_LE(f.grossPitchError, kVowelPitchError + kPitchMargin);
    EXPECT_LE(f.logSpectralDistance, kVowelLsd + kLsdMargin);
}

TEST(MelpQuality, BroadFormantVowels) {
    const Figures f = melp_quality::BroadVowelFigures(1.0);
    std::printf("broad vowels: LSF SD %.3f dB, outliers %.1f %%, GPE %.2f %%\n", f.lsfDistortion, 100 * f.lsfOutliers,
                100 * f.grossPitchError);
    EXPECT_LE(f.lsfDistortion, kBroadLsfDistortion + kLsfMargin);
    EXPECT_LE(f.grossPitchError, kBroadPitchError + kPitchMargin);
}

TEST(MelpQuality, EspeakSpeech) {
    std::string error;
    const std::vector<int16_t> speech = melp_quality::Speak(kText, error);
    ASSERT_FALSE(speech.empty()) << error;
    const Figures f = melp_quality::SpeechFigures(speech);
    std::printf("speech (%.1f s): LSF SD %.3f dB, outliers %.1f %%, LSD %.2f dB\n", speech.size() / 7350.0,
                f.lsfDistortion, 100 * f.lsfOutliers, f.logSpectralDistance);
    EXPECT_LE(f.lsfDistortion, kSpeechLsfDistortion + kLsfMargin);
    EXPECT_LE(f.lsfOutliers, kSpeechOutliers + kOutlierMargin);
    EXPECT_LE(f.logSpectralDistance, kSpeechLsd + kLsdMargin);
}

}  // namespace
