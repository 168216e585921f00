// Field splitting, safe line building and wire number conversions.
// Tested by tests/net/halk_line_test.cpp.
#include "net/halk_line.h"

#include <charconv>
#include <cmath>
#include <limits>

void HalkFields::Split(std::string_view body, int split) {
    m_storage.assign(body);
    m_storage.push_back('\0');
    m_starts.clear();
    m_starts.push_back(0);
    for (size_t i = 0; i + 1 < m_storage.size(); ++i) {
        if (split != -1 && static_cast<int>(m_starts.size()) >= split) break;
        if (m_storage[i] == ':') {
            m_storage[i] = '\0';
            m_starts.push_back(static_cast<uint32_t>(i + 1));
        }
    }
}

std::string HalkFields::JoinFrom(int first) const {
    std::string joined;
    for (int i = first; i < Count(); ++i) {
        if (i > first) joined.push_back(':');
        joined += (*this)[i];
    }
    return joined;
}

namespace {

void AppendSafe(std::string& out, std::string_view text, bool keepColons) {
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == '\0') continue;
        out.push_back(c == ':' && !keepColons ? ' ' : c);
    }
}

void AppendInt(std::string& out, long long value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

const char* SkipBlanks(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f')
        ++text;
    return text;
}

}  // namespace

void HalkLineBuilder::Separate() {
    if (!m_first) m_line.push_back(':');
    m_first = false;
}

HalkLineBuilder& HalkLineBuilder::Field(std::string_view text) {
    Separate();
    AppendSafe(m_line, text, false);
    return *this;
}

HalkLineBuilder& HalkLineBuilder::Field(long long value) {
    Separate();
    AppendInt(m_line, value);
    return *this;
}

HalkLineBuilder& HalkLineBuilder::Fixed(double value, int width) {
    Separate();
    HalkAppendFixed(m_line, value, 6, width);
    return *this;
}

HalkLineBuilder& HalkLineBuilder::Last(std::string_view text) {
    Separate();
    AppendSafe(m_line, text, true);
    return *this;
}

HalkLineBuilder& HalkLineBuilder::Append(std::string_view text) {
    AppendSafe(m_line, text, false);
    return *this;
}

HalkLineBuilder& HalkLineBuilder::Append(long long value) {
    AppendInt(m_line, value);
    return *this;
}

HalkLineBuilder& HalkLineBuilder::AppendLast(std::string_view text) {
    AppendSafe(m_line, text, true);
    return *this;
}

std::string HalkLineBuilder::Finish() const {
    std::string line = m_line.size() > kMaxLineBytes - 2 ? m_line.substr(0, kMaxLineBytes - 2) : m_line;
    line += "\r\n";
    return line;
}

void HalkAppendFixed(std::string& out, double value, int precision, int width) {
    char buffer[400];  // the widest double in fixed notation fits
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    size_t length = result.ec == std::errc() ? static_cast<size_t>(result.ptr - buffer) : 0;
    if (static_cast<int>(length) < width) out.append(static_cast<size_t>(width) - length, ' ');
    out.append(buffer, length);
}

int32_t HalkToInt(const char* text) {
    text = SkipBlanks(text);
    bool negative = *text == '-';
    if (*text == '+' || *text == '-') ++text;
    long long value = 0;
    bool any = false;
    for (; *text >= '0' && *text <= '9'; ++text) {
        any = true;
        if (value < (1LL << 40)) value = value * 10 + (*text - '0');
    }
    if (!any) return 0;
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

uint32_t HalkToUnsigned(const char* text) {
    text = SkipBlanks(text);
    if (*text == '+') ++text;
    uint32_t value = 0;
    const char* end = text;
    while (*end >= '0' && *end <= '9') ++end;
    auto result = std::from_chars(text, end, value);
    return result.ec == std::errc() ? value : 0;
}

double HalkToDouble(const char* text) {
    text = SkipBlanks(text);
    if (*text == '+' && text[1] != '-') ++text;
    const char* end = text;
    while (*end != '\0' && *end != ':') ++end;
    double value = 0;
    auto result = std::from_chars(text, end, value, std::chars_format::general);
    if (result.ec != std::errc() || std::isnan(value)) return 0;
    return value;
}

int32_t HalkToTruncatedInt(const char* text) {
    double value = std::trunc(HalkToDouble(text));
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

HalkAttitude DecodePackedPBH(uint32_t word) {
    constexpr double kUnit = 360.0 / 1024.0;
    HalkAttitude a;
    a.pitch = -static_cast<double>(word >> 22) * kUnit;
    a.bank = -static_cast<double>((word >> 12) & 0x3FF) * kUnit;
    a.heading = static_cast<double>((word >> 2) & 0x3FF) * kUnit;
    if (a.pitch >= 180) a.pitch -= 360;
    if (a.pitch <= -180) a.pitch += 360;
    if (a.bank >= 180) a.bank -= 360;
    if (a.bank < -180) a.bank += 360;
    if (a.heading < 0) a.heading += 360;
    if (a.heading >= 360) a.heading -= 360;
    // Negating zero gives -0, which prints as "-0"; report a plain 0.
    a.pitch += 0.0;
    a.bank += 0.0;
    return a;
}

uint32_t EncodePackedPBH(double pitch, double bank, double heading) {
    auto units = [](double degrees) {
        long steps = std::lround(degrees * 1024.0 / 360.0);
        return static_cast<uint32_t>(((steps % 1024) + 1024) % 1024);
    };
    return units(-pitch) << 22 | units(-bank) << 12 | units(heading) << 2;
}
