// Token readers of the Perl pattern syntax. Tested by tests/regex/behaviour_table_test.cpp.
#include "regex/perl_syntax.h"

#include <array>
#include <string>

#include "regex/rpattern.h"

namespace regex {

namespace {

bool IsLayoutSpace(char c) { return c == ' ' || (c >= 9 && c <= 13); }

constexpr std::array<token_kind, 256> MakeTokenTable() {
    std::array<token_kind, 256> t{};
    t['('] = TK_OPEN;
    t[')'] = TK_CLOSE;
    t['|'] = TK_ALT;
    t['^'] = TK_LINE_START;
    t['$'] = TK_LINE_END;
    t['['] = TK_SET_OPEN;
    t['.'] = TK_ANY;
    t['\\'] = TK_ESCAPE;
    return t;
}

constexpr std::array<token_kind, 256> MakeEscapeTable() {
    std::array<token_kind, 256> t{};
    t['d'] = TK_DIGIT;
    t['D'] = TK_NOT_DIGIT;
    t['s'] = TK_SPACE;
    t['S'] = TK_NOT_SPACE;
    t['w'] = TK_WORD;
    t['W'] = TK_NOT_WORD;
    t['A'] = TK_TEXT_START;
    t['Z'] = TK_TEXT_END_NL;
    t['z'] = TK_TEXT_END;
    t['b'] = TK_WORD_BOUNDARY;
    t['B'] = TK_NOT_WORD_BOUNDARY;
    t['Q'] = TK_QUOTE_ON;
    t['E'] = TK_QUOTE_OFF;
    return t;
}

constexpr auto kTokens = MakeTokenTable();
constexpr auto kEscapes = MakeEscapeTable();

}  // namespace

void perl_syntax<char>::skip_layout(const char*& it, const char* end, int flags) {
    if (!(flags & free_spacing)) return;
    while (it != end) {
        if (*it == '#') {
            while (it != end && *it != '\n') ++it;
            if (it != end) ++it;
        } else if (IsLayoutSpace(*it)) {
            while (it != end && IsLayoutSpace(*it)) ++it;
        } else {
            return;
        }
    }
}

token_kind perl_syntax<char>::next_token(const char*& it, const char* end, int flags) {
    skip_layout(it, end, flags);
    if (it == end) return TK_NONE;
    token_kind tok = kTokens[static_cast<unsigned char>(*it)];
    if (tok == TK_NONE) return TK_NONE;
    ++it;
    if (tok == TK_ESCAPE && it != end) {
        token_kind esc = kEscapes[static_cast<unsigned char>(*it)];
        if (esc != TK_NONE) {
            ++it;
            return esc;
        }
    }
    return tok;
}

token_kind perl_syntax<char>::next_quantifier_token(const char*& it, const char* end, int flags) {
    skip_layout(it, end, flags);
    if (it == end) return TK_NONE;
    token_kind greedy;
    switch (*it) {
        case '+':
            greedy = TK_PLUS;
            break;
        case '*':
            greedy = TK_STAR;
            break;
        case '?':
            greedy = TK_OPTIONAL;
            break;
        case '}':
            greedy = TK_RANGE_CLOSE;
            break;
        case '{':
            ++it;
            return TK_RANGE_OPEN;
        case ',':
            ++it;
            return TK_RANGE_COMMA;
        default:
            return TK_NONE;
    }
    ++it;
    const char* look = it;
    skip_layout(look, end, flags);
    if (look != end && *look == '?') {
        it = look + 1;
        switch (greedy) {
            case TK_PLUS:
                return TK_PLUS_LAZY;
            case TK_STAR:
                return TK_STAR_LAZY;
            case TK_OPTIONAL:
                return TK_OPTIONAL_LAZY;
            default:
                return TK_RANGE_CLOSE_LAZY;
        }
    }
    return greedy;
}

token_kind perl_syntax<char>::next_extension_token(const char*& it, const char* end, int& flags) {
    skip_layout(it, end, flags);
    if (it == end || *it != '?') return TK_NONE;
    ++it;
    auto skipSpace = [&] {
        if (flags & free_spacing)
            while (it != end && IsLayoutSpace(*it)) ++it;
    };
    skipSpace();
    if (it == end) return TK_X_BAD;
    switch (*it) {
        case ':':
            ++it;
            return TK_X_GROUP;
        case '=':
            ++it;
            return TK_X_AHEAD;
        case '!':
            ++it;
            return TK_X_NOT_AHEAD;
        case '>':
            ++it;
            return TK_X_ATOMIC;
        case '#':
            ++it;
            return TK_X_COMMENT;
        case '(':
            ++it;
            return TK_X_CONDITION;
        case 'R':
            ++it;
            return TK_X_RECURSE;
        case '<':
            ++it;
            skipSpace();
            if (it != end && *it == '=') {
                ++it;
                return TK_X_BEHIND;
            }
            if (it != end && *it == '!') {
                ++it;
                return TK_X_NOT_BEHIND;
            }
            return TK_X_BAD;
        default:
            break;
    }
    // Option letters: each before "-" sets its bit, each after it clears it, at once.
    bool clearing = false;
    bool any = false;
    while (it != end) {
        int bit = 0;
        switch (*it) {
            case 'i':
                bit = ignore_case;
                break;
            case 'm':
                bit = multi_line;
                break;
            case 's':
                bit = dot_matches_newline;
                break;
            case 'x':
                // "xx" also skips blanks inside brackets; a single "x" sets
                // layout alone, and clearing "x" clears both.
                bit = free_spacing | extended_more;
                if (it + 1 != end && it[1] == 'x')
                    ++it;
                else if (!clearing) {
                    bit = free_spacing;
                    flags &= ~extended_more;
                }
                break;
            case '-':
                if (clearing) return TK_X_BAD;
                clearing = true;
                ++it;
                skipSpace();
                any = true;
                continue;
            case ':':
                if (!any) return TK_X_BAD;
                ++it;
                return TK_X_GROUP;
            case ')':
                return any ? TK_X_GROUP : TK_X_BAD;
            default:
                return TK_X_BAD;
        }
        if (clearing)
            flags &= ~bit;
        else
            flags |= bit;
        any = true;
        ++it;
        skipSpace();
    }
    return TK_X_BAD;
}

unsigned char ReadHexEscape(const char*& it, const char* end) {
    unsigned value = 0;
    if (it != end && *it == '{') {
        const char* p = it + 1;
        int digits = 0;
        for (; p != end && HexValue(*p) >= 0; ++p, ++digits) {
            value = value * 16 + static_cast<unsigned>(HexValue(*p));
            if (value > 0xFF) throw bad_regexpr("character code point value in \\x{} is too large");
        }
        if (p == end || *p != '}' || digits == 0) throw bad_regexpr("malformed \\x{} escape");
        it = p + 1;
        return static_cast<unsigned char>(value);
    }
    for (int i = 0; i < 2 && it != end && HexValue(*it) >= 0; ++i) value = value * 16 + HexValue(*it++);
    return static_cast<unsigned char>(value);
}

void ThrowIfUnsupportedEscape(char c) {
    switch (c) {
        case 'K':
        case 'G':
        case 'R':
        case 'X':
        case 'h':
        case 'H':
        case 'v':
        case 'V':
        case 'N':
        case 'p':
        case 'P':
        case 'g':
        case 'k':
        case 'o':
        // Case changes belong to substitutions, not to patterns.
        case 'u':
        case 'U':
        case 'l':
        case 'L':
        case 'F':
            throw bad_regexpr(std::string("unsupported escape sequence \\") + c);
        // Letters that name nothing: a later syntax may give them a meaning.
        case 'i':
        case 'j':
        case 'm':
        case 'q':
        case 'y':
        case 'I':
        case 'J':
        case 'M':
        case 'O':
        case 'T':
        case 'Y':
            throw bad_regexpr(std::string("unrecognized escape sequence \\") + c);
        default:
            break;
    }
}

}  // namespace regex
