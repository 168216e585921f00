// Patterns and texts that make a backtracking engine run away: nested loops
// over the same text, a failing tail after a long run, deep nesting. Shared by
// the hostile-input tests and the benchmark, which times them next to PCRE2.
#pragma once

#include <string>
#include <vector>

#include "program_patterns.h"

namespace hostile_patterns {

struct Row {
    std::string name;
    std::string pattern;
    std::string text;
    const char* expected;  // group 0 as "begin-end", or "none"
};

inline std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// "(?:(?:(?:a)*)*)*" with `depth` loops.
inline std::string NestedLoops(int depth) {
    return Repeat("(?:", static_cast<size_t>(depth)) + "a" + Repeat(")*", static_cast<size_t>(depth));
}

// A weather report whose present-weather part is `groups` separate " //"
// and which lacks the closing pressure group the pattern requires.
inline std::string SlashedMetar(size_t groups) { return "EGLL 121650Z 24012KT 9999" + Repeat(" //", groups); }

inline std::vector<Row> Rows() {
    return {
        {"nested star", "(a*)*b", Repeat("a", 30), "none"},
        {"nested plus", "(a+)*b", Repeat("a", 30), "none"},
        {"split run", "(x+x+)+y", Repeat("x", 30), "none"},
        {"unterminated quote", R"re("([^\\"]+|\\.)*")re", "\"" + Repeat("x", 26), "none"},
        {"weather report", program_patterns::kMetar, SlashedMetar(20), "none"},
        {"long run, missing tail", "(?:a|b)*c", Repeat("a", 30000), "none"},
        {"nested 20 deep, empty text", NestedLoops(20), "", "0-0"},
    };
}

}  // namespace hostile_patterns
