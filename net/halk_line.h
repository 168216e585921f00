// Pieces of the line protocol shared by the session and the local test server:
// splitting a line into fields, building a line from safe fields, the number
// conversions of the wire and the packed attitude word.
// Tested by tests/net/halk_line_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The fields of one line after its prefix, each NUL-terminated so callbacks
// can hand them on as C texts. A missing field reads as "".
class HalkFields {
public:
    // Splits body (no terminator) at ':'; once `split` fields exist (when not
    // -1) the last one runs to the end of the body and keeps its colons.
    void Split(std::string_view body, int split);
    int Count() const { return static_cast<int>(m_starts.size()); }
    const char* operator[](int index) const {
        return index >= 0 && index < Count() ? m_storage.data() + m_starts[index] : "";
    }
    // For decoders that cut a field in place (key=value lists); null when missing.
    char* Mutable(int index) {
        return index >= 0 && index < Count() ? m_storage.data() + m_starts[index] : nullptr;
    }
    // Fields from `first` on, joined again with ':' (a text that the sender kept whole).
    std::string JoinFrom(int first) const;

private:
    std::string m_storage;
    std::vector<uint32_t> m_starts;
};

// Builds one outgoing line. Every field is made safe so that no user text can
// add a line or shift the fields after it: CR, LF and NUL are removed, and ':'
// becomes a blank except in a Last field, which the receiver keeps whole.
class HalkLineBuilder {
public:
    // Longest line written, CR LF included; longer text is cut, the CR LF never.
    static constexpr size_t kMaxLineBytes = 16384;

    explicit HalkLineBuilder(std::string_view prefix) : m_line(prefix) {}
    HalkLineBuilder& Field(std::string_view text);
    HalkLineBuilder& Field(long long value);
    // printf "%<width>f": six decimals, padded with blanks to width.
    HalkLineBuilder& Fixed(double value, int width = 0);
    HalkLineBuilder& Last(std::string_view text);
    // Continue the current field.
    HalkLineBuilder& Append(std::string_view text);
    HalkLineBuilder& Append(long long value);
    HalkLineBuilder& AppendLast(std::string_view text);
    // The line with its CR LF.
    std::string Finish() const;

private:
    void Separate();
    bool m_first = true;
    std::string m_line;
};

// Wire numbers, locale-independent. Integers: optional blanks, optional sign,
// digits; anything else gives 0 and values beyond int32 saturate.
int32_t HalkToInt(const char* text);
// Unsigned decimal (the attitude word); 0 when not a number or too large.
uint32_t HalkToUnsigned(const char* text);
// Decimal floating point after optional blanks; 0 when not a number.
double HalkToDouble(const char* text);
// A floating-point field truncated towards zero into int32 (altitude, speed).
int32_t HalkToTruncatedInt(const char* text);
void HalkAppendFixed(std::string& out, double value, int precision, int width);

// The packed attitude word: pitch in bits 22 to 31, bank in 12 to 21 and
// heading in 2 to 11, each in units of 360/1024 degree; pitch and bank are
// sent negated.
struct HalkAttitude {
    double pitch = 0;
    double bank = 0;
    double heading = 0;
};
HalkAttitude DecodePackedPBH(uint32_t word);
uint32_t EncodePackedPBH(double pitch, double bank, double heading);
