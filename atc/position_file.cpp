// Position file parsing. Tested by tests/atc/position_file_test.cpp.
#include "atc/position_file.h"

#include <charconv>

#include "foundation/text_helpers.h"

namespace {

// Leading decimal number of the field, 0 when there is none.
uint16_t SquawkField(const std::string& text) {
    unsigned value = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = (value * 10 + (text[i] - '0')) & 0xFFFF;
    return static_cast<uint16_t>(value);
}

}  // namespace

int ParsePofFrequency(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    float mhz = 0;
    const char* first = text.data() + i;
    const auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), mhz);
    if (ec != std::errc() || !(mhz > -1e6f && mhz < 1e6f)) return 0;
    const float shifted = mhz + 0.0005f;
    return static_cast<int>(shifted * 1000.0f);
}

std::vector<PofRecord> ParsePositionFile(const std::string& text) {
    std::vector<PofRecord> records;
    ForEachLine(text, [&](const std::string& line) {
        if (line.empty() || line[0] == ';' || line.find(':') == std::string::npos) return;
        std::vector<std::string> f = SplitFields(line, ':');
        f.resize(11);
        PofRecord record;
        record.name = f[0];
        record.radioCallsign = f[1] == "-" ? f[0] : f[1];
        record.frequency = ParsePofFrequency(f[2]);
        record.positionId = f[3];
        record.symbol = f[4];
        record.prefix = f[5];
        record.suffix = f[6];
        record.spareText1 = f[7];
        record.spareText2 = f[8];
        record.squawkLow = SquawkField(f[9]);
        record.squawkHigh = SquawkField(f[10]);
        records.push_back(std::move(record));
    });
    return records;
}
