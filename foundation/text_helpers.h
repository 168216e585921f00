// Text helpers for the program's 8-bit strings: case, numbers, replacing,
// splitting and joining, and the text forms of altitudes, coordinates, the
// clock and aircraft types. None keeps state, so any thread may call them.
// Tested by tests/foundation/text_helpers_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Clock;

// Only A to Z and a to z change; bytes of 128 and above stay.
std::string ToLower(std::string text);
std::string ToUpper(std::string text);

std::string IntToString(int32_t value);
// "0x" and eight lower-case digits: -1 gives "0xffffffff".
std::string IntToHexString(uint32_t value);

// Below the transition level the altitude rounded up to 100 ft ("1300"),
// from it on the flight level ("FL180").
std::string FormatAltitudeWithTransLevel(int altitude, int transLevel);
// The same for an altitude as text, read as atoi reads it.
std::string FormatAltitudeWithTransLevel2(std::string_view altitude, int transLevel);
// The same two by the open profile's "TransLevel".
std::string FormatAltitudeWithTransLevel(int altitude);
std::string FormatAltitudeWithTransLevel2(std::string_view altitude);

// "N47.30.00.000", "W122.15.00.000": hemisphere, degrees (two digits at
// least), minutes, seconds with three decimals, rounded as a whole so 5.1
// gives "N05.06.00.000".
std::string FormatLatLonDMS(double value, bool isLatitude);

// The UTC time of day as "09:05:07".
std::string FormatUtcClock();
std::string FormatUtcClock(const Clock& clock);

// Replaces the search text until none is left, so replacing two blanks by one
// collapses any run of blanks. A replacement that is no shorter than the
// search text (and so might keep recreating it) goes once over the text
// instead; an empty search text changes nothing.
std::string ReplaceAll(std::string text, std::string_view search, std::string_view replacement);

// "H/B744/F" gives "B744"; "B744/F" gives "F".
std::string GetBareAircraftType(std::string type);
std::string GetEquipmentSuffix(std::string type);

std::string JoinStrings(const std::vector<std::string>& parts, std::string_view separator);
// Clears out, then adds the tokens between runs of any of the delimiter
// characters; with a non-zero limit the last token is the rest of the text.
void SplitString(std::string_view text, std::vector<std::string>& out, unsigned limit,
                 const std::string& delimiters);
// Calls f for each line of the text, without its CR LF or LF ending.
template <typename F>
void ForEachLine(const std::string& text, F&& f) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        f(text.substr(start, stop - start));
        start = end + 1;
    }
}

// Every field between separators, empty ones too: a line without the separator
// is one field.
std::vector<std::string> SplitFields(const std::string& line, char separator);
// Appends the pieces around each separator (none at all when the text holds
// no separator) and returns the number of separators.
int SplitStringBySeparator(const std::string& text, const std::string& separator,
                           std::vector<std::string>& out, bool keepEmpty);

// The text without blanks and tabs at either end.
std::string TrimBlanks(std::string_view text);

// Replaces the file with the text, byte for byte; false when it cannot be written.
bool WriteStringToFile(const std::string& path, std::string_view text);
