// Times a benchmark body against a floor measured in the same run,
// interleaved with it, so the figure means the same on a fast and a slow
// machine and under changing load: every iteration times one batch of the
// floor and then one batch of the body. A batch is as many calls as make it
// last at least kMinBatchSeconds (chosen once, for each of the two apart), so
// a call too short for the clock is timed in bulk, the same way for both.
// The counter is the body's mean time per call over the floor's; the time
// column is the body's own time per call, so register benchmarks that use
// this with ->UseManualTime().
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

namespace floor_ratio {

inline constexpr double kMinBatchSeconds = 2e-4;
inline constexpr int kMaxBatch = 1 << 20;

template <typename F>
double SecondsOf(F& f, int calls) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <typename F>
int BatchFor(F& f) {
    int calls = 1;
    while (calls < kMaxBatch && SecondsOf(f, calls) < kMinBatchSeconds) calls *= 2;
    return calls;
}

}  // namespace floor_ratio

// Returns the body's mean seconds per call (0 when it never ran).
template <typename Floor, typename Body>
double RunAgainstFloor(benchmark::State& state, const char* counter, Floor&& floor, Body&& body) {
    const int floorBatch = floor_ratio::BatchFor(floor);
    const int bodyBatch = floor_ratio::BatchFor(body);
    double floorSeconds = 0.0;
    double bodySeconds = 0.0;
    for (auto _ : state) {
        floorSeconds += floor_ratio::SecondsOf(floor, floorBatch);
        const double seconds = floor_ratio::SecondsOf(body, bodyBatch);
        bodySeconds += seconds;
        state.SetIterationTime(seconds / bodyBatch);
    }
    if (state.iterations() == 0) return 0.0;
    const double perCall = bodySeconds / bodyBatch / static_cast<double>(state.iterations());
    const double floorPerCall = floorSeconds / floorBatch / static_cast<double>(state.iterations());
    if (floorPerCall > 0) state.counters[counter] = perCall / floorPerCall;
    state.counters["batch"] = bodyBatch;
    return perCall;
}
