// Renders search results as compact text for table tests: "0-3 1-2 -" lists
// each visible group's span, "-" for a group that did not take part, and
// "none" for no match.
#pragma once

#include <string>

#include "regex/rpattern.h"

inline std::string FormatMatch(const std::string& pattern, int flags, const std::string& text,
                               size_t position = 0) {
    regex::rpattern compiled(pattern, flags);
    regex::match_results results;
    if (!compiled.match_text(text, results, position).matched) return "none";
    std::string out;
    for (size_t i = 0; i < results.size(); ++i) {
        if (i) out += ' ';
        const auto& group = results[i];
        if (!group.matched) {
            out += '-';
            continue;
        }
        out += std::to_string(group.begin - text.begin()) + "-" + std::to_string(group.end - text.begin());
    }
    return out;
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
