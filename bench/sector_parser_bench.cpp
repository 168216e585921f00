// Parse time of a heavy user's sector file (about 100,000 generated lines)
// next to the time of only reading the same file line by line: the ratio is
// what parsing costs over the I/O floor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "atc/sector_parser.h"
#include "platform/atomic_file.h"
#include "tests/atc/sector_generator.h"

namespace {

std::string WriteSector(const char* name, bool facilityStyle) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    LargeSectorShape shape;
    shape.facilityStyle = facilityStyle;
    WriteFileAtomically(path, GenerateLargeSector(1, shape));
    return path;
}

const std::string& SectorPath() {
    static const std::string path = WriteSector("tarq_bench_large.sct2", false);
    return path;
}

// The same content indented and tab-padded as facilities write it.
const std::string& FacilitySectorPath() {
    static const std::string path = WriteSector("tarq_bench_facility.sct2", true);
    return path;
}

// The floor: every line read from the file, nothing else done with it.
size_t ReadLines(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    char* line = nullptr;
    size_t capacity = 0;
    size_t lines = 0;
    while (getline(&line, &capacity, f) >= 0) ++lines;
    std::free(line);
    std::fclose(f);
    return lines;
}

double SecondsOf(auto&& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ReadLinesFloor(benchmark::State& state) {
    const std::string& path = SectorPath();
    size_t lines = 0;
    for (auto _ : state) benchmark::DoNotOptimize(lines = ReadLines(path));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadLinesFloor)->Unit(benchmark::kMillisecond);

void ParseAgainstFloor(benchmark::State& state, const std::string& path) {
    const std::string report = path + ".report.txt";
    double parseSeconds = 1e9;
    for (auto _ : state) {
        TarqSectorParser parser;
        TarqSectorData data;
        parseSeconds = std::min(
            parseSeconds, SecondsOf([&] { benchmark::DoNotOptimize(parser.Parse(path, data, report)); }));
        state.PauseTiming();
        {
            TarqSectorData discard = std::move(data);  // freeing the data is the caller's, not the parse's
        }
        state.ResumeTiming();
    }
    double floorSeconds = 1e9;
    for (int i = 0; i < 5; ++i) floorSeconds = std::min(floorSeconds, SecondsOf([&] { ReadLines(path); }));
    state.counters["parse_ms"] = parseSeconds * 1e3;
    state.counters["floor_ms"] = floorSeconds * 1e3;
    state.counters["ratio_to_floor"] = parseSeconds / floorSeconds;
}
void BM_ParseSector(benchmark::State& state) { ParseAgainstFloor(state, SectorPath()); }
BENCHMARK(BM_ParseSector)->Unit(benchmark::kMillisecond);

void BM_ParseFacilitySector(benchmark::State& state) { ParseAgainstFloor(state, FacilitySectorPath()); }
BENCHMARK(BM_ParseFacilitySector)->Unit(benchmark::kMillisecond);

}  // namespace
