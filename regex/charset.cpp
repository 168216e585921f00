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
// Masks as the runtime's class-name table gives them, with PCRE2's "word" and "ascii".
constexpr ClassName kClassNames[] = {
    {"alnum", kAlpha | kUpper | kLower | kDigit},
    {"alpha", kAlpha | kUpper | kLower},
    {"ascii", kAscii},
    {"blank", kBlank},
    {"cntrl", kCntrl},
    {"digit", kDigit},
    {"graph", kAlpha | kUpper | kLower | kDigit | kPunct},
    {"lower", kLower},
    {"print", kAlpha | kUpper | kLower | kDigit | kPunct | kBlank},
    {"punct", kPunct},
    {"space", kSpace},
    {"upper", kUpper},
    {"word", kAlpha | kUpper | kLower | kDigit | kUnderscore},
    {"xdigit", kXdigit},
};

[[noreturn]] void ThrowUnterminated() { throw bad_regexpr("expecting end of character set"); }
[[noreturn]] void ThrowBadRange() { throw bad_regexpr("invalid range in character class"); }

}  // namespace

bool posix_bracket_form(const char* it, const char* end, const char** close) {
    if (end - it < 3 || (it[1] != ':' && it[1] != '.' && it[1] != '=')) return false;
    const char terminator = it[1];
    for (const char* p = it + 2; end - p >= 2; ++p) {
        if (*p == '\\' && (p[1] == ']' || p[1] == '\\')) {
            ++p;
        } else if ((*p == '[' && p[1] == terminator) || *p == ']') {
            return false;
        } else if (*p == terminator && p[1] == ']') {
            *close = p;
            return true;
        }
    }
    return false;
}

