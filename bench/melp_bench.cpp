// Times the MELP block codec encoding and decoding 60 s of speech against
// codec2's 2400 bit/s mode on the same speech (made with espeak-ng, resampled
// with sox to each coder's rate). The counter rtf is processing time over
// audio time: 0.01 is 1 % of real time. Processing time is the thread's CPU
// time, so other load on the machine does not blur the comparison.
#include <benchmark/benchmark.h>

#include <codec2/codec2.h>

#include <time.h>

#include <string>
#include <vector>

#include "melp_quality.h"
#include "voice/melp/melp_codec.h"

namespace {

constexpr double kSeconds = 60.0;

const char* const kText =
    "Speedbird four two, descend flight level one two zero, turn left heading two seven zero. "
    "Contact London control on one three two decimal eight. Good day. ";

// espeak-ng speech looped to exactly kSeconds at the given rate.
const std::vector<int16_t>& Speech(int rate, std::string& error) {
    static std::vector<int16_t> at7350, at8000;
    std::vector<int16_t>& cache = rate == 8000 ? at8000 : at7350;
    if (cache.empty()) {
        const std::vector<int16_t> once = melp_quality::Speak(kText, error, rate);
        if (once.empty()) return cache;
        const size_t total = static_cast<size_t>(kSeconds * rate);
        cache.reserve(total);
        while (cache.size() < total) cache.push_back(once[cache.size() % once.size()]);
    }
    return cache;
}

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void SetRealTimeFactor(benchmark::State& state, double seconds) {
    if (state.iterations() > 0) state.counters["rtf"] = seconds / static_cast<double>(state.iterations()) / kSeconds;
}

void BM_MelpEncodeDecode(benchmark::State& state) {
    std::string error;
    const std::vector<int16_t>& speech = Speech(7350, error);
    if (speech.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int blocks = static_cast<int>(speech.size()) / CMELPCodec::kBlockSamples;
    std::vector<uint8_t> bytes(blocks * CMELPCodec::kBlockBytes);
    std::vector<int16_t> decoded(blocks * CMELPCodec::kBlockSamples);
    const bool encode = state.range(0) & 1, decode = state.range(0) & 2;
    CMELPCodec codec;
    codec.Encode(blocks, speech.data(), bytes.data());
    double seconds = 0;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        if (encode) codec.Encode(blocks, speech.data(), bytes.data());
        if (decode) codec.Decode(0, true, false, blocks, bytes.data(), decoded.data());
        seconds += ThreadSeconds() - start;
        benchmark::DoNotOptimize(decoded.data());
    }
    SetRealTimeFactor(state, seconds);
}
BENCHMARK(BM_MelpEncodeDecode)->Arg(3)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_Codec2EncodeDecode2400(benchmark::State& state) {
    std::string error;
    const std::vector<int16_t>& speech = Speech(8000, error);
    if (speech.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    CODEC2* codec = codec2_create(CODEC2_MODE_2400);
    const int frame = codec2_samples_per_frame(codec);
    const int frameBytes = (codec2_bits_per_frame(codec) + 7) / 8;
    const int frames = static_cast<int>(speech.size()) / frame;
    std::vector<unsigned char> bytes(frames * frameBytes);
    std::vector<short> input(speech.begin(), speech.end()), decoded(frames * frame);
    double seconds = 0;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        for (int f = 0; f < frames; ++f) codec2_encode(codec, &bytes[f * frameBytes], &input[f * frame]);
        for (int f = 0; f < frames; ++f) codec2_decode(codec, &decoded[f * frame], &bytes[f * frameBytes]);
        seconds += ThreadSeconds() - start;
        benchmark::DoNotOptimize(decoded.data());
    }
    codec2_destroy(codec);
    SetRealTimeFactor(state, seconds);
}
BENCHMARK(BM_Codec2EncodeDecode2400)->Unit(benchmark::kMillisecond);

}  // namespace
