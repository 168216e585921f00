// Fuzz target of the pattern engine: compiles a pattern and searches a text.
// Input: one flags byte, the pattern up to the first NUL byte, then the text.
// A malformed pattern must raise bad_regexpr and nothing else; a search must
// end without crashing whatever the pattern, with an answer or with
// match_limit_exceeded. A small step budget keeps every run short, so nested
// loops and long texts are fair game.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "regex/rpattern.h"

namespace {
constexpr size_t kMaxPattern = 128;  // keeps compile work and nesting small
constexpr size_t kMaxText = 256;
constexpr uint64_t kStepBudget = 20000;
// Flags the fuzzer may set: case, multi-line, single-line, free spacing, escapes.
constexpr int kFlagMask = regex::ignore_case | regex::multi_line | regex::dot_matches_newline |
                          regex::free_spacing | regex::expand_escapes;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int flags = 0;
    const uint8_t f = data[0];
    if (f & 1) flags |= regex::ignore_case;
    if (f & 2) flags |= regex::multi_line;
    if (f & 4) flags |= regex::dot_matches_newline;
    if (f & 8) flags |= regex::free_spacing;
    if (f & 16) flags |= regex::expand_escapes;
    flags &= kFlagMask;
    const char* rest = reinterpret_cast<const char*>(data + 1);
    size_t restSize = size - 1;
    const void* nul = std::memchr(rest, 0, restSize);
    size_t patternSize = nul ? static_cast<size_t>(static_cast<const char*>(nul) - rest) : restSize;
    if (patternSize > kMaxPattern) return 0;
    std::string pattern(rest, patternSize);
    std::string text = nul ? std::string(rest + patternSize + 1, restSize - patternSize - 1) : std::string();
    if (text.size() > kMaxText) text.resize(kMaxText);
    try {
        regex::rpattern compiled(pattern, flags);
        compiled.set_step_budget(kStepBudget);
        regex::match_results results;
        try {
            const auto& whole = compiled.match_text(text, results);
            if (whole.matched && (whole.begin > whole.end || whole.end > text.end())) __builtin_trap();
            for (size_t i = 0; i < results.size(); ++i)
                if (results[i].matched && results[i].begin > results[i].end) __builtin_trap();
        } catch (const regex::match_limit_exceeded&) {
            // A search that gave up names no group.
            for (size_t i = 0; i < results.size(); ++i)
                if (results[i].matched) __builtin_trap();
        }
        compiled.match_text(text, results, text.size() / 2);
    } catch (const regex::bad_regexpr&) {
    }
    return 0;
}
