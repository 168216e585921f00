// Fuzz target of the pattern engine: compiles a pattern and searches a text.
// Input: one flags byte, the pattern up to the first NUL byte, then the text.
// A malformed pattern must raise bad_regexpr and nothing else; a search must
// end without crashing whatever the pattern. The engine has no backtracking
// step limit, so inputs that would only measure catastrophic backtracking are
// left out: texts are short, and a pattern may quantify at most one group
// (nested group quantifiers multiply their paths).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "regex/rpattern.h"

namespace {
constexpr size_t kMaxPattern = 128;  // keeps compile work and nesting small
constexpr size_t kMaxText = 12;      // nested quantifiers backtrack exponentially in this
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
    int quantifiedGroups = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != ')') continue;
        size_t j = i + 1;  // free_spacing may put layout before the quantifier
        while (j < pattern.size() && (pattern[j] == ' ' || (pattern[j] >= 9 && pattern[j] <= 13))) ++j;
        if (j < pattern.size() && std::strchr("*+?{", pattern[j])) ++quantifiedGroups;
    }
    if (quantifiedGroups > 1) return 0;
    // An empty alternative in a quantified group allows two empty iterations
    // per position, each with its own choice of alternative; an unbounded
    // quantifier inside one multiplies the ways to split the text.
    if (quantifiedGroups == 1) {
        if (pattern.find("||") != std::string::npos || pattern.find("(|") != std::string::npos ||
            pattern.find("|)") != std::string::npos)
            return 0;
        int unbounded = 0;
        for (char c : pattern) unbounded += c == '*' || c == '+' || c == '{';
        if (unbounded > 1) return 0;
    }
    std::string text = nul ? std::string(rest + patternSize + 1, restSize - patternSize - 1) : std::string();
    if (text.size() > kMaxText) text.resize(kMaxText);
    try {
        regex::rpattern compiled(pattern, flags);
        regex::match_results results;
        const auto& whole = compiled.match_text(text, results);
        if (whole.matched && (whole.begin > whole.end || whole.end > text.end())) __builtin_trap();
        for (size_t i = 0; i < results.size(); ++i)
            if (results[i].matched && results[i].begin > results[i].end) __builtin_trap();
        compiled.match_text(text, results, text.size() / 2);
    } catch (const regex::bad_regexpr&) {
    }
    return 0;
}
