// Reads a sector file (".sct" or ".sct2") into a TarqSectorData in two passes,
// collects an error record per rejected line and writes the parse report.
// Covered by tests/atc/sector_parser_test.cpp and sector_text_test.cpp;
// fuzzed by tests/atc/sector_parser_fuzzer.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
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

// A wrong file (a CSV, a binary) can hold millions of bad lines: only the first
// errors are kept in full, the rest are counted, and no record holds more than
// a few hundred characters of its line.
inline constexpr size_t kSectorMaxKeptErrors = 5000;
inline constexpr size_t kSectorMaxErrorText = 256;

enum class CoordinateAxis { Latitude, Longitude };

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

    // The last error kept, or "No errors" on line 0 when there is none. A fatal
    // error is always kept.
    SectorParseError GetLastError() const;
    // The errors kept in full, in the order found.
    const std::vector<SectorParseError>& Errors() const { return m_errors; }
    // Every error found, also those past kSectorMaxKeptErrors.
    size_t ErrorCount() const { return m_errors.size() + m_droppedErrors; }

    // The report of the last successful parse, as written to the report path.
    const std::string& Report() const { return m_report; }

    // Line-level helpers, exposed for their tables of cases.
    // A written coordinate: hemisphere letter of the axis, then degrees,
    // minutes, seconds and fraction separated by "." or ",". Nothing when the
    // text is anything else, so a bad field never stands as a point at 0.
    static std::optional<double> ParseCoordinate(std::string_view text, CoordinateAxis axis);
    static void StripComment(std::string& line);
    static void TrimRight(std::string& line);
    // ASCII blanks only: a trailing 0xA0 may be the last byte of a UTF-8 letter.
    static bool IsSpace(char c);
    // The text the report shows of an offending line or field.
    static std::string ErrorText(std::string_view text);

private:
    struct PassState;

    bool RunPass(int pass, std::string_view contents, bool extended, TarqSectorData& data, PassState& state);
    void HandleInfoLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleFirstPassLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleSecondPassLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleProcedureLine(const std::string& line, TarqSectorData& data, PassState& state);
    void HandleRegionLine(const std::string& line, TarqSectorData& data, PassState& state);

    // Why a coordinate field of a segment, region or label line gave no value.
    enum class FieldFault { None, UnknownName, Malformed };
    // Such a field: written form when it holds a ".", else a point name. An
    // unknown name is reported here; a malformed field is the caller's to
    // report as the line's format error. Either way the line stores nothing.
    FieldFault Resolve(std::string_view field, CoordinateAxis axis, PassState& state, double& value);
    // Four such fields in the order lat1, lon1, lat2, lon2, resolved in the
    // order lon1, lat1, lon2, lat2; stops at the first malformed one.
    FieldFault ResolveSegment(const std::string_view* fields, PassState& state, GeoLine& segment);
    FieldFault ResolvePosition(std::string_view lat, std::string_view lon, PassState& state,
                               ScopePoint& point);
    // True when the line may be stored; a malformed field is reported as the
    // line's format error (an unknown name already was).
    bool Usable(FieldFault fault, PassState& state);
    // Named points, looked up in upper case: fixes first, then VORs, airports
    // and NDBs; within one kind the first of a name.
    static void IndexPoints(const TarqSectorData& data, PassState& state);
    static bool ResolvePoint(PassState& state, std::string_view name, CoordinateAxis axis, double& value);
    void ApplyDefine(std::string& token) const;
    int32_t ColorValue(std::string_view token) const;

    // An error of the current line; its message is prefix, detail (cut to a
    // few hundred characters) and suffix. Past kSectorMaxKeptErrors only counted.
    void AddError(PassState& state, std::string_view prefix, std::string_view detail = {},
                  std::string_view suffix = {});
    void KeepError(PassState& state, std::string_view prefix, std::string_view detail = {},
                   std::string_view suffix = {});
    // A line that does not fit its section's form.
    void AddFormatError(PassState& state);
    void AddFatal(std::string message);
    void Reset();
    std::string BuildReport(const std::string& path, bool extended, const TarqSectorData& data,
                            const PassState& state) const;

    const Clock& m_clock;
    std::vector<SectorParseError> m_errors;
    size_t m_droppedErrors = 0;
    std::map<std::string, std::string> m_defines;  // upper-case name -> value text
    std::unique_ptr<SectorLinePatterns> m_patterns;
    std::string m_report;
};
