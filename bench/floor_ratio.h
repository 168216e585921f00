// Times a benchmark body against a floor measured in the same run, so the
// figure means the same on a fast and a slow machine.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

// Runs body once per iteration, timing only it, and sets counter to its mean
// time over floorSeconds.
template <typename Body>
void RunAgainstFloor(benchmark::State& state, const char* counter, double floorSeconds, Body body) {
    double seconds = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        body();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (state.iterations() > 0 && floorSeconds > 0)
        state.counters[counter] = seconds / static_cast<double>(state.iterations()) / floorSeconds;
}
