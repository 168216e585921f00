// Tested by tests/atc/conflict_alert_test.cpp.
#include "atc/conflict_alert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "foundation/geo_helpers.h"

namespace {

// Ground speed below which an aircraft takes no part in the conflict alert.
constexpr int kConflictMinSpeed = 50;
// Grid cells are this many degrees square.
constexpr double kCellDegrees = 0.1;
// A search over more cells than this walks every aircraft instead.
constexpr int64_t kMostCells = 256;

int64_t CellIndex(double degrees) { return static_cast<int64_t>(std::floor(degrees / kCellDegrees)); }
int64_t CellKey(int64_t ix, int64_t iy) { return (ix << 32) ^ (iy & 0xFFFFFFFF); }
int64_t CellOf(const ScopePoint& p) { return CellKey(CellIndex(p.x), CellIndex(p.y)); }

}  // namespace

struct TarqConflictAlert::Subject {
    const TarqAircraft* aircraft;
    double scale;
    ScopePoint offset;
    ScopePoint position;
    ScopePoint projected;
    int altitude;
    int projectedAltitude;
    int vertical;
    double lateral;
    bool vfr;
};

TarqConflictAlert::TarqConflictAlert(const AtcServices& services, CallsignTest belowRadarFloor,
                                     CallsignTest trackedByMe)
    : m_services(services.Checked("TarqConflictAlert")),
      m_belowRadarFloor(std::move(belowRadarFloor)),
      m_trackedByMe(std::move(trackedByMe)) {}

void TarqConflictAlert::Moved(const std::string& callsign, const TarqAircraft& aircraft) {
    const int64_t cell = CellOf(aircraft.GetPosition(0, 0));
    auto [it, added] = m_members.try_emplace(callsign, Member{&aircraft, cell});
    if (!added) {
        if (it->second.cell == cell && it->second.aircraft == &aircraft) return;
        auto& old = m_cells[it->second.cell];
        old.erase(std::find(old.begin(), old.end(), it));
        if (old.empty()) m_cells.erase(it->second.cell);
        it->second = Member{&aircraft, cell};
    }
    m_cells[cell].push_back(it);
}

void TarqConflictAlert::Remove(const std::string& callsign) {
    m_inConflict.erase(callsign);
    m_partners.erase(callsign);
    auto it = m_members.find(callsign);
    if (it == m_members.end()) return;
    auto cell = m_cells.find(it->second.cell);
    if (cell != m_cells.end()) {
        cell->second.erase(std::find(cell->second.begin(), cell->second.end(), it));
        if (cell->second.empty()) m_cells.erase(cell);
    }
    m_members.erase(it);
}

void TarqConflictAlert::ResetState(const std::string& callsign) { ClearState(callsign); }

void TarqConflictAlert::ClearState(const std::string& callsign) {
    m_inConflict[callsign] = false;
    m_partners[callsign].clear();
}

TarqConflictAlert::Subject TarqConflictAlert::MakeSubject(const TarqAircraft& a) const {
    AtcSettings& settings = *m_services.settings;
    Subject s;
    s.aircraft = &a;
    s.scale = LongitudeScale;
    s.offset = m_services.scope->GetSectorOffset();
    s.position = a.GetPosition(s.offset.x, s.offset.y);
    const double d = a.GetGroundSpeed() * 5.0 / 3600.0 / 60.0;
    const PlanarOffset step = PolarOffset(d, a.GetHeading());
    s.projected = ScopePoint{s.position.x + step.x / s.scale, s.position.y + step.y};
    s.altitude = a.GetAltitude();
    s.projectedAltitude = 2 * s.altitude - a.GetPreviousAltitude();
    s.vertical = static_cast<int>(settings.GetInt("CAVerticalMin") * 0.9);
    s.lateral = static_cast<double>(settings.GetInt("CALateralMin"));
    s.vfr = settings.IsVFRCode(a.GetSquawk());
    return s;
}

