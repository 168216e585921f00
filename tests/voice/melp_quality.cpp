// Quality measurements of the MELP coder; see melp_quality.h. Used by
// tests/voice/melp_quality_test.cpp and bench/melp_quality.cpp.
#include "melp_quality.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "foundation/random15.h"
#include "temp_dir.h"
#include "voice/melp/lpc_lib.h"
#include "voice/melp/melp_ana.h"
#include "voice/melp/melp_codec.h"
#include "voice/melp/melp_prim.h"

namespace melp_quality {

namespace {

constexpr int kSpectrumPoints = 256;
constexpr float kActiveGain = 30.0f;  // dB; quieter frames are pauses
constexpr int kLsdFrame = 256;
constexpr int kLsdHop = 128;
constexpr int kMaxDelay = 1200;

bool HaveTool(const char* name) {
    const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Log power response of the all-pole model of the LSFs on a grid over 0..pi.
void LogSpectrum(const float* lsf, double* out) {
    float f[melp::kOrder + 1], a[melp::kOrder + 1];
    std::copy(lsf, lsf + melp::kOrder + 1, f);
    melp::lsf_to_lpc(f, a, melp::kOrder);
    for (int i = 0; i < kSpectrumPoints; ++i) {
        const float w = static_cast<float>(M_PI * (i + 0.5) / kSpectrumPoints);
        out[i] = -10.0 * std::log10(std::max(melp::lpc_power_response(a, w, melp::kOrder), 1e-20f));
    }
}

// Power spectrum in dB of a Hann-windowed frame.
void FrameSpectrum(const float* x, double* out) {
    float data[2 * kLsdFrame];
    for (int i = 0; i < kLsdFrame; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * i / kLsdFrame);
        data[2 * i] = static_cast<float>(x[i] * w);
        data[2 * i + 1] = 0.0f;
    }
    melp::fft_complex(data, kLsdFrame, -1);
    for (int k = 0; k <= kLsdFrame / 2; ++k) {
        const double p = double(data[2 * k]) * data[2 * k] + double(data[2 * k + 1]) * data[2 * k + 1];
        out[k] = 10.0 * std::log10(p + 1.0);
    }
}

// Delay of y against x from the cross-correlation of their energy envelopes.
int FindDelay(const std::vector<float>& x, const std::vector<float>& y) {
    constexpr int kHop = 10;
    auto envelope = [](const std::vector<float>& s) {
        std::vector<double> e(s.size() / kHop);
        for (size_t i = 0; i < e.size(); ++i) {
            double sum = 0;
            for (int j = 0; j < kHop; ++j) sum += std::fabs(s[i * kHop + j]);
            e[i] = sum;
        }
        return e;
    };
    const std::vector<double> ex = envelope(x), ey = envelope(y);
    int best = 0;
    double bestScore = -1;
    for (int d = 0; d <= kMaxDelay / kHop; ++d) {
        double score = 0;
        for (size_t i = 0; i + d < ey.size() && i < ex.size(); ++i) score += ex[i] * ey[i + d];
        if (score > bestScore) {
            bestScore = score;
            best = d;
        }
    }
    // Refine to the sample by the waveform envelope around the coarse delay.
    int fine = best * kHop;
    bestScore = -1;
    for (int d = std::max(0, best * kHop - kHop); d <= best * kHop + kHop; ++d) {
        double score = 0;
        for (size_t i = 0; i + d < y.size() && i < x.size(); i += 4) score += std::fabs(x[i]) * std::fabs(y[i + d]);
        if (score > bestScore) {
            bestScore = score;
            fine = d;
        }
    }
    return fine;
}

}  // namespace

std::vector<float> SyntheticVowel(int samples, double period, double f1, double f2, double level) {
    std::vector<float> x(samples);
    double a1 = 0, a2 = 0, b1 = 0, b2 = 0, next = 0;
    auto resonate = [](double in, double f, double bw, double& s1, double& s2) {
        const double r = std::exp(-M_PI * bw / kRate), th = 2 * M_PI * f / kRate;
        const double out = in + 2 * r * std::cos(th) * s1 - r * r * s2;
        s2 = s1;
        s1 = out;
        return out;
    };
    for (int i = 0; i < samples; ++i) {
        double e = 0.0;
        if (i >= next) {
            e = 8000.0;
            next += period;
        }
        const double v = resonate(resonate(e, f1, 100, a1, a2), f2, 120, b1, b2);
        x[i] = static_cast<float>(v * level * (1.0 + 0.5 * std::sin(i / 900.0)));
    }
    return x;
}

std::vector<float> BroadVowel(int samples, double period, double f1, double f2, double f3) {
    constexpr double kBandwidth = 300.0;
    const double formants[3] = {f1, f2, f3};
    const double r = std::exp(-M_PI * kBandwidth / kRate);
    double state[3][2] = {};
    Random15 random(static_cast<uint32_t>(period * 100));
    std::vector<float> x(samples);
    double next = 0;
    for (int i = 0; i < samples; ++i) {
        double e = (random.Next() / 32767.0 - 0.5) * 200.0;
        if (i >= next) {
            e += 5000.0;
            next += period;
        }
        for (int k = 0; k < 3; ++k) {
            const double th = 2 * M_PI * formants[k] / kRate;
            const double out = e + 2 * r * std::cos(th) * state[k][0] - r * r * state[k][1];
            state[k][1] = state[k][0];
            state[k][0] = out;
            e = out * (1 - r);
        }
        x[i] = static_cast<float>(e * 100.0);
    }
    return x;
}

std::vector<int16_t> ToSamples(const std::vector<float>& x) {
    std::vector<int16_t> s(x.size());
    for (size_t i = 0; i < x.size(); ++i) s[i] = static_cast<int16_t>(std::clamp(x[i], -32768.0f, 32767.0f));
    return s;
}

std::vector<int16_t> Speak(const std::string& text, std::string& error, int rate) {
    for (const char* tool : {"espeak-ng", "sox"}) {
        if (!HaveTool(tool)) {
            error = std::string(tool) + " is not installed (scripts/install-deps.sh installs it)";
            return {};
        }
    }
    TempDir dir;
    dir.Write("text.txt", text);
    const std::string wav = dir.File("speech.wav"), raw = dir.File("speech.raw");
    const std::string speak = "espeak-ng -v en -s 150 -f '" + dir.File("text.txt") + "' -w '" + wav + "' 2>/dev/null";
    const std::string resample = "sox -D -R '" + wav + "' -r " + std::to_string(rate) + " -c 1 -b 16 -e signed-integer -t raw '" + raw + "' 2>/dev/null";
    if (std::system(speak.c_str()) != 0 || std::system(resample.c_str()) != 0) {
        error = "espeak-ng or sox failed";
        return {};
    }
    std::ifstream in(raw, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    if (samples.empty()) error = "espeak-ng made no speech";
    return samples;
}

Figures MeasureEncoder(const std::vector<int16_t>& speech, double truePeriod) {
    constexpr int kWarmUp = 4;  // frames of look-ahead and filter start
    melp::MelpAnalysis state;
    melp::melp_analysis_init(state);
    Figures figures;
    double sdSum = 0;
    int active = 0, outliers = 0, pitchFrames = 0, pitchErrors = 0;
    for (size_t at = 0, frame = 0; at + melp::kFrame <= speech.size(); at += melp::kFrame, ++frame) {
        float x[melp::kFrame];
        for (int i = 0; i < melp::kFrame; ++i) x[i] = speech[at + i];
        uint16_t words[melp::kFrameWords];
        melp::ChannelCursor cursor{words, 0};
        melp::MelpParams params;
        melp::melp_analyse_frame(state, x, params, cursor);
        ++figures.frames;
        if (frame < kWarmUp) continue;
        if (truePeriod > 0) {
            ++pitchFrames;
            if (params.unvoiced || std::fabs(params.pitch - truePeriod) > 0.2 * truePeriod) ++pitchErrors;
        }
        if (params.gain[1] < kActiveGain) continue;
        double target[kSpectrumPoints], coded[kSpectrumPoints];
        LogSpectrum(state.unquantisedLsf, target);
        LogSpectrum(params.lsf, coded);
        double sum = 0;
        for (int i = 0; i < kSpectrumPoints; ++i) sum += (target[i] - coded[i]) * (target[i] - coded[i]);
        const double sd = std::sqrt(sum / kSpectrumPoints);
        sdSum += sd;
        ++active;
        if (sd > 2.0) ++outliers;
    }
    if (active > 0) {
        figures.lsfDistortion = sdSum / active;
        figures.lsfOutliers = double(outliers) / active;
    }
    if (pitchFrames > 0) figures.grossPitchError = double(pitchErrors) / pitchFrames;
    return figures;
}

double MeasureLogSpectralDistance(const std::vector<int16_t>& speech) {
    const int blocks = static_cast<int>(speech.size()) / CMELPCodec::kBlockSamples;
    CMELPCodec codec;
    std::vector<uint8_t> bytes(blocks * CMELPCodec::kBlockBytes);
    std::vector<int16_t> decoded(blocks * CMELPCodec::kBlockSamples);
    codec.Encode(blocks, speech.data(), bytes.data());
    codec.Decode(0, false, false, blocks, bytes.data(), decoded.data());
    std::vector<float> x(speech.begin(), speech.begin() + decoded.size()), y(decoded.begin(), decoded.end());
    const int delay = FindDelay(x, y);

    double peak = 0;
    for (float v : x) peak = std::max(peak, double(std::fabs(v)));
    double total = 0;
    int frames = 0;
    for (size_t at = 0; at + kLsdFrame + delay <= y.size(); at += kLsdHop) {
        double energy = 0;
        for (int i = 0; i < kLsdFrame; ++i) energy += double(x[at + i]) * x[at + i];
        // Pauses say nothing about the coder; count frames within 40 dB of the peak.
        if (std::sqrt(energy / kLsdFrame) < peak * 0.01) continue;
        double px[kLsdFrame / 2 + 1], py[kLsdFrame / 2 + 1];
        FrameSpectrum(&x[at], px);
        FrameSpectrum(&y[at + delay], py);
        double sum = 0;
        for (int k = 0; k <= kLsdFrame / 2; ++k) sum += (px[k] - py[k]) * (px[k] - py[k]);
        total += std::sqrt(sum / (kLsdFrame / 2 + 1));
        ++frames;
    }
    return frames > 0 ? total / frames : 0.0;
}

Figures VowelFigures(double seconds) {
    struct Vowel {
        double period, f1, f2;
    };
    // Periods across the coder's range, each with its own formants.
    const Vowel vowels[] = {{28.5, 300, 2300}, {41.0, 700, 1200}, {57.3, 500, 1500},
                            {73.5, 400, 800},  {98.0, 650, 1100}, {131.0, 350, 2000}};
    Figures sum;
    const int samples = static_cast<int>(seconds * kRate);
    for (const Vowel& v : vowels) {
        const std::vector<int16_t> x = ToSamples(SyntheticVowel(samples, v.period, v.f1, v.f2, 0.05));
        const Figures f = MeasureEncoder(x, v.period);
        sum.lsfDistortion += f.lsfDistortion;
        sum.lsfOutliers += f.lsfOutliers;
        sum.grossPitchError += f.grossPitchError;
        sum.logSpectralDistance += MeasureLogSpectralDistance(x);
        sum.frames += f.frames;
    }
    const double n = std::size(vowels);
    sum.lsfDistortion /= n;
    sum.lsfOutliers /= n;
    sum.grossPitchError /= n;
    sum.logSpectralDistance /= n;
    return sum;
}

Figures BroadVowelFigures(double seconds) {
    const double vowels[][4] = {{62.3, 500, 1500, 2500}, {45.0, 300, 2200, 2900}, {90.0, 700, 1100, 2400}};
    Figures sum;
    const int samples = static_cast<int>(seconds * kRate);
    for (const auto& v : vowels) {
        const Figures f = MeasureEncoder(ToSamples(BroadVowel(samples, v[0], v[1], v[2], v[3])), v[0]);
        sum.lsfDistortion += f.lsfDistortion / std::size(vowels);
        sum.lsfOutliers += f.lsfOutliers / std::size(vowels);
        sum.grossPitchError += f.grossPitchError / std::size(vowels);
        sum.frames += f.frames;
    }
    return sum;
}

Figures SpeechFigures(const std::vector<int16_t>& speech) {
    Figures f = MeasureEncoder(speech);
    f.logSpectralDistance = MeasureLogSpectralDistance(speech);
    return f;
}

}  // namespace melp_quality
