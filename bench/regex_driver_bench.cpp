// Speed of the stack-based match driver against the recursive one on the same
// patterns and texts, in the same run: "x_recursive" is the stack driver's
// time over the recursive driver's (above 1 means slower).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "regex/rpattern.h"

namespace {

struct Case {
    const char* pattern;
    int flags;
    std::string text;
};

std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"^([A-Z]\\w\\w\\w) (\\d{6}Z)(?: AUTO)? (\\S+KT)( \\d+V\\d+)?(?: (\\d{4}|CAVOK))?((?: "
         "[-+]?[A-Z]{2,4})*)"
         "((?: (?:FEW|SCT|BKN|OVC)\\d\\d\\d)*) (M?\\d\\d)/(M?\\d\\d) (Q\\d{4}|A\\d{4})",
         0, "EGLL 121650Z AUTO 24012KT 210V280 9999 -RA BKN012 OVC030 08/06 Q1004"},
        {"(ab)*c", 0, Repeat("ab", 2000) + "c"},
        {"(a|ab)*c", 0, Repeat("ab", 200) + "c"},
        {"\\bSEL(?:CAL)?[/ -]?(\\w\\w)-?(\\w\\w)\\b", regex::ignore_case,
         "BAW123, request selcal check, SELCAL AB-CD please"},
        {"\\((?:[^()]|(?R))*\\)", 0, "f(a, g(b, h(c)), (d))"},
        {"^(a)?(?(1)b|c)d+$", 0, "ab" + Repeat("d", 100)},
    };
    return cases;
}

double SecondsFor(const regex::rpattern& p, const std::string& text, int repeats) {
    regex::match_results r;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) benchmark::DoNotOptimize(p.match_text(text, r).matched);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_StackDriver(benchmark::State& state) {
    const Case& c = Cases()[static_cast<size_t>(state.range(0))];
    regex::rpattern stack(c.pattern, c.flags, regex::stack_mode);
    regex::rpattern recursive(c.pattern, c.flags, regex::recursive_mode);
    regex::match_results r;
    for (auto _ : state) benchmark::DoNotOptimize(stack.match_text(c.text, r).matched);
    double bestStack = 1e30, bestRecursive = 1e30;
    for (int round = 0; round < 5; ++round) {
        bestStack = std::min(bestStack, SecondsFor(stack, c.text, 50));
        bestRecursive = std::min(bestRecursive, SecondsFor(recursive, c.text, 50));
    }
    state.counters["x_recursive"] = bestStack / bestRecursive;
    state.SetLabel(c.pattern);
}

BENCHMARK(BM_StackDriver)->DenseRange(0, 5);

}  // namespace
