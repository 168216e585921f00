// Parsing and dispatch of a 10,000-line burst of pilot position reports, in
// lines per second. The floor is cutting the same burst into lines without
// parsing them, measured in the same run, interleaved; "vs_floor" is how many times slower
// the full parse is than that floor.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "net/halk_session.h"
#include "bench/floor_ratio.h"
#include "platform/clock.h"

namespace {

constexpr int kLines = 10000;

std::string Burst() {
    std::string burst;
    for (int i = 0; i < kLines; ++i) {
        burst += "@N:DLH" + std::to_string(i) + ":" + std::to_string(1000 + i % 7000) +
                 ":1:" + std::to_string(50 + (i % 1000) / 1000.0) + ":" +
                 std::to_string(8 + (i % 777) / 777.0) + ":" + std::to_string(1000 + i * 3) + ":" +
                 std::to_string(120 + i % 300) + ":" + std::to_string((i * 2654435761u) & 0xFFFFFFFCu) +
                 ":0\r\n";
    }
    return burst;
}

// Calls fn(line, length) for every CR LF terminated line of the burst.
template <typename F>
void ForEachLine(const std::string& burst, F fn) {
    const char* at = burst.data();
    const char* end = at + burst.size();
    while (at < end) {
        const char* cr = static_cast<const char*>(std::memchr(at, '\r', static_cast<size_t>(end - at)));
        if (!cr || cr + 1 >= end) break;
        fn(at, static_cast<size_t>(cr + 2 - at));
        at = cr + 2;
    }
}

void BM_PositionBurst(benchmark::State& state) {
    const std::string burst = Burst();
    ManualClock clock;
    auto session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, 1, "", "", &clock);
    long long altitudes = 0;
    session->SetPilotPositionCallback([](HalkSession*, const char*, const PilotPositionRecord& r,
                                         void* user) { *static_cast<long long*>(user) += r.altitude; },
                                      &altitudes);
    size_t total = 0;
    auto floor = [&] {
        ForEachLine(burst, [&](const char* line, size_t length) {
            total += length + static_cast<unsigned char>(line[1]);
        });
    };
    int64_t bursts = 0;
    RunAgainstFloor(state, "vs_floor", floor, [&] {
        ForEachLine(burst, [&](const char* line, size_t length) { session->ParseLine(line, length); });
        ++bursts;
    });
    benchmark::DoNotOptimize(total);
    benchmark::DoNotOptimize(altitudes);
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(kLines) * static_cast<double>(bursts), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PositionBurst)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
