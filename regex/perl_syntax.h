// Token readers of the Perl pattern syntax: which characters of a pattern are
// special, and what follows "(?".
// Tested through the parser by tests/regex/behaviour_table_test.cpp.
#pragma once

#include <cstdint>

namespace regex {

// Inline option "(?xx)": blanks inside brackets are layout too. Set only by
// the parser, on the flags in force, never on a pattern's own flags.
inline constexpr int extended_more = 1 << 20;

enum token_kind : int {
    TK_NONE = 0,
    TK_OPEN = 1,
    TK_CLOSE = 2,
    TK_ALT = 3,
    TK_LINE_START = 4,
    TK_LINE_END = 5,
    TK_SET_OPEN = 6,
    TK_ANY = 7,
    TK_ESCAPE = 8,
    TK_PLUS = 9,
    TK_STAR = 10,
    TK_OPTIONAL = 11,
    TK_PLUS_LAZY = 12,
    TK_STAR_LAZY = 13,
    TK_OPTIONAL_LAZY = 14,
    TK_RANGE_OPEN = 15,
    TK_RANGE_COMMA = 16,
    TK_RANGE_CLOSE = 17,
    TK_RANGE_CLOSE_LAZY = 18,
    TK_DIGIT = 19,
    TK_NOT_DIGIT = 20,
    TK_SPACE = 21,
    TK_NOT_SPACE = 22,
    TK_WORD = 23,
    TK_NOT_WORD = 24,
    TK_TEXT_START = 25,
    TK_TEXT_END_NL = 26,
    TK_TEXT_END = 27,
    TK_WORD_BOUNDARY = 28,
    TK_NOT_WORD_BOUNDARY = 29,
    TK_QUOTE_ON = 32,
    TK_QUOTE_OFF = 33,
    // Substitution texts.
    TK_SUB_GROUP = 34,
    TK_SUB_BEFORE = 35,
    TK_SUB_AFTER = 36,
    TK_SUB_MATCH = 37,
    TK_SUB_ESCAPE = 38,
    TK_SUB_QUOTE = 39,
    TK_SUB_UPPER = 40,
    TK_SUB_UPPER_NEXT = 41,
    TK_SUB_LOWER = 42,
    TK_SUB_LOWER_NEXT = 43,
    TK_SUB_END = 44,
    TK_X_GROUP = 74,
    TK_X_AHEAD = 75,
    TK_X_NOT_AHEAD = 76,
    TK_X_BEHIND = 77,
    TK_X_NOT_BEHIND = 78,
    TK_X_ATOMIC = 79,
    TK_X_COMMENT = 80,
    TK_X_CONDITION = 81,
    TK_X_RECURSE = 82,
    TK_X_BAD = 83,
};

template <class CharT>
class perl_syntax;

// Every reader takes the pattern position by reference, consumes what it
// recognises, and first skips layout when free_spacing is on in `flags`.
template <>
class perl_syntax<char> {
public:
    // Whitespace and "#" comments, under free_spacing only.
    static void skip_layout(const char*& it, const char* end, int flags);
    // Characters that are special outside brackets; TK_NONE consumes nothing.
    static token_kind next_token(const char*& it, const char* end, int flags);
    // Quantifier characters, with the lazy "?" suffix.
    static token_kind next_quantifier_token(const char*& it, const char* end, int flags);
    // What follows a "(": option letters change `flags` as they are read.
    static token_kind next_extension_token(const char*& it, const char* end, int& flags);
};

// The value of a hexadecimal digit, or -1.
inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The character of "\x" with the iterator after the "x": up to two hex
// digits, or hex digits in braces up to 0xFF. Raises bad_regexpr on a brace
// form that is not closed or names a larger character.
unsigned char ReadHexEscape(const char*& it, const char* end);

// Escapes that stand for something in Perl that this engine does not do
// (keep-out, anchors, Unicode properties, named or relative references, case
// changes), and letters that stand for nothing: refused with bad_regexpr
// naming the escape, rather than read as the letter.
void ThrowIfUnsupportedEscape(char c);

}  // namespace regex
