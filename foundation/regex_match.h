// One-call pattern test for the input validators: is the pattern found in the
// text, and is the text no longer than a limit?
// Tested by tests/foundation/regex_match_test.cpp.
#pragma once

#include <cstdint>
#include <string>

// True when `pattern` (Perl syntax, no flags) is found anywhere in `text` and
// `text` has at most `maxLength` bytes. A malformed pattern raises regex::bad_regexpr;
// a search that spends the engine's step budget (or stack) without an answer
// raises regex::match_limit_exceeded, so hostile text never hangs the caller.
bool RegexMatch(std::string text, std::string pattern, uint32_t maxLength);
