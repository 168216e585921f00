// Renders search results as compact text for table tests: "0-3 1-2 -" lists
// each visible group's span, "-" for a group that did not take part, and
// "none" for no match.
#pragma once

#include <string>

#include "regex/rpattern.h"

// Spans are counted from base, the start of the searched text.
template <class It>
std::string RenderMatch(bool matched, const regex::basic_match_results<It>& results, It base) {
    if (!matched) return "none";
    std::string out;
    for (size_t i = 0; i < results.size(); ++i) {
        if (i) out += ' ';
        const auto& group = results[i];
        if (!group.matched) {
            out += '-';
            continue;
        }
        out += std::to_string(group.begin - base) + "-" + std::to_string(group.end - base);
    }
    return out;
}

inline std::string FormatMatch(const std::string& pattern, int flags, const std::string& text,
                               size_t position = 0) {
    regex::rpattern compiled(pattern, flags);
    regex::match_results results;
    bool matched = compiled.match_text(text, results, position).matched;
    return RenderMatch(matched, results, text.begin());
}

// The message of the bad_regexpr a pattern raises, or "ok".
inline std::string CompileError(const std::string& pattern, int flags = 0) {
    try {
        regex::rpattern compiled(pattern, flags);
        return "ok";
    } catch (const regex::bad_regexpr& e) {
        return e.what();
    }
}
