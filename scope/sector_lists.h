// The sixteen sector lists of a scope: which show-mask bit and shown-item
// list gate each, and how each is built (as a DrawList) from the sector data.
// The same lists draw the 2-D map and, flattened by a matrix, the 3-D scene.
// Tested by tests/scope/sector_lists_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "atc/scope_point.h"
#include "atc/sector_data.h"
#include "scope/draw_list.h"

// In the order the 2-D frame calls them.
enum class SectorListId {
    RangeRings,
    Geography,
    LowBoundaries,
    HighBoundaries,
    ArtccBoundaries,
    LowAirways,
    HighAirways,
    Diagrams,
    Airports,
    Runways,
    Centerlines,
    Fixes,
    Ndbs,
    Vors,
    Regions,
    Labels,
};
inline constexpr int kSectorListCount = 16;

// Show-mask bits (saved as "DisplayToggles%d").
namespace ShowBit {
inline constexpr uint32_t Airports = 0x1;
inline constexpr uint32_t Geography = 0x2;
inline constexpr uint32_t RangeRings = 0x4;
inline constexpr uint32_t Vors = 0x8;
inline constexpr uint32_t VorFreqs = 0x10;
inline constexpr uint32_t Ndbs = 0x20;
inline constexpr uint32_t NdbFreqs = 0x40;
inline constexpr uint32_t Fixes = 0x80;
inline constexpr uint32_t LowAirways = 0x100;
inline constexpr uint32_t HighAirways = 0x200;
inline constexpr uint32_t ArtccBoundaries = 0x400;
inline constexpr uint32_t LowBoundaries = 0x800;
inline constexpr uint32_t HighBoundaries = 0x1000;
inline constexpr uint32_t AirportFreqs = 0x2000;
inline constexpr uint32_t ButtonBar = 0x4000;
inline constexpr uint32_t RadioHistory = 0x8000;
inline constexpr uint32_t Runways = 0x10000;
inline constexpr uint32_t Centerlines = 0x20000;
inline constexpr uint32_t VorLabels = 0x40000;
inline constexpr uint32_t NdbLabels = 0x80000;
inline constexpr uint32_t FixLabels = 0x100000;
inline constexpr uint32_t AirportLabels = 0x200000;
inline constexpr uint32_t LowAirwayLabels = 0x400000;
inline constexpr uint32_t HighAirwayLabels = 0x800000;
inline constexpr uint32_t AnchorLines = 0x1000000;
inline constexpr uint32_t Regions = 0x2000000;
inline constexpr uint32_t StaticText = 0x4000000;
inline constexpr uint32_t MouseLocation = 0x8000000;
}  // namespace ShowBit

// The rebuild-mask bit of a list; 0 for the diagrams, which every rebuild redoes.
uint32_t SectorListBit(SectorListId id);

// Kinds of individually shown items; any other value means fixes.
enum class ElementKind { Fix = 0, Vor = 1, Ndb = 2, Airport = 3, Centerline = 4, Airway = 5 };
ElementKind ElementKindFromInt(int kind);

// The eight name lists a display saves ("VisibleSIDs%d" ...).
struct ShownItems {
    std::vector<std::string> sids;
    std::vector<std::string> stars;
    std::vector<std::string> fixes;
    std::vector<std::string> vors;
    std::vector<std::string> ndbs;
    std::vector<std::string> airports;
    std::vector<std::string> centerlines;
    std::vector<std::string> airways;

    std::vector<std::string>& ListFor(ElementKind kind);
    const std::vector<std::string>& ListFor(ElementKind kind) const;
};

// Everything a list build reads besides the sector data.
struct SectorListSource {
    const TarqSectorData* data = nullptr;
    uint32_t showMask = 0;
    const ShownItems* shown = nullptr;
    ScopePoint ringCenter;
    double rotation = 0.0;
    int ringSpacing = 0;       // NM ("RingSpacing")
    int centerlineLength = 0;  // NM ("CenterlineLength")
    // Colour of a colour-profile key, 24-bit, red in the low byte.
    std::function<int(const std::string&)> color;
};

// Whether the frame calls the list: its show bit, or a non-empty shown list.
bool IsSectorListShown(SectorListId id, uint32_t showMask, const ShownItems& shown);

DrawList BuildSectorList(SectorListId id, const SectorListSource& source);

// Each pass moves one dash (gap), then draws one dash; stops once 2 x dash
// per pass reaches length. Nothing for a non-positive or non-finite dash or
// length; a solid line over length when it would take more than kMaxDashes.
inline constexpr double kMaxDashes = 1000.0;
void AddDashedLine(DrawList& list, double x, double y, double bearing, double length, double dash, double z);

// Multiplies each byte by factor, capped at 255, truncated.
void ScaleColor(uint8_t rgb[3], double factor);

// Triangles (index triples into points) covering a simple polygon by ear
// clipping; a polygon that is not simple still gets triangles for all of it.
std::vector<uint32_t> TriangulatePolygon(const std::vector<ScopePoint>& points);

// Symbol characters of font 2.
inline constexpr char kAirportSymbol = '\xC4';
inline constexpr char kVorSymbol = '\xC5';
inline constexpr char kFixSymbol = '\xC7';
inline constexpr char kNdbSymbol = '\xC9';