namespace {

// The class named by the form posix_bracket_form found; raises bad_regexpr for collating
// elements and names no class has.
uint16_t PosixClass(const char* it, const char* close, bool* negated) {
    if (it[1] != ':') throw bad_regexpr("POSIX collating elements are not supported");
    const char* name = it + 2;
    *negated = name != close && *name == '^';
    if (*negated) ++name;
    const auto length = static_cast<size_t>(close - name);
    if (length == 1 && (*name == '<' || *name == '>'))
        throw bad_regexpr("POSIX word boundaries [[:<:]] and [[:>:]] are not supported");
    for (const auto& cn : kClassNames)
        if (std::strlen(cn.name) == length && std::memcmp(name, cn.name, length) == 0) return cn.mask;
    throw bad_regexpr("unknown POSIX class name");
}

// The character of an octal escape whose first digit `it` stands on.
unsigned char ReadOctal(const char*& it, const char* end) {
    unsigned value = 0;
    for (int n = 0; n < 3 && it != end && *it >= '0' && *it <= '7'; ++n) value = value * 8 + (*it++ - '0');
    if (value > 0xFF) throw bad_regexpr("octal value is greater than \\377");
    return static_cast<unsigned char>(value);
}

// The character of an escape inside brackets; the backslash is consumed.
// "\x" takes at most two hex digits and octal at most three, as outside brackets.
unsigned char ReadSetEscape(const char*& it, const char* end, int flags) {
    if (it == end) ThrowUnterminated();
    const char c = *it;
    if (c >= '0' && c <= '7') return ReadOctal(it, end);
    ++it;
    // Under expand_escapes "\v" is the vertical tab, as Perl's bracket sets once read it.
    if (!(c == 'v' && (flags & expand_escapes))) ThrowIfUnsupportedEscape(c);
    switch (c) {
        case 'A':
        case 'B':
        case 'C':
        case 'G':
        case 'X':
        case 'z':
        case 'Z':
            throw bad_regexpr(std::string("escape sequence \\") + c + " is invalid in a character class");
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
    if (c >= 128) return 0;
    if (c >= 'A' && c <= 'Z') return kAscii | kUpper | kAlpha | (c <= 'F' ? kXdigit : 0);
    if (c >= 'a' && c <= 'z') return kAscii | kLower | kAlpha | (c <= 'f' ? kXdigit : 0);
    if (c >= '0' && c <= '9') return kAscii | kDigit | kXdigit;
    if (c == ' ') return kAscii | kSpace | kBlank;
    if (c >= 9 && c <= 13) return kAscii | kSpace | kCntrl;
    if (c < 32 || c == 127) return kAscii | kCntrl;
    if (c == '_') return kAscii | kPunct | kUnderscore;
    return kAscii | kPunct;
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
    const bool skipBlanks = flags & extended_more;
    auto isBlank = [&](char c) { return skipBlanks && (c == ' ' || c == '\t'); };
    // The case-blind form of a class: "lower" and "upper" stand for both.
    auto classMask = [ignoreCase](uint16_t mask) -> uint16_t {
        if (ignoreCase && (mask & (kLower | kUpper))) mask |= kLower | kUpper;
        return mask;
    };

    // Before the first real item: "^" once, and empty quotes and blanks that hide nothing.
    bool negated = false;
    for (;;) {
        if (it == end) ThrowUnterminated();
        if (it[0] == '\\' && end - it >= 2 && it[1] == 'E') {
            it += 2;
        } else if (it[0] == '\\' && end - it >= 4 && it[1] == 'Q' && it[2] == '\\' && it[3] == 'E') {
            it += 4;
        } else if (isBlank(*it)) {
            ++it;
        } else if (!negated && *it == '^') {
            negated = true;
            ++it;
        } else {
            break;
        }
    }

    // A character waits in `pending` until it is known whether a range starts
    // at it; `dash` once the "-" of such a range is read. After a class a "-"
    // is a character only where the set ends.
    int pending = -1;
    bool dash = false;
    bool afterClass = false;
    bool quoting = false;
    bool first = true;
    auto addLiteral = [&](unsigned char c) {
        if (dash) {
            if (c < pending) throw bad_regexpr("invalid range specified in character set");
            set.add_range(static_cast<unsigned char>(pending), c, ignoreCase);
            pending = -1;
            dash = false;
        } else {
            if (pending >= 0) set.add_char(static_cast<unsigned char>(pending), ignoreCase);
            pending = c;
        }
        afterClass = false;
    };
    auto addClass = [&](auto&& add) {
        if (dash) ThrowBadRange();
        if (pending >= 0) set.add_char(static_cast<unsigned char>(pending), ignoreCase);
        pending = -1;
        add();
        afterClass = true;
    };
    for (;; first = false) {
        if (it == end) ThrowUnterminated();
        const char c = *it;
        if (quoting) {
            if (c == '\\' && end - it >= 2 && it[1] == 'E') {
                quoting = false;
                it += 2;
            } else {
                addLiteral(static_cast<unsigned char>(*it++));
            }
            continue;
        }
        if (isBlank(c)) {
            ++it;
            continue;
        }
        if (c == ']' && !first) {
            ++it;
            break;
        }
        const char* close = nullptr;
        if (c == '[' && posix_bracket_form(it, end, &close)) {
            bool negatedClass = false;
            const uint16_t mask = classMask(PosixClass(it, close, &negatedClass));
            it = close + 2;
            addClass([&] {
                if (negatedClass)
                    set.add_negated_classes(mask);
                else
                    set.add_classes(mask);
            });
            continue;
        }
        if (c == '-') {
            ++it;
            if (dash) {
                addLiteral('-');
                continue;
            }
            const char* look = it;
            while (look != end && isBlank(*look)) ++look;
            const bool closes = look != end && *look == ']';
            if (afterClass && !closes) ThrowBadRange();
            if (pending >= 0 && !closes)
                dash = true;
            else
                addLiteral('-');
            continue;
        }
        if (c != '\\') {
            addLiteral(static_cast<unsigned char>(*it++));
            continue;
        }
        ++it;
        if (it == end) ThrowUnterminated();
        const charset* intrinsicSet = nullptr;
        switch (*it) {
            case 'Q':
                ++it;
                quoting = true;
                continue;
            case 'E':
                ++it;
                continue;
            case 'b':
                ++it;
                addLiteral(8);
                continue;
            case 'd':
                intrinsicSet = &intrinsic_charset(intrinsic::digit);
                break;
            case 'D':
                intrinsicSet = &intrinsic_charset(intrinsic::not_digit);
                break;
            case 's':
                intrinsicSet = &intrinsic_charset(intrinsic::space);
                break;
            case 'S':
                intrinsicSet = &intrinsic_charset(intrinsic::not_space);
                break;
            case 'w':
                intrinsicSet = &intrinsic_charset(intrinsic::word);
                break;
            case 'W':
                intrinsicSet = &intrinsic_charset(intrinsic::not_word);
                break;
            default:
                addLiteral(ReadSetEscape(it, end, flags));
                continue;
        }
        ++it;
        addClass([&] { set.add_set(*intrinsicSet); });
    }
    if (dash) {
        set.add_char(static_cast<unsigned char>(pending), ignoreCase);
        set.add_char('-', ignoreCase);
    } else if (pending >= 0) {
        set.add_char(static_cast<unsigned char>(pending), ignoreCase);
    }
    if (negated) set.negate();
}

}  // namespace regex::detail
