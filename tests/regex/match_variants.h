// Runs one search in every way the engine offers — recursive, stack and
// pattern-chosen driver; bounded and NUL-terminated text; string iterators
// and character pointers — and renders the results as match_format.h does.
// All ways must agree; a disagreement is reported in the returned text.
#pragma once

#include <cstring>
#include <string>

#include "match_format.h"
#include "regex/rpattern.h"

namespace match_variants {

inline std::string RunOne(const std::string& pattern, int flags, const std::string& text, size_t position,
                          int mode, bool pointers, bool terminated) {
    if (pointers) {
        regex::rpattern_c compiled(pattern, flags, mode);
        regex::match_results_c results;
        const char* base = text.c_str();
        bool matched = terminated ? compiled.match_text(base, results, position).matched
                                  : compiled.match_text(text, results, position).matched;
        return RenderMatch(matched, results, base);
    }
    regex::rpattern compiled(pattern, flags, mode);
    regex::match_results results;
    bool matched = terminated ? compiled.run_search(results, text.begin() + static_cast<ptrdiff_t>(position))
                              : compiled.match_text(text, results, position).matched;
    return RenderMatch(matched, results, text.begin());
}

// The common answer, "error: <message>" for a bad pattern, or a description of the first disagreement.
inline std::string FormatEveryWay(const std::string& pattern, int flags, const std::string& text,
                                  size_t position = 0) {
    const bool hasNul = std::strlen(text.c_str()) != text.size();
    std::string first;
    std::string firstName;
    for (int mode : {regex::recursive_mode, regex::stack_mode, regex::pattern_chooses_mode}) {
        for (bool pointers : {false, true}) {
            for (bool terminated : {false, true}) {
                if (terminated && hasNul) continue;  // such text has no NUL-terminated form
                std::string got;
                try {
                    got = RunOne(pattern, flags, text, position, mode, pointers, terminated);
                } catch (const regex::bad_regexpr& e) {
                    got = std::string("error: ") + e.what();
                }
                std::string name = "mode " + std::to_string(mode) +
                                   (pointers ? ", pointers" : ", iterators") +
                                   (terminated ? ", NUL-terminated" : ", bounded");
                if (firstName.empty()) {
                    first = got;
                    firstName = name;
                } else if (got != first) {
                    return firstName + " gave " + first + " but " + name + " gave " + got;
                }
            }
        }
    }
    return first;
}

}  // namespace match_variants
