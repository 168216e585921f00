// Prints the MELP coder's quality figures: the LSF quantiser's spectral
// distortion, the gross pitch error rate on synthetic vowels of known pitch,
// and the log-spectral distance of decoded speech, on vowels and on espeak-ng
// speech. Usage: melp_quality ["text to speak"]. tests/voice/melp_quality_test
// keeps the same figures from getting worse.
#include <cstdio>
#include <string>

#include "melp_quality.h"

int main(int argc, char** argv) {
    const std::string text =
        argc > 1 ? argv[1]
                 : "Speedbird four two, descend flight level one two zero, turn left heading two seven zero. "
                   "Contact London control on one three two decimal eight. Good day. "
                   "Easy one two three, cleared to land runway two seven left, wind two five zero at twelve knots. "
                   "Report established on the localiser. Squawk seven four one two and ident.";
    const melp_quality::Figures vowels = melp_quality::VowelFigures(3.0);
    std::printf("synthetic vowels: LSF SD %.3f dB, gross pitch errors %.2f %%, LSD %.2f dB (%d frames)\n",
                vowels.lsfDistortion, 100 * vowels.grossPitchError, vowels.logSpectralDistance, vowels.frames);
    const melp_quality::Figures broad = melp_quality::BroadVowelFigures(3.0);
    std::printf("broad-formant vowels: LSF SD %.3f dB, frames above 2 dB %.1f %%, gross pitch errors %.2f %%\n",
                broad.lsfDistortion, 100 * broad.lsfOutliers, 100 * broad.grossPitchError);
    std::string error;
    const std::vector<int16_t> speech = melp_quality::Speak(text, error);
    if (speech.empty()) {
        std::fprintf(stderr, "melp_quality: %s\n", error.c_str());
        return 1;
    }
    const melp_quality::Figures f = melp_quality::SpeechFigures(speech);
    std::printf("espeak-ng speech (%.1f s): LSF SD %.3f dB, frames above 2 dB %.1f %%, LSD %.2f dB\n",
                speech.size() / melp_quality::kRate, f.lsfDistortion, 100 * f.lsfOutliers, f.logSpectralDistance);
    return 0;
}
