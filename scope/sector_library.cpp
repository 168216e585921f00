// Shared parsed sectors. Tested by tests/scope/sector_library_test.cpp.
#include "scope/sector_library.h"

#include <sys/stat.h>

namespace {

void Shift(ScopePoint& p, double dx, double dy) {
    p.x += dx;
    p.y += dy;
}

void Shift(GeoLine& line, double dx, double dy) {
    line.x1 += dx;
    line.y1 += dy;
    line.x2 += dx;
    line.y2 += dy;
}

void Shift(SegmentMap& map, double dx, double dy) {
    for (auto& [name, segments] : map)
        for (GeoLine& s : segments) Shift(s, dx, dy);
}

void Shift(NavaidMap& map, double dx, double dy) {
    for (auto& [name, navaid] : map) Shift(navaid.position, dx, dy);
}

}  // namespace

void ShiftSectorData(TarqSectorData& data, double dx, double dy) {
    Shift(data.centre, dx, dy);
    Shift(data.vors, dx, dy);
    Shift(data.ndbs, dx, dy);
    Shift(data.fixes, dx, dy);
    for (auto& [name, airport] : data.airports) Shift(airport.position, dx, dy);
    for (SectorRunway& r : data.runways) {
        Shift(r.end1, dx, dy);
        Shift(r.end2, dx, dy);
    }
    for (SegmentMap* map : {&data.artcc, &data.artccHigh, &data.artccLow, &data.sids, &data.stars, &data.lowAirways,
                            &data.highAirways})
        Shift(*map, dx, dy);
    for (GeoLine& line : data.geo) Shift(line, dx, dy);
    for (SectorRegion& region : data.regions)
        for (ScopePoint& p : region.points) Shift(p, dx, dy);
    for (SectorLabel& label : data.labels) Shift(label.position, dx, dy);
}

SectorLibrary::Stamp SectorLibrary::FileStamp(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    return {static_cast<long long>(st.st_mtim.tv_sec), static_cast<long long>(st.st_mtim.tv_nsec),
            static_cast<long long>(st.st_size)};
}

SectorLoadResult SectorLibrary::Load(const std::string& path, const std::string& reportPath,
                                     bool forceParse) {
    SectorLoadResult result;
    Stamp stamp = FileStamp(path);
    auto found = m_entries.find(path);
    if (!forceParse && stamp.seconds != -1 && found != m_entries.end() && found->second.stamp == stamp) {
        if (auto held = found->second.sector.lock()) {
            result.sector = std::move(held);
            return result;
        }
    }
    auto sector = std::make_shared<LoadedSector>();
    TarqSectorParser parser;
    ++m_parses;
    if (!parser.Parse(path, sector->data, reportPath)) {
        result.error = parser.GetLastError();
        return result;
    }
    sector->path = path;
    sector->offset = {-sector->data.centre.x, -sector->data.centre.y};
    ShiftSectorData(sector->data, sector->offset.x, sector->offset.y);
    m_entries[path] = {sector, stamp};
    result.sector = std::move(sector);
    return result;
}
