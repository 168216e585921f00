// Substitution texts ("$1-$2", "\U$&\E", ...) parsed into the items a replace
// operation would apply: literal pieces, group references and case markers.
// Tested by tests/regex/substitution_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "regex/perl_syntax.h"

namespace regex {

enum class subst_kind : uint32_t { literal = 0, group = 1, case_marker = 2 };

// Group numbers of the references that are not groups.
inline constexpr int32_t kSubstBefore = -1;  // the text before the match
inline constexpr int32_t kSubstAfter = -2;   // the text after the match

struct subst_item {
    subst_kind kind;
    // literal: offset in the substitution text; group: its number; case marker: its token_kind
    int32_t first;
    // literal: its length; 0 otherwise
    uint32_t second;
    bool operator==(const subst_item&) const = default;
};

// Reads one substitution token at `it`, consuming what the token covers;
// TK_NONE consumes nothing.
token_kind next_substitution_token(const char*& it, const char* end);

// Fills `items` from `text`; `visibleGroupCount` counts group 0 and the
// capturing groups. Raises bad_regexpr on a bad "$" reference or a
// trailing backslash. `hasGroupReference` tells whether any reference was read.
void parse_substitution(const std::string& text, uint32_t visibleGroupCount, bool& hasGroupReference,
                        std::vector<subst_item>& items);

// Turns the control escapes of a substitution text into their characters;
// group references, case markers and escaped backslashes stay for the parser.
std::string expand_substitution_escapes(const std::string& text);

}  // namespace regex
