// The METAR parser: one report text from the network into the fields the
// weather store keeps per station. Matching is bounded: the report's length
// is capped and every search runs under a step budget, so a hostile text
// from the server fails cleanly instead of holding the main thread.
// Tested by tests/comms/metar_parser_test.cpp and metar_corpus_test.cpp;
// fuzzed by tests/comms/metar_parser_fuzzer.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/result.h"

struct MetarRecord {
    std::string time;            // DDHHMMZ
    std::string station;         // four characters
    int32_t windSpeed = 0;       // in the report's own unit (KT or MPS), never converted
    int32_t gust = 0;            // 0 when none
    int32_t windDirection = -1;  // degrees; first bound of a variable sector; -1 for VRB
    int32_t variableTo = -1;     // second bound of a variable sector; -1 for none
    std::string wind;            // the wind group as written, unit included
    // The texts from visibility to clouds, and the altimeter, keep the one
    // space that separated them from the group before them.
    std::string visibility;
    std::string weather;
    std::string verticalVisibility;
    std::string clouds;
    std::string temperature;  // "12", "M05", "//", "XX"
    std::string dewPoint;
    std::string altimeter;  // digits after A or Q; "????" when RMK stands there
    bool altimeterHpa = false;

    friend bool operator==(const MetarRecord&, const MetarRecord&) = default;
};

class MetarParser {
public:
    enum ErrorCode {
        kNotMetar = 1,    // the report pattern does not match (server messages, empty replies)
        kTooLong = 2,     // more than kMaxReportLength characters after white space is joined
        kTooComplex = 3,  // a search spent its step budget without an answer
    };
    // Real reports with long remarks stay under 600 characters; four times
    // that leaves room and keeps one search short.
    static constexpr size_t kMaxReportLength = 2048;
    // Steps beyond the engine's per-character allowance. Real reports take a
    // few hundred; a report that needs more than this is not a METAR.
    static constexpr uint64_t kStepBudget = 50'000;

    MetarParser();
    ~MetarParser();
    MetarParser(const MetarParser&) = delete;
    MetarParser& operator=(const MetarParser&) = delete;

    // `text` is already upper case (the patterns are case-sensitive). White
    // space runs count as one space. Not for concurrent use.
    Result<MetarRecord> Parse(const std::string& text) const;

    // Steps the last Parse took in all its searches (for the tests' budget margin).
    uint64_t LastSteps() const { return m_lastSteps; }

private:
    struct Compiled;
    std::unique_ptr<Compiled> m_compiled;
    mutable uint64_t m_lastSteps = 0;
};
