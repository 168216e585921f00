// Character sets and the bracket parser. Tested by tests/regex/charset_test.cpp.
#include "regex/charset.h"

#include <cstring>

#include "regex/perl_syntax.h"
#include "regex/rpattern.h"

namespace regex::detail {

namespace {

unsigned char ToLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
unsigned char ToUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

struct ClassName {
    const char* name;
    uint16_t mask;
};
// Masks as the runtime's class-name table gives them.
constexpr ClassName kClassNames[] = {
    {"alnum", kAlpha | kUpper | kLower | kDigit},
    {"alpha", kAlpha | kUpper | kLower},
    {"blank", kBlank},
    {"cntrl", kCntrl},
    {"digit", kDigit},
    {"graph", kAlpha | kUpper | kLower | kDigit | kPunct},
    {"lower", kLower},
    {"print", kAlpha | kUpper | kLower | kDigit | kPunct | kBlank},
    {"punct", kPunct},
    {"space", kSpace},
    {"upper", kUpper},
    {"xdigit", kXdigit},
};

enum class set_token { plain, dash, caret, end, cls, neg_cls, intrinsic_set, backspace, escape };

struct SetToken {
    set_token kind;
    uint16_t mask = 0;
    const charset* set = nullptr;
};

SetToken NextSetToken(const char*& it, const char* end) {
    char c = *it;
    switch (c) {
        case '-':
            ++it;
            return {set_token::dash};
        case '^':
            ++it;
            return {set_token::caret};
        case ']':
            ++it;
            return {set_token::end};
        case '[':
            if (end - it >= 4 && it[1] == ':') {
                bool negated = it[2] == '^';
                const char* name = it + (negated ? 3 : 2);
                for (const auto& cn : kClassNames) {
                    size_t len = std::strlen(cn.name);
                    if (end - name >= static_cast<ptrdiff_t>(len + 2) &&
                        std::memcmp(name, cn.name, len) == 0 && name[len] == ':' && name[len + 1] == ']') {
                        it = name + len + 2;
                        return {negated ? set_token::neg_cls : set_token::cls, cn.mask};
                    }
                }
            }
            return {set_token::plain};
        case '\\':
            if (end - it >= 2) {
                switch (it[1]) {
                    case 'd':
                        it += 2;
                        return {set_token::intrinsic_set, 0, &intrinsic_charset(intrinsic::digit)};
                    case 'D':
                        it += 2;
                        return {set_token::intrinsic_set, 0, &intrinsic_charset(intrinsic::not_digit)};
                    case 's':
                        it += 2;
                        return {set_token::intrinsic_set, 0, &intrinsic_charset(intrinsic::space)};
                    case 'S':
                        it += 2;
                        return {set_token::intrinsic_set, 0, &intrinsic_charset(intrinsic::not_space)};
                    case 'w':
                        it += 2;
                        return {set_token::intrinsic_set, 0, &intrinsic_charset(intrinsic::word)};
                    case 'W':
                        it += 2;
                        return {set_token::intrinsic_set, 0, &intrinsic_charset(intrinsic::not_word)};
                    case 'b':
                        it += 2;
                        return {set_token::backspace};
                    default:
                        break;
                }
            }
            ++it;
            return {set_token::escape};
        default:
            return {set_token::plain};
    }
}

[[noreturn]] void ThrowUnterminated() { throw bad_regexpr("expecting end of character set"); }

// The character of an escape inside brackets; the backslash is consumed.
// "\x" takes at most two hex digits and octal at most three, as outside brackets.
unsigned char ReadSetEscape(const char*& it, const char* end, int flags) {
    if (it == end) ThrowUnterminated();
    char c = *it++;
    if (c >= '0' && c <= '7') {
        unsigned value = c - '0';
        for (int n = 1; n < 3 && it != end && *it >= '0' && *it <= '7'; ++n)
            value = (value * 8 + (*it++ - '0')) & 0xFF;
        return static_cast<unsigned char>(value);
    }
    // Under expand_escapes "\v" is the vertical tab, as Perl's bracket sets once read it.
    if (IsUnsupportedEscape(c) && !(c == 'v' && (flags & expand_escapes)))
        throw bad_regexpr("unsupported escape sequence");
    switch (c) {
        case 'x':
            return ReadHexEscape(it, end);
        case 'c': {
            if (it == end) ThrowUnterminated();
            return static_cast<unsigned char>(ToUpper(static_cast<unsigned char>(*it++)) ^ 64);
        }
        case 'e':
            return 27;
        default:
            break;
    }
    if (flags & expand_escapes) {
        switch (c) {
            case 'a':
                return 7;
            case 'f':
                return 12;
            case 'n':
                return 10;
            case 'r':
                return 13;
            case 't':
                return 9;
            case 'v':
                return 11;
            default:
                break;
        }
    }
    return static_cast<unsigned char>(c);
}

charset MakeIntrinsic(bool negated, uint16_t mask, const char* extra) {
    charset s;
    s.add_classes(mask);
    for (; *extra; ++extra) s.add_char(static_cast<unsigned char>(*extra), false);
    if (negated) s.negate();
    return s;
}

}  // namespace

int byteset::count() const {
    int n = 0;
    for (auto w : words) n += __builtin_popcountll(w);
    return n;
}

unsigned char byteset::lowest() const {
    for (int i = 0; i < 4; ++i)
        if (words[i]) return static_cast<unsigned char>(i * 64 + __builtin_ctzll(words[i]));
    return 0;
}

uint16_t char_class(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return kUpper | kAlpha | (c <= 'F' ? kXdigit : 0);
    if (c >= 'a' && c <= 'z') return kLower | kAlpha | (c <= 'f' ? kXdigit : 0);
    if (c >= '0' && c <= '9') return kDigit | kXdigit;
    if (c == ' ') return kSpace | kBlank;
    if (c >= 9 && c <= 13) return kSpace | kCntrl;
    if (c < 32 || c == 127) return kCntrl;
    if (c < 127) return kPunct;
    return 0;
}

void charset::add_char(unsigned char c, bool ignoreCase) {
    if (ignoreCase) {
        m_bits.set(ToLower(c));
        m_bits.set(ToUpper(c));
    } else {
        m_bits.set(c);
    }
}

void charset::add_range(unsigned char first, unsigned char last, bool ignoreCase) {
    if (first > last) throw bad_regexpr("invalid range specified in character set");
    for (unsigned c = first; c <= last; ++c) add_char(static_cast<unsigned char>(c), ignoreCase);
}

void charset::add_classes(uint16_t mask) {
    for (unsigned c = 0; c < 256; ++c)
        if (char_class(static_cast<unsigned char>(c)) & mask) m_bits.set(static_cast<unsigned char>(c));
}

void charset::add_negated_classes(uint16_t mask) {
    for (unsigned c = 0; c < 256; ++c)
        if (!(char_class(static_cast<unsigned char>(c)) & mask)) m_bits.set(static_cast<unsigned char>(c));
}

const charset& intrinsic_charset(intrinsic which) {
    static const charset sets[] = {
        MakeIntrinsic(false, kDigit, ""),
        MakeIntrinsic(true, kDigit, ""),
        MakeIntrinsic(false, kSpace, ""),
        MakeIntrinsic(true, kSpace, ""),
        MakeIntrinsic(false, kAlpha | kUpper | kLower | kDigit, "_"),
        MakeIntrinsic(true, kAlpha | kUpper | kLower | kDigit, "_"),
    };
    return sets[static_cast<int>(which)];
}

void parse_bracket(charset& set, const char*& it, const char* end, int flags) {
    const bool ignoreCase = flags & ignore_case;
    bool negated = false;
    if (it != end && *it == '^') {
        negated = true;
        ++it;
    }
    if (it == end) ThrowUnterminated();

    // The case-blind form of a class: "lower" and "upper" stand for both.
    auto classMask = [ignoreCase](uint16_t mask) -> uint16_t {
        if (ignoreCase && (mask & (kLower | kUpper))) mask |= kLower | kUpper;
        return mask;
    };

    int pending = -1;
    bool first = true;
    SetToken tok = NextSetToken(it, end);
    for (;;) {
        if (tok.kind != set_token::dash && pending >= 0) {
            set.add_char(static_cast<unsigned char>(pending), ignoreCase);
            pending = -1;
        }
        bool acted = false;
        if (tok.kind == set_token::dash && pending >= 0) {
            if (it == end) ThrowUnterminated();
            SetToken endTok = NextSetToken(it, end);
            int last = -1;
            switch (endTok.kind) {
                case set_token::plain:
                    last = static_cast<unsigned char>(*it++);
                    break;
                case set_token::caret:
                    last = '^';
                    break;
                case set_token::dash:
                    last = '-';
                    break;
                case set_token::escape:
                    last = ReadSetEscape(it, end, flags);
                    break;
                case set_token::backspace:
                    last = 8;
                    break;
                default:
                    break;
            }
            if (last >= 0) {
                set.add_range(static_cast<unsigned char>(pending), static_cast<unsigned char>(last),
                              ignoreCase);
                pending = -1;
                acted = true;
            } else {
                // The dash stands for itself before a class, a set or the closing "]".
                set.add_char(static_cast<unsigned char>(pending), ignoreCase);
                set.add_char('-', ignoreCase);
                pending = -1;
                tok = endTok;
            }
        }
        if (!acted) {
            switch (tok.kind) {
                case set_token::intrinsic_set:
                    set.add_set(*tok.set);
                    break;
                case set_token::cls:
                    set.add_classes(classMask(tok.mask));
                    break;
                case set_token::neg_cls:
                    set.add_negated_classes(classMask(tok.mask));
                    break;
                case set_token::caret:
                    pending = '^';
                    break;
                case set_token::dash:
                    pending = '-';
                    break;
                case set_token::end:
                    if (first) pending = ']';
                    break;
                case set_token::backspace:
                    pending = 8;
                    break;
                case set_token::escape:
                    pending = ReadSetEscape(it, end, flags);
                    break;
                case set_token::plain:
                    pending = static_cast<unsigned char>(*it++);
                    break;
            }
            if (tok.kind == set_token::end && !first) break;
        }
        first = false;
        if (it == end) ThrowUnterminated();
        tok = NextSetToken(it, end);
    }
    if (negated) set.negate();
}

}  // namespace regex::detail
