// Character sets of the pattern engine: "[...]" and the escapes "\d" ... "\W".
// Text is 8-bit, so every set is folded into a 256-bit map when it is built
// and membership is one bit test.
// Tested by tests/regex/charset_test.cpp.
#pragma once

#include <cstdint>

namespace regex::detail {

// 256 bits, one per byte value.
struct byteset {
    uint64_t words[4] = {0, 0, 0, 0};

    bool test(unsigned char c) const { return (words[c >> 6] >> (c & 63)) & 1; }
    void set(unsigned char c) { words[c >> 6] |= uint64_t{1} << (c & 63); }
    void set_all() { words[0] = words[1] = words[2] = words[3] = ~uint64_t{0}; }
    void flip() {
        for (auto& w : words) w = ~w;
    }
    byteset& operator|=(const byteset& o) {
        for (int i = 0; i < 4; ++i) words[i] |= o.words[i];
        return *this;
    }
    int count() const;
    // The smallest byte in the set; 0 when it is empty.
    unsigned char lowest() const;
    bool operator==(const byteset& o) const = default;
};

// Character classes of the classic runtime table; "alpha" has its own bit.
enum class_mask : uint16_t {
    kUpper = 1,
    kLower = 2,
    kDigit = 4,
    kSpace = 8,
    kPunct = 16,
    kCntrl = 32,
    kBlank = 64,
    kXdigit = 128,
    kAlpha = 256,
    kUnderscore = 512,  // "_", for "[:word:]"
    kAscii = 1024,
};

// The class bits of a byte: ASCII letters, digits and whitespace only;
// bytes above 127 belong to no class; "blank" is the space alone.
uint16_t char_class(unsigned char c);

// A finished set: `contains` answers from the bitmap alone.
class charset {
public:
    bool contains(unsigned char c) const { return m_bits.test(c); }
    const byteset& bits() const { return m_bits; }

    void add_char(unsigned char c, bool ignoreCase);
    // Raises bad_regexpr "invalid range specified in character set" when first > last.
    void add_range(unsigned char first, unsigned char last, bool ignoreCase);
    void add_set(const charset& other) { m_bits |= other.m_bits; }
    void add_classes(uint16_t mask);
    // Every byte that belongs to none of the mask's classes, as "[:^name:]" adds.
    void add_negated_classes(uint16_t mask);
    void negate() { m_bits.flip(); }

private:
    byteset m_bits;
};

using custom_charset = charset;

// The six shared sets of "\d", "\D", "\s", "\S", "\w", "\W".
enum class intrinsic { digit, not_digit, space, not_space, word, not_word };
const charset& intrinsic_charset(intrinsic which);

// True when `it`, standing on a "[", opens a POSIX form "[:name:]", "[.x.]" or
// "[=x=]" that ends before any "]"; `close` is then its terminator before "]".
bool posix_bracket_form(const char* it, const char* end, const char** close);

// Fills `set` from the text after "[" up to and including the closing "]".
// Raises bad_regexpr on a malformed set.
void parse_bracket(charset& set, const char*& it, const char* end, int flags);

}  // namespace regex::detail
