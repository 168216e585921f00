// Patterns and texts that make a backtracking engine run away: nested loops
// over the same text, a failing tail after a long run, deep nesting. Shared by
// the hostile-input tests and the benchmark, which times them next to PCRE2.
#pragma once

#include <random>
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

// A service log of about `size` bytes whose last line holds the words searched for.
inline std::string ServiceLog(size_t size) {
    std::mt19937 rng(7);
    static const char* const kWords[] = {"worker", "finished", "job", "queue", "in", "ms", "retry", "INFO"};
    std::string text;
    text.reserve(size + 100);
    while (text.size() < size) {
        text += "2026-12-11 07:";
        text += std::to_string(10 + rng() % 50) + ":" + std::to_string(10 + rng() % 50) + " INFO";
        for (int w = 3 + static_cast<int>(rng() % 8); w > 0; --w) {
            text += ' ';
            text += kWords[rng() % 8];
            if (rng() % 3 == 0) text += std::to_string(rng() % 100000);
        }
        text += '\n';
    }
    text += "2026-12-11 07:59:59 WARN worker 12 TIMEOUT waiting for \"reply \\\" 7\" ERROR code 5\n";
    return text;
}

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
