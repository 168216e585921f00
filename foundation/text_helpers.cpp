// Text helpers. Tested by tests/foundation/text_helpers_test.cpp.
#include "foundation/text_helpers.h"

#include <charconv>
#include <cmath>
#include <ctime>

#include "foundation/geo_helpers.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace {

void AppendTwoDigits(std::string& out, int64_t value) {
    if (value < 10) out += '0';
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

}  // namespace

std::string ToLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string ToUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string IntToString(int32_t value) {
    char buffer[16];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::string IntToHexString(uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "0x00000000";
    for (int i = 9; i >= 2; --i, value >>= 4) out[i] = kDigits[value & 0xF];
    return out;
}

std::string FormatAltitudeWithTransLevel(int altitude, int transLevel) {
    // Strictly below: an altitude at the transition level is a flight level.
    if (altitude < transLevel) return IntToString(RoundUpTo100(altitude));
    return "FL" + IntToString(altitude / 100);
}

std::string FormatAltitudeWithTransLevel2(std::string_view altitude, int transLevel) {
    return FormatAltitudeWithTransLevel(ParseIniInt(altitude), transLevel);
}

std::string FormatAltitudeWithTransLevel(int altitude) {
    return FormatAltitudeWithTransLevel(altitude, g_profile->GetInt("TransLevel"));
}

std::string FormatAltitudeWithTransLevel2(std::string_view altitude) {
    return FormatAltitudeWithTransLevel(ParseIniInt(altitude), g_profile->GetInt("TransLevel"));
}

std::string FormatLatLonDMS(double value, bool isLatitude) {
    std::string out = value < 0 ? (isLatitude ? "S" : "W") : (isLatitude ? "N" : "E");
    double a = std::fabs(value);
    if (!std::isfinite(a)) return out + (std::isnan(a) ? "nan" : "inf");
    double degrees = std::floor(a);
    // Round the whole fraction to milliseconds of arc first, so a value just
    // short of a minute carries into it instead of showing 60 seconds.
    int64_t millis = std::llround((a - degrees) * 3600000.0);
    if (millis >= 3600000) {
        degrees += 1.0;
        millis -= 3600000;
    }
    // Any finite double fits: the largest has 309 digits.
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 0);
    if (end - buffer < 2) out += '0';
    out.append(buffer, end);
    out += '.';
    AppendTwoDigits(out, millis / 60000);
    out += '.';
    AppendTwoDigits(out, millis % 60000 / 1000);
    out += '.';
    int64_t fraction = millis % 1000;
    out += static_cast<char>('0' + fraction / 100);
    out += static_cast<char>('0' + fraction / 10 % 10);
    out += static_cast<char>('0' + fraction % 10);
    return out;
}

std::string FormatUtcClock() { return FormatUtcClock(SystemClock::Instance()); }

std::string FormatUtcClock(const Clock& clock) {
    std::time_t now = clock.WallSeconds();
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::string out;
    AppendTwoDigits(out, parts.tm_hour);
    out += ':';
    AppendTwoDigits(out, parts.tm_min);
    out += ':';
    AppendTwoDigits(out, parts.tm_sec);
    return out;
}

std::string ReplaceAll(std::string text, std::string_view search, std::string_view replacement) {
    const size_t n = search.size();
    if (n == 0) return text;
    std::string out;
    out.reserve(text.size());
    if (replacement.size() >= n) {
        // Rescanning could go on for ever (the replacement may hold the search
        // text): one pass, going on after each inserted text.
        size_t from = 0;
        for (size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
            out.append(text, from, at - from);
            out.append(replacement);
            from = at + n;
        }
        out.append(text, from);
        return out;
    }
    // Each replacement shortens the text, so this ends. The output never holds
    // the search text, so the first occurrence is the first time the output
    // ends with it; the replacement is fed back in to be searched again, which
    // gives the same result as restarting from the beginning, in linear time.
    std::string pending;  // fed-back characters, next one last
    size_t next = 0;
    while (!pending.empty() || next < text.size()) {
        if (!pending.empty()) {
            out += pending.back();
            pending.pop_back();
        } else {
            out += text[next++];
        }
        if (out.size() >= n && std::string_view(out).substr(out.size() - n) == search) {
            out.resize(out.size() - n);
            pending.append(replacement.rbegin(), replacement.rend());
        }
    }
    return out;
}

std::string GetBareAircraftType(std::string type) {
    if (type.size() <= 2) return type;
    if (type[1] == '/') type.erase(0, 2);
    size_t slash = type.find('/');
    if (slash != std::string::npos && slash != 0) type.resize(slash);
    return type;
}

std::string GetEquipmentSuffix(std::string type) {
    if (type.size() <= 4) return {};
    if (type[1] == '/') type.erase(0, 2);
    size_t slash = type.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 >= type.size()) return {};
    return type.substr(slash + 1);
}

std::string JoinStrings(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.append(separator);
        out += parts[i];
    }
    return out;
}

void SplitString(std::string_view text, std::vector<std::string>& out, unsigned limit,
                 const std::string& delimiters) {
    out.clear();
    size_t pos = 0;
    while (true) {
        pos = text.find_first_not_of(delimiters, pos);
        if (pos == std::string_view::npos) return;
        if (limit != 0 && out.size() == limit - 1) {
            out.emplace_back(text.substr(pos));
            return;
        }
        size_t end = text.find_first_of(delimiters, pos);
        if (end == std::string_view::npos) end = text.size();
        out.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
}

std::vector<std::string> SplitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t at = line.find(separator, start);
        fields.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return fields;
}

int SplitStringBySeparator(const std::string& text, const std::string& separator,
                           std::vector<std::string>& out, bool keepEmpty) {
    if (text.empty() || separator.empty()) return 0;
    std::vector<size_t> positions;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, at + separator.size()))
        positions.push_back(at);
    if (positions.empty()) return 0;
    size_t start = 0;
    auto add = [&](size_t from, size_t to) {
        std::string piece = from < to ? text.substr(from, to - from) : std::string();
        if (keepEmpty || !piece.empty()) out.push_back(std::move(piece));
    };
    for (size_t at : positions) {
        add(start, at);
        start = at + separator.size();
    }
    add(start, text.size());
    return static_cast<int>(positions.size());
}

std::string TrimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool WriteStringToFile(const std::string& path, std::string_view text) {
    return WriteFileAtomically(path, text);
}
