// One-call pattern test. Tested by tests/foundation/regex_match_test.cpp.
#include "foundation/regex_match.h"

#include "regex/rpattern.h"

bool RegexMatch(std::string text, std::string pattern, uint32_t maxLength) {
    const regex::rpattern compiled(pattern, regex::noflags, regex::recursive_mode);
    regex::match_results results;
    if (!compiled.match_text(text, results).matched) return false;
    return text.size() <= maxLength;
}
