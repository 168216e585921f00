// Position files (".pof"): one controller position of the facility per line
// with its radio callsign, frequency, position identifier, scope symbol, the
// callsign prefix and suffix that staff it, and its squawk range.
// Tested by tests/atc/position_file_test.cpp; fuzzed by position_file_fuzzer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PofRecord {
    std::string name;
    std::string radioCallsign;  // "-" in the file means: the name
    int frequency = 0;          // kHz
    std::string positionId;
    std::string symbol;
    std::string prefix;  // must equal a callsign's text before its first '_'
    std::string suffix;  // must equal a callsign's text after its last '_'
    // The line's two spare pieces, kept as read; nothing uses them.
    std::string spareText1;
    std::string spareText2;
    uint16_t squawkLow = 0;
    uint16_t squawkHigh = 0;
};

// "125.325" -> 125325 kHz: single precision, plus 0.0005, times 1000,
// truncated, so that the file's MHz texts land on whole kHz.
int ParsePofFrequency(const std::string& text);

// Every data line of the text in file order. Lines starting with ';' and
// lines without ':' are skipped; lines may be of any length.
std::vector<PofRecord> ParsePositionFile(const std::string& text);
