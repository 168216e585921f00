// The thirteen line forms of a sector file, compiled once per parser and
// matched against every cleaned line. The one place that knows how a line is
// matched. Covered by tests/atc/sector_line_patterns_test.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

enum class SectorPattern {
    Define,       // #define name value
    Header,       // [NAME]
    Navaid,       // VOR, NDB
    Fix,          // FIXES
    Airport,      // AIRPORT, optional airspace class
    Runway,       // RUNWAY
    Segment,      // ARTCC, ARTCC HIGH, ARTCC LOW, LOW AIRWAY, HIGH AIRWAY
    ProcFirst,    // SID/STAR line with the 26-character name field
    ProcNext,     // SID/STAR continuation line
    Geo,          // GEO
    RegionFirst,  // REGIONS line with the colour
    RegionNext,   // REGIONS continuation line
    Label,        // LABELS
};

// Group texts of one match; [0] is the whole match. A group that took no part
// is empty. The views point into the matched line and die with it.
using SectorGroups = std::array<std::string_view, 9>;

class SectorLinePatterns {
public:
    SectorLinePatterns();
    ~SectorLinePatterns();
    SectorLinePatterns(const SectorLinePatterns&) = delete;
    SectorLinePatterns& operator=(const SectorLinePatterns&) = delete;

    // Not for concurrent use: the searches share one results object.
    bool Match(SectorPattern which, const std::string& line, SectorGroups& groups);

    // The pattern text of a line form, as the engine compiles it.
    static const char* PatternText(SectorPattern which);

private:
    struct Compiled;
    std::unique_ptr<Compiled> m_compiled;
};
