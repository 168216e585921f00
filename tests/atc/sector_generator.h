// Makes large, realistic-looking sector files for the parser's benchmark:
// deterministic for a seed, with named points used before they are defined.
// Used by bench/sector_parser_bench.cpp, bench/scope_bench.cpp and
// make_large_sector.cpp.
#pragma once

#include <cstdint>
#include <string>

struct LargeSectorShape {
    int geoLines = 60000;
    int segmentLines = 20000;  // boundaries and airways, mostly with named points
    int fixes = 5000;
    int regionPoints = 10000;
    // As facilities write them: point and GEO lines indented with a tab,
    // procedure names padded with tabs instead of blanks.
    bool facilityStyle = false;
};

// An extended (".sct2") file with about geo + segments + fixes + region points
// lines, plus a few thousand lines of the other sections, comments and blanks.
std::string GenerateLargeSector(uint32_t seed, const LargeSectorShape& shape = {});
