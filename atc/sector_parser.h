// Reads a sector file (".sct" or ".sct2") into a TarqSectorData in two passes,
// collects an error record per rejected line and writes the parse report.
// Covered by tests/atc/sector_parser_test.cpp and sector_text_test.cpp;
// fuzzed by tests/atc/sector_parser_fuzzer.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "atc/sector_data.h"

class Clock;
class SectorLinePatterns;

// The report's file name; the scope puts it into the start directory.
inline constexpr const char* kSectorParseReportName = "Tarq_sector_parse_results.txt";

struct SectorParseError {
    std::string message;
    std::string lineText;    // the line as read, with its line feed; empty when not tied to a line
    int32_t lineNumber = 0;  // 1-based; 0 when not tied to a line
};

class TarqSectorParser {
public:
    // The clock gives the pass times of the report.
    explicit TarqSectorParser(const Clock& clock);
    TarqSectorParser();
    virtual ~TarqSectorParser();
    TarqSectorParser(const TarqSectorParser&) = delete;
    TarqSectorParser& operator=(const TarqSectorParser&) = delete;

    // Reads the file at path and adds what it holds to data; writes the report
    // to reportPath unless that is empty. False on a fatal error (see
    // GetLastError); data and the report file are then left as they were.
    bool Parse(const std::string& path, TarqSectorData& data, const std::string& reportPath);

    // As Parse, with the file's contents already in memory; path decides the
    // kind of file and is named in the report.
    bool ParseText(const std::string& path, std::string_view contents, TarqSectorData& data,
                   const std::string& reportPath);

    // The last error recorded, or "No errors" on line 0 when there is none.
    SectorParseError GetLastError() const;
    const std::vector<SectorParseError>& Errors() const { return m_errors; }

    // The report of the last successful parse, as written to the report path.
    const std::string& Report() const { return m_report; }

    // Line-level helpers, exposed for their tables of cases.
    static double ParseCoordinate(std::string_view text);
    static void StripComment(std::string& line);
    static void TrimRight(std::string& line);
    static bool IsSpace(char c);

private:
    struct PassState;

    bool RunPass(int pass, std::string_view contents, bool extended, TarqSectorData& data, PassState& state);
    void HandleInfoLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleFirstPassLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleSecondPassLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleProcedureLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleRegionLine(const std::string& line, TarqSectorData& data, PassState& state);

    // A coordinate field of a segment, region or label line: written form when
    // it holds a ".", else a point name; an unknown name is reported and reads 0.
    double Resolve(const TarqSectorData& data, std::string_view field, bool longitude, PassState& state);
    // Four such fields in the order lat1, lon1, lat2, lon2.
    GeoLine ResolveSegment(const TarqSectorData& data, const std::string_view* fields, PassState& state);
    static bool ResolvePoint(const TarqSectorData& data, const std::string& name, bool longitude,
                             double& value);
    void ApplyDefine(std::string& token) const;
    int32_t ColorValue(std::string_view token) const;

    void AddError(PassState& state, std::string message);
    // A line that does not fit its section's form.
    void AddFormatError(PassState& state);
    void AddFatal(std::string message);
    std::string BuildReport(const std::string& path, bool extended, const TarqSectorData& data,
                            const PassState& state) const;

    const Clock& m_clock;
    std::vector<SectorParseError> m_errors;
    std::map<std::string, std::string> m_defines;  // upper-case name -> value text
    std::unique_ptr<SectorLinePatterns> m_patterns;
    std::string m_report;
};
