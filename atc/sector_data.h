// What a sector file holds once parsed: the INFO values and one container per
// element class. The parser fills it, the scope owns and draws it.
// Covered by tests/atc/sector_parser_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "atc/scope_point.h"

// A VOR, an NDB or a fix. A fix's frequency is "0".
struct SectorNavaid {
    std::string name;       // upper case
    std::string frequency;  // as written
    ScopePoint position;

    friend bool operator==(const SectorNavaid&, const SectorNavaid&) = default;
};

struct SectorAirport {
    std::string name;  // upper case
    std::string frequency;
    ScopePoint position;
    char airspaceClass = 0;  // the letter, or 0 when the line has none

    friend bool operator==(const SectorAirport&, const SectorAirport&) = default;
};

struct SectorRunway {
    std::string id1;  // upper case
    std::string id2;
    int32_t heading1 = 0;
    int32_t heading2 = 0;
    ScopePoint end1;
    ScopePoint end2;

    friend bool operator==(const SectorRunway&, const SectorRunway&) = default;
};

// One line segment. Colour is a packed RGB int for GEO lines (0 when the line
// has none); on SID and STAR segments -1 means "the configured SID/STAR
// colour"; boundary and airway segments leave it unused.
struct GeoLine {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    int32_t color = 0;

    friend bool operator==(const GeoLine&, const GeoLine&) = default;
};

struct SectorRegion {
    std::vector<ScopePoint> points;  // outline, in file order
    int32_t color = 0;

    friend bool operator==(const SectorRegion&, const SectorRegion&) = default;
};

struct SectorLabel {
    ScopePoint position;
    std::string text;
    int32_t color = 0;

    friend bool operator==(const SectorLabel&, const SectorLabel&) = default;
};

// std::multimap keeps equal keys in insertion order, which the named-point
// lookup relies on: the first record of a name is the one that counts.
using NavaidMap = std::multimap<std::string, SectorNavaid>;
using SegmentMap = std::map<std::string, std::vector<GeoLine>>;

struct TarqSectorData {
    std::string name;
    ScopePoint centre;
    double nmPerDegreeLat = 0.0;
    double nmPerDegreeLon = 0.0;
    double magneticVariation = 0.0;  // degrees
    double scale = 0.0;

    NavaidMap vors;
    NavaidMap ndbs;
    NavaidMap fixes;
    std::map<std::string, SectorAirport> airports;  // last line of a name wins
    std::vector<SectorRunway> runways;

    SegmentMap artcc;
    SegmentMap artccHigh;
    SegmentMap artccLow;
    SegmentMap sids;
    std::vector<std::string> sidNames;  // order of first appearance, each once
    SegmentMap stars;
    std::vector<std::string> starNames;
    SegmentMap lowAirways;
    SegmentMap highAirways;

    std::vector<GeoLine> geo;
    std::vector<SectorRegion> regions;
    std::vector<SectorLabel> labels;

    friend bool operator==(const TarqSectorData&, const TarqSectorData&) = default;
};