bool TarqConflictAlert::InConflictWith(const Subject& s, const std::string& otherCallsign,
                                       const TarqAircraft& b) const {
    // Cheap field tests and the vertical test first: they settle almost
    // every pair before the lookups below are needed.
    if (&b == s.aircraft || b.GetGroundSpeed() < kConflictMinSpeed || b.GetTransponderMode() == 'S')
        return false;
    const int hb = b.GetAltitude();
    const int hb2 = 2 * hb - b.GetPreviousAltitude();
    const int d = std::abs(hb - s.altitude);
    const int d2 = std::abs(hb2 - s.projectedAltitude);
    bool verticallySeparated = true;
    if (d < s.vertical) {
        verticallySeparated = false;
        if (d2 > d) verticallySeparated = true;
    }
    if (d < 0.15 * s.vertical) verticallySeparated = false;
    if (verticallySeparated) return false;
    if (m_belowRadarFloor(otherCallsign)) return false;
    if (s.vfr && m_services.settings->IsVFRCode(b.GetSquawk())) return false;

    const ScopePoint pb = b.GetPosition(s.offset.x, s.offset.y);
    const double step = b.GetGroundSpeed() * 5.0 / 3600.0 / 60.0;
    const PlanarOffset move = PolarOffset(step, b.GetHeading());
    const ScopePoint pb2{pb.x + move.x / s.scale, pb.y + move.y};
    const double now = ScaledDistance(pb.x, pb.y, s.position.x, s.position.y, s.scale) * 60;
    const double later = ScaledDistance(pb2.x, pb2.y, s.projected.x, s.projected.y, s.scale) * 60;
    bool laterallySeparated = true;
    if (now < s.lateral) {
        laterallySeparated = false;
        if (later > now) laterallySeparated = true;
    }
    if (now < 0.15 * s.lateral) laterallySeparated = false;
    return !laterallySeparated;
}

std::string TarqConflictAlert::FindPartnerByWalk(const std::string& callsign) const {
    auto self = m_members.find(callsign);
    if (self == m_members.end()) return {};
    const Subject s = MakeSubject(*self->second.aircraft);
    for (const auto& [other, member] : m_members) {
        if (InConflictWith(s, other, *member.aircraft)) return other;
    }
    return {};
}

std::string TarqConflictAlert::FindPartner(const std::string& callsign) const {
    auto self = m_members.find(callsign);
    if (self == m_members.end()) return {};
    const Subject s = MakeSubject(*self->second.aircraft);
    // A partner is less than the lateral minimum away now: within that many
    // degrees of latitude, and that many over the scale of longitude. The
    // margin covers the rounding of the offset the distances are taken at.
    const double ry = s.lateral / 60 * (1 + 1e-9) + 1e-9;
    if (!(s.scale > 0.01) || !std::isfinite(ry)) return FindPartnerByWalk(callsign);
    const double rx = ry / s.scale;
    const ScopePoint at = s.aircraft->GetPosition(0, 0);
    const int64_t x0 = CellIndex(at.x - rx), x1 = CellIndex(at.x + rx);
    const int64_t y0 = CellIndex(at.y - ry), y1 = CellIndex(at.y + ry);
    if (x1 < x0 || y1 < y0) return {};
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMostCells) return FindPartnerByWalk(callsign);
    const std::string* first = nullptr;
    for (int64_t ix = x0; ix <= x1; ++ix) {
        for (int64_t iy = y0; iy <= y1; ++iy) {
            auto cell = m_cells.find(CellKey(ix, iy));
            if (cell == m_cells.end()) continue;
            for (const auto& member : cell->second) {
                const std::string& other = member->first;
                if (first && other >= *first) continue;
                if (InConflictWith(s, other, *member->second.aircraft)) first = &other;
            }
        }
    }
    return first ? *first : std::string();
}

bool TarqConflictAlert::Check(const std::string& callsign) {
    auto self = m_members.find(callsign);
    if (self == m_members.end()) return false;
    const TarqAircraft& a = *self->second.aircraft;
    AtcSettings& settings = *m_services.settings;
    if (m_belowRadarFloor(callsign) || a.GetGroundSpeed() < kConflictMinSpeed ||
        a.GetAltitude() < settings.GetInt("CAFloor") || a.GetTransponderMode() == 'S') {
        ClearState(callsign);
        return false;
    }
    const std::string partner = FindPartner(callsign);
    if (partner.empty()) {
        ClearState(callsign);
        return false;
    }
    bool sounded = false;
    const std::string sound = settings.GetString("SoundConflict");
    if (m_trackedByMe(callsign) && !IsInConflict(callsign) && GetConflictPartner(callsign) != partner &&
        !sound.empty()) {
        ++m_conflictsDetected;
        m_services.sounds->PlaySoundFile(sound);
        sounded = true;
    }
    m_inConflict[callsign] = true;
    m_partners[callsign] = partner;
    return sounded;
}

bool TarqConflictAlert::IsInConflict(const std::string& callsign) const {
    auto it = m_inConflict.find(callsign);
    return it != m_inConflict.end() && it->second;
}

std::string TarqConflictAlert::GetConflictPartner(const std::string& callsign) const {
    auto it = m_partners.find(callsign);
    return it == m_partners.end() ? std::string() : it->second;
}
