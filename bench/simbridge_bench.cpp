// The best-model search over a large generated model set. It reports
// "x_floor": its time over scoring every entry of the set once, which is
// what a search without the set's index would cost, measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/floor_ratio.h"
#include "simbridge/model_set.h"

namespace {

constexpr int kTypes = 500;
constexpr int kLiveries = 10;
// Types below this one sit in related groups of three; the rest in none.
constexpr int kGroupedTypes = 300;

std::string TypeCode(int type) { return "T" + std::to_string(1000 + type); }
int32_t GroupOf(int type) { return type < kGroupedTypes ? type / 3 + 1 : -1; }

struct Generated {
    ModelSet set{"GEN"};
    std::vector<ModelIdentifier> entries;
    Generated() {
        for (int t = 0; t < kTypes; ++t) {
            for (int l = 0; l < kLiveries; ++l) {
                ModelIdentifier entry(TypeCode(t), "A" + std::to_string(l), "L", GroupOf(t));
                entries.push_back(entry);
                set.AddModel(entry, "GEN_" + TypeCode(t) + "_" + std::to_string(l));
            }
        }
        set.BuildIndex();
    }
};

const Generated& Set() {
    static const Generated generated;
    return generated;
}

void Floor() {
    static const ModelIdentifier wanted(TypeCode(150), "A3", "L", GroupOf(150));
    int32_t best = 0;
    for (const ModelIdentifier& entry : Set().entries) best = std::max(best, entry.Score(wanted));
    benchmark::DoNotOptimize(best);
}

void Search(benchmark::State& state, int type) {
    const ModelIdentifier wanted(TypeCode(type), "A3", "L", GroupOf(type));
    RunAgainstFloor(state, "x_floor", Floor, [&wanted] {
        std::string model;
        int32_t score = 0;
        benchmark::DoNotOptimize(Set().set.FindBest(wanted, model, score, nullptr));
    });
}

void BM_FindBestGroupedType(benchmark::State& state) { Search(state, 150); }
void BM_FindBestUngroupedType(benchmark::State& state) { Search(state, 420); }

BENCHMARK(BM_FindBestGroupedType)->UseManualTime();
BENCHMARK(BM_FindBestUngroupedType)->UseManualTime();

}  // namespace
