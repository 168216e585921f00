// The sector lists as data. Tested by tests/scope/sector_lists_test.cpp.
#include "scope/sector_lists.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>

#include "foundation/geo_helpers.h"

namespace {

// 2 pi as the rings have always been drawn.
constexpr double kTwoPi = 6.28318530717958;
constexpr int kRingCount = 50;
constexpr int kRingVertices = 50;
constexpr int kTextFont = 1;
constexpr int kSymbolFont = 2;
// Airway and diagram labels stand this far (degrees) above their point.
constexpr double kLabelRaise = 0.01;

struct PointLess {
    bool operator()(const ScopePoint& a, const ScopePoint& b) const {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    }
};
using LabelMap = std::map<ScopePoint, std::string, PointLess>;

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void SetKeyColor(DrawList& list, const SectorListSource& source, const char* key) {
    list.SetColor(source.color ? source.color(key) : 0xFFFFFF);
}

void BuildRangeRings(DrawList& list, const SectorListSource& source) {
    SetKeyColor(list, source, "ColorRangeRings");
    for (int k = 1; k <= kRingCount; ++k) {
        double r = static_cast<double>(k) * source.ringSpacing;
        list.BeginLineLoop();
        for (int i = 0; i < kRingVertices; ++i) {
            double a = i * kTwoPi / kRingVertices;
            list.Vertex(source.ringCenter.x + std::cos(a) * r / 60.0 / LongitudeScale,
                        source.ringCenter.y + std::sin(a) * r / 60.0, 0.05);
        }
        list.End();
    }
}

void BuildGeography(DrawList& list, const SectorListSource& source) {
    const std::vector<GeoLine>& geo = source.data->geo;
    list.BeginLines();
    // Last line first, as the map has always been painted.
    for (auto it = geo.rbegin(); it != geo.rend(); ++it) {
        list.SetColor(it->color);
        list.Vertex(it->x1, it->y1, 0.06);
        list.Vertex(it->x2, it->y2, 0.06);
    }
    list.End();
}

void AddSegments(DrawList& list, const std::vector<GeoLine>& segments, double z) {
    for (const GeoLine& s : segments) {
        list.Vertex(s.x1, s.y1, z);
        list.Vertex(s.x2, s.y2, z);
    }
}

void BuildBoundaries(DrawList& list, const SectorListSource& source, const SegmentMap& map, const char* key,
                     double z, bool stippled) {
    SetKeyColor(list, source, key);
    if (stippled) list.SetStipple(true);
    list.BeginLines();
    for (const auto& [name, segments] : map) AddSegments(list, segments, z);
    list.End();
    if (stippled) list.SetStipple(false);
}

void BuildAirways(DrawList& list, const SectorListSource& source, bool high) {
    const SegmentMap& map = high ? source.data->highAirways : source.data->lowAirways;
    const char* key = high ? "ColorHighAirway" : "ColorLowAirway";
    double lineZ = high ? 0.2 : 0.1;
    double labelZ = high ? 0.25 : 0.15;
    bool all = (source.showMask & (high ? ShowBit::HighAirways : ShowBit::LowAirways)) != 0;
    bool labels = (source.showMask & (high ? ShowBit::HighAirwayLabels : ShowBit::LowAirwayLabels)) != 0;
    int color = source.color ? source.color(key) : 0xFFFFFF;
    list.SetColor(color);
    LabelMap labelAt;
    list.BeginLines();
    for (const auto& [name, segments] : map) {
        if (!all && !Contains(source.shown->airways, name)) continue;
        for (const GeoLine& s : segments) {
            list.Vertex(s.x1, s.y1, lineZ);
            list.Vertex(s.x2, s.y2, lineZ);
            if (!labels) continue;
            ScopePoint mid;
            Midpoint(s.x1, s.y1, s.x2, s.y2, &mid.x, &mid.y);
            if (std::fabs(s.x2 - s.x1) >= 1.0 / 60.0 || std::fabs(s.y2 - s.y1) >= 1.0 / 60.0) mid.y += kLabelRaise;
            labelAt[mid] = name;
        }
    }
    list.End();
    if (labelAt.empty()) return;
    uint8_t rgb[3];
    UnpackRGB(color, rgb);
    ScaleColor(rgb, 1.6);
    list.SetColor(rgb);
    for (const auto& [at, name] : labelAt) list.Text(kTextFont, at.x, at.y, labelZ, name);
}

struct PointClass {
    uint32_t allBit;
    uint32_t labelBit;
    uint32_t freqBit;  // 0: labels never carry a frequency
    char symbol;
    double z;
    const char* colorKey;
};

template <typename Map>
void BuildPoints(DrawList& list, const SectorListSource& source, const Map& map, const PointClass& kind,
                 const std::vector<std::string>& shown) {
    bool all = (source.showMask & kind.allBit) != 0;
    bool labels = (source.showMask & kind.labelBit) != 0;
    bool freqs = kind.freqBit != 0 && (source.showMask & kind.freqBit) != 0;
    SetKeyColor(list, source, kind.colorKey);
    const std::string symbol(1, kind.symbol);
    for (const auto& [name, record] : map) {
        if (!all && !Contains(shown, name)) continue;
        list.Text(kSymbolFont, record.position.x, record.position.y, kind.z, symbol);
        if (labels) list.TextHere(kTextFont, freqs ? name + " (" + record.frequency + ")" : name);
    }
}

void BuildRunways(DrawList& list, const SectorListSource& source) {
    SetKeyColor(list, source, "ColorRunway");
    list.BeginLines();
    for (const SectorRunway& r : source.data->runways) {
        list.Vertex(r.end1.x, r.end1.y, 0.4);
        list.Vertex(r.end2.x, r.end2.y, 0.4);
    }
    list.End();
}

void BuildCenterlines(DrawList& list, const SectorListSource& source) {
    SetKeyColor(list, source, "ColorCenterlines");
    bool all = (source.showMask & ShowBit::Centerlines) != 0;
    for (const SectorRunway& r : source.data->runways) {
        const struct {
            const std::string& name;
            int heading;
            ScopePoint at;
        } ends[2] = {{r.id1, r.heading1, r.end1}, {r.id2, r.heading2, r.end2}};
        for (const auto& end : ends) {
            if (!all && !Contains(source.shown->centerlines, end.name)) continue;
            double bearing = NormalizeHeading((end.heading - source.rotation) + 180.0);
            AddDashedLine(list, end.at.x, end.at.y, bearing, source.centerlineLength, 1.0, 0.4);
        }
    }
}

void BuildRegions(DrawList& list, const SectorListSource& source) {
    for (const SectorRegion& region : source.data->regions) {
        if (region.points.size() < 3) continue;
        list.SetColor(region.color);
        std::vector<uint32_t> triangles = TriangulatePolygon(region.points);
        list.BeginTriangles();
        for (uint32_t index : triangles) list.Vertex(region.points[index].x, region.points[index].y, 0.03);
        list.End();
    }
}

void BuildLabels(DrawList& list, const SectorListSource& source) {
    for (const SectorLabel& label : source.data->labels) {
        list.SetColor(label.color);
        list.Text(kTextFont, label.position.x, label.position.y, 0.7, label.text);
    }
}

void AddDiagrams(DrawList& list, const SectorListSource& source, const SegmentMap& map,
                 const std::vector<std::string>& selection, const char* key, LabelMap& labels) {
    int classColor = source.color ? source.color(key) : 0xFFFFFF;
    for (const std::string& name : selection) {
        auto it = map.find(name);
        if (it == map.end() || it->second.empty()) continue;
        labels[{it->second.front().x1, it->second.front().y1 + kLabelRaise}] = name;
        for (const GeoLine& s : it->second) {
            // -1: the segment has no colour of its own.
            list.SetColor(s.color == -1 ? classColor : s.color);
            list.Vertex(s.x1, s.y1, 0.91);
            list.Vertex(s.x2, s.y2, 0.91);
        }
    }
}

void BuildDiagrams(DrawList& list, const SectorListSource& source) {
    LabelMap sidLabels;
    LabelMap starLabels;
    list.BeginLines();
    AddDiagrams(list, source, source.data->sids, source.shown->sids, "ColorSID", sidLabels);
    AddDiagrams(list, source, source.data->stars, source.shown->stars, "ColorSTAR", starLabels);
    list.End();
    if (!sidLabels.empty()) SetKeyColor(list, source, "ColorSID");
    for (const auto& [at, name] : sidLabels) list.Text(kTextFont, at.x, at.y, 0.91, name);
    if (!starLabels.empty()) SetKeyColor(list, source, "ColorSTAR");
    for (const auto& [at, name] : starLabels) list.Text(kTextFont, at.x, at.y, 0.91, name);
}

void BuildLowBoundaries(DrawList& list, const SectorListSource& source) {
    BuildBoundaries(list, source, source.data->artccLow, "ColorLowBound", 0.7, true);
}

void BuildHighBoundaries(DrawList& list, const SectorListSource& source) {
    BuildBoundaries(list, source, source.data->artccHigh, "ColorHighBound", 0.8, false);
}

void BuildARTCCBoundaries(DrawList& list, const SectorListSource& source) {
    BuildBoundaries(list, source, source.data->artcc, "ColorARTCCBound", 0.9, false);
}

void BuildLowAirways(DrawList& list, const SectorListSource& source) { BuildAirways(list, source, false); }

void BuildHighAirways(DrawList& list, const SectorListSource& source) { BuildAirways(list, source, true); }

void BuildAirports(DrawList& list, const SectorListSource& source) {
    BuildPoints(list, source, source.data->airports,
                {ShowBit::Airports, ShowBit::AirportLabels, ShowBit::AirportFreqs, kAirportSymbol, 0.4,
                 "ColorAirport"},
                source.shown->airports);
}

void BuildFixes(DrawList& list, const SectorListSource& source) {
    BuildPoints(list, source, source.data->fixes,
                {ShowBit::Fixes, ShowBit::FixLabels, 0, kFixSymbol, 0.6, "ColorFix"}, source.shown->fixes);
}

void BuildNDBs(DrawList& list, const SectorListSource& source) {
    BuildPoints(list, source, source.data->ndbs,
                {ShowBit::Ndbs, ShowBit::NdbLabels, ShowBit::NdbFreqs, kNdbSymbol, 0.6, "ColorNDB"},
                source.shown->ndbs);
}

void BuildVORs(DrawList& list, const SectorListSource& source) {
    BuildPoints(list, source, source.data->vors,
                {ShowBit::Vors, ShowBit::VorLabels, ShowBit::VorFreqs, kVorSymbol, 0.7, "ColorVOR"},
                source.shown->vors);
}

double Cross(const ScopePoint& o, const ScopePoint& a, const ScopePoint& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool InTriangle(const ScopePoint& p, const ScopePoint& a, const ScopePoint& b, const ScopePoint& c) {
    double d1 = Cross(a, b, p);
    double d2 = Cross(b, c, p);
    double d3 = Cross(c, a, p);
    return d1 >= 0 && d2 >= 0 && d3 >= 0;
}

}  // namespace

uint32_t SectorListBit(SectorListId id) {
    static constexpr uint32_t kBits[kSectorListCount] = {
        ShowBit::RangeRings,  ShowBit::Geography,   ShowBit::LowBoundaries, ShowBit::HighBoundaries,
        ShowBit::ArtccBoundaries, ShowBit::LowAirways, ShowBit::HighAirways, 0,
        ShowBit::Airports,    ShowBit::Runways,     ShowBit::Centerlines,   ShowBit::Fixes,
        ShowBit::Ndbs,        ShowBit::Vors,        ShowBit::Regions,       ShowBit::StaticText};
    return kBits[static_cast<int>(id)];
}

ElementKind ElementKindFromInt(int kind) {
    return kind >= 1 && kind <= 5 ? static_cast<ElementKind>(kind) : ElementKind::Fix;
}

std::vector<std::string>& ShownItems::ListFor(ElementKind kind) {
    return const_cast<std::vector<std::string>&>(static_cast<const ShownItems*>(this)->ListFor(kind));
}

const std::vector<std::string>& ShownItems::ListFor(ElementKind kind) const {
    switch (kind) {
        case ElementKind::Vor: return vors;
        case ElementKind::Ndb: return ndbs;
        case ElementKind::Airport: return airports;
        case ElementKind::Centerline: return centerlines;
        case ElementKind::Airway: return airways;
        case ElementKind::Fix: break;
    }
    return fixes;
}

bool IsSectorListShown(SectorListId id, uint32_t showMask, const ShownItems& shown) {
    switch (id) {
        case SectorListId::LowAirways:
        case SectorListId::HighAirways:
            return (showMask & SectorListBit(id)) != 0 || !shown.airways.empty();
        case SectorListId::Diagrams: return !shown.sids.empty() || !shown.stars.empty();
        case SectorListId::Airports: return (showMask & ShowBit::Airports) != 0 || !shown.airports.empty();
        case SectorListId::Centerlines:
            return (showMask & ShowBit::Centerlines) != 0 || !shown.centerlines.empty();
        case SectorListId::Fixes: return (showMask & ShowBit::Fixes) != 0 || !shown.fixes.empty();
        case SectorListId::Ndbs: return (showMask & ShowBit::Ndbs) != 0 || !shown.ndbs.empty();
        case SectorListId::Vors: return (showMask & ShowBit::Vors) != 0 || !shown.vors.empty();
        default: return (showMask & SectorListBit(id)) != 0;
    }
}

DrawList BuildSectorList(SectorListId id, const SectorListSource& source) {
    DrawList list;
    if (!source.data || !source.shown) return list;
    switch (id) {
        case SectorListId::RangeRings: BuildRangeRings(list, source); break;
        case SectorListId::Geography: BuildGeography(list, source); break;
        case SectorListId::LowBoundaries: BuildLowBoundaries(list, source); break;
        case SectorListId::HighBoundaries: BuildHighBoundaries(list, source); break;
        case SectorListId::ArtccBoundaries: BuildARTCCBoundaries(list, source); break;
        case SectorListId::LowAirways: BuildLowAirways(list, source); break;
        case SectorListId::HighAirways: BuildHighAirways(list, source); break;
        case SectorListId::Diagrams: BuildDiagrams(list, source); break;
        case SectorListId::Airports: BuildAirports(list, source); break;
        case SectorListId::Runways: BuildRunways(list, source); break;
        case SectorListId::Centerlines: BuildCenterlines(list, source); break;
        case SectorListId::Fixes: BuildFixes(list, source); break;
        case SectorListId::Ndbs: BuildNDBs(list, source); break;
        case SectorListId::Vors: BuildVORs(list, source); break;
        case SectorListId::Regions: BuildRegions(list, source); break;
        case SectorListId::Labels: BuildLabels(list, source); break;
    }
    list.End();
    return list;
}

void AddDashedLine(DrawList& list, double x, double y, double bearing, double length, double dash, double z) {
    // A dash below half a mile used to add nothing per pass and never end.
    if (!(dash > 0.0) || !std::isfinite(dash) || !(length > 0.0) || !std::isfinite(length)) return;
    if (length / (2.0 * dash) > kMaxDashes) {
        // Dashes too fine to tell apart would take ages to emit: one solid line.
        PlanarOffset end = PolarOffset(length / 60.0, bearing);
        list.BeginLines();
        list.Vertex(x, y, z);
        list.Vertex(x + end.x / LongitudeScale, y + end.y, z);
        list.End();
        return;
    }
    PlanarOffset step = PolarOffset(dash / 60.0, bearing);
    step.x /= LongitudeScale;
    list.BeginLines();
    double covered = 0.0;
    while (covered < length) {
        x += step.x;
        y += step.y;
        list.Vertex(x, y, z);
        x += step.x;
        y += step.y;
        list.Vertex(x, y, z);
        covered += 2.0 * dash;
    }
    list.End();
}

void ScaleColor(uint8_t rgb[3], double factor) {
    for (int i = 0; i < 3; ++i) {
        double v = rgb[i] * factor;
        rgb[i] = static_cast<uint8_t>(v > 255.0 ? 255.0 : (v < 0.0 ? 0.0 : v));
    }
}

std::vector<uint32_t> TriangulatePolygon(const std::vector<ScopePoint>& points) {
    std::vector<uint32_t> out;
    size_t n = points.size();
    if (n < 3) return out;
    std::vector<uint32_t> ring(n);
    for (size_t i = 0; i < n; ++i) ring[i] = static_cast<uint32_t>(i);
    double area = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const ScopePoint& a = points[i];
        const ScopePoint& b = points[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    if (area < 0.0) std::reverse(ring.begin(), ring.end());
    out.reserve((n - 2) * 3);
    size_t misses = 0;
    size_t i = 0;
    while (ring.size() > 3) {
        size_t m = ring.size();
        uint32_t ia = ring[(i + m - 1) % m];
        uint32_t ib = ring[i % m];
        uint32_t ic = ring[(i + 1) % m];
        const ScopePoint& a = points[ia];
        const ScopePoint& b = points[ib];
        const ScopePoint& c = points[ic];
        bool ear = Cross(a, b, c) > 0.0;
        for (size_t k = 0; ear && k < m; ++k) {
            uint32_t ip = ring[k];
            if (ip == ia || ip == ib || ip == ic) continue;
            if (InTriangle(points[ip], a, b, c)) ear = false;
        }
        // After a whole round without an ear the outline crosses itself:
        // clip anyway so the fill still covers it and the loop ends.
        if (ear || misses >= m) {
            out.insert(out.end(), {ia, ib, ic});
            ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i % m));
            misses = 0;
            if (i >= ring.size()) i = 0;
        } else {
            ++misses;
            i = (i + 1) % m;
        }
    }
    out.insert(out.end(), {ring[0], ring[1], ring[2]});
    return out;
}
