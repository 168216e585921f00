// Fuzz target: the recursive and the stack driver must give the same match
// and the same groups, on bounded and on NUL-terminated text, with repeated
// and right-to-left searches too. Input as for regex_fuzzer.cpp: one flags
// byte, the pattern up to the first NUL byte, then the text. The drivers count
// their steps differently, so where one of them gives up there is nothing to compare.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "regex/rpattern.h"
#include "tests/regex/match_format.h"

namespace {

constexpr size_t kMaxPattern = 96;
constexpr size_t kMaxText = 128;
constexpr uint64_t kStepBudget = 20000;

// The search's rendering, or "gave up".
template <class Text>
std::string Search(const regex::rpattern_c& pattern, const Text& text, const char* base) {
    regex::match_results_c results;
    try {
        bool matched = pattern.match_text(text, results).matched;
        return RenderMatch(matched, results, base);
    } catch (const regex::match_limit_exceeded&) {
        return "gave up";
    }
}

bool Agree(const std::string& a, const std::string& b) { return a == b || a == "gave up" || b == "gave up"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int flags = 0;
    const uint8_t f = data[0];
    if (f & 1) flags |= regex::ignore_case;
    if (f & 2) flags |= regex::multi_line;
    if (f & 4) flags |= regex::dot_matches_newline;
    if (f & 8) flags |= regex::repeat_search | regex::collect_all_groups;
    if (f & 16) flags |= regex::search_from_right;
    const char* rest = reinterpret_cast<const char*>(data + 1);
    size_t restSize = size - 1;
    const void* nul = std::memchr(rest, 0, restSize);
    size_t patternSize = nul ? static_cast<size_t>(static_cast<const char*>(nul) - rest) : restSize;
    if (patternSize > kMaxPattern) return 0;
    std::string pattern(rest, patternSize);
    std::string text = nul ? std::string(rest + patternSize + 1, restSize - patternSize - 1) : std::string();
    if (text.size() > kMaxText) text.resize(kMaxText);
    try {
        regex::rpattern_c recursive(pattern, flags, regex::recursive_mode);
        regex::rpattern_c stack(pattern, flags, regex::stack_mode);
        recursive.set_step_budget(kStepBudget);
        stack.set_step_budget(kStepBudget);
        const char* base = text.c_str();
        if (!Agree(Search(recursive, text, base), Search(stack, text, base))) __builtin_trap();
        // NUL-terminated: the text ends at its first NUL.
        if (!Agree(Search(recursive, base, base), Search(stack, base, base))) __builtin_trap();
    } catch (const regex::bad_regexpr&) {
    }
    return 0;
}
