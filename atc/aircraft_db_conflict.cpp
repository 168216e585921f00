// The aircraft database's conflict alert and squawk picker.
// Tested by tests/atc/aircraft_db_conflict_test.cpp and aircraft_db_squawk_test.cpp.
#include <cmath>
#include <cstdlib>

#include "atc/aircraft_db.h"
#include "foundation/geo_helpers.h"

namespace {

// Ground speed below which an aircraft takes no part in the conflict alert.
constexpr int kConflictMinSpeed = 50;
// Codes above this are never handed out (the emergency codes lie beyond it).
constexpr uint16_t kHighestSquawk = 7477;
constexpr uint16_t kBeyondCodes = 10000;

// The smallest valid transponder code (four octal digits) at or above code;
// kBeyondCodes when there is none.
uint16_t NextValidSquawk(int code) {
    while (code < kBeyondCodes) {
        int unit = 1000;
        int bad = -1;
        for (int digit = 0; digit < 4; ++digit, unit /= 10) {
            if ((code / unit) % 10 >= 8) {
                bad = digit;
                break;
            }
        }
        if (bad < 0) return static_cast<uint16_t>(code);
        if (bad == 0) return kBeyondCodes;
        // Carry into the digit before the bad one and zero the rest, so no
        // valid code in between is passed over (1850 goes to 2000, not 2050).
        const int step = unit * 10;
        code = (code / step + 1) * step;
    }
    return kBeyondCodes;
}

}  // namespace

void TarqAircraftDB::CheckConflicts(const std::string& callsign) {
    TarqAircraft* a = GetAircraft(callsign);
    if (!a) return;
    AtcSettings& settings = *m_services.settings;
    auto clear = [&] {
        m_inConflict[callsign] = false;
        m_conflictPartners[callsign].clear();
    };
    if (IsBelowRadarFloor(callsign) || a->GetGroundSpeed() < kConflictMinSpeed ||
        a->GetAltitude() < settings.GetInt("CAFloor") || a->GetTransponderMode() == 'S') {
        clear();
        return;
    }
    const double scale = LongitudeScale;
    const ScopePoint offset = m_services.scope->GetSectorOffset();
    auto projected = [scale](const TarqAircraft& aircraft, const ScopePoint& now) {
        const double d = aircraft.GetGroundSpeed() * 5.0 / 3600.0 / 60.0;
        const PlanarOffset step = PolarOffset(d, aircraft.GetHeading());
        return ScopePoint{now.x + step.x / scale, now.y + step.y};
    };
    const ScopePoint pa = a->GetPosition(offset.x, offset.y);
    const ScopePoint pa2 = projected(*a, pa);
    const int ha = a->GetAltitude();
    const int ha2 = 2 * ha - a->GetPreviousAltitude();
    const int vertical = static_cast<int>(settings.GetInt("CAVerticalMin") * 0.9);
    const double lateral = static_cast<double>(settings.GetInt("CALateralMin"));
    const bool aVfr = settings.IsVFRCode(a->GetSquawk());

    const TarqAircraft* partner = nullptr;
    std::string partnerCallsign;
    for (const auto& [otherCallsign, bPtr] : m_aircraft) {
        const TarqAircraft& b = *bPtr;
        // Cheap field tests and the vertical test first: they settle almost
        // every pair before the map lookups below are needed.
        if (&b == a || b.GetGroundSpeed() < kConflictMinSpeed || b.GetTransponderMode() == 'S') continue;
        const int hb = b.GetAltitude();
        const int hb2 = 2 * hb - b.GetPreviousAltitude();
        const int d = std::abs(hb - ha);
        const int d2 = std::abs(hb2 - ha2);
        bool verticallySeparated = true;
        if (d < vertical) {
            verticallySeparated = false;
            if (d2 > d) verticallySeparated = true;
        }
        if (d < 0.15 * vertical) verticallySeparated = false;
        if (verticallySeparated) continue;
        if (IsBelowRadarFloor(otherCallsign)) continue;
        if (aVfr && settings.IsVFRCode(b.GetSquawk())) continue;

        const ScopePoint pb = b.GetPosition(offset.x, offset.y);
        const ScopePoint pb2 = projected(b, pb);
        const double s = ScaledDistance(pb.x, pb.y, pa.x, pa.y, scale) * 60;
        const double s2 = ScaledDistance(pb2.x, pb2.y, pa2.x, pa2.y, scale) * 60;
        bool laterallySeparated = true;
        if (s < lateral) {
            laterallySeparated = false;
            if (s2 > s) laterallySeparated = true;
        }
        if (s < 0.15 * lateral) laterallySeparated = false;
        if (laterallySeparated) continue;

        partner = &b;
        partnerCallsign = otherCallsign;
        break;
    }
    if (!partner) {
        clear();
        return;
    }
    const std::string sound = settings.GetString("SoundConflict");
    if (IsTrackedByMe(callsign) && !IsInConflict(callsign) &&
        GetConflictPartner(callsign) != partnerCallsign && !sound.empty()) {
        ++m_conflictsDetected;
        m_services.sounds->PlaySoundFile(sound);
        m_soundPlaying = true;
    }
    m_inConflict[callsign] = true;
    m_conflictPartners[callsign] = partnerCallsign;
}

// --- squawk assignment ------------------------------------------------------------

std::vector<bool> TarqAircraftDB::TakenSquawks() const {
    // Every code a pilot squawks or a controller assigned, whoever it belongs to.
    std::vector<bool> taken(kBeyondCodes, false);
    for (const auto& entry : m_reportedSquawks) {
        if (entry.second < kBeyondCodes) taken[entry.second] = true;
    }
    for (const auto& entry : m_assignedSquawks) {
        if (entry.second < kBeyondCodes) taken[entry.second] = true;
    }
    return taken;
}

uint16_t TarqAircraftDB::AssignSquawk(uint16_t low, uint16_t high) {
    if (high > kHighestSquawk || high == 0) high = kHighestSquawk;
    if (low < 1) low = 1;
    if (high < low) {
        m_services.messages->ShowError("Invalid squawk code range.");
        return 0;
    }
    if (m_services.settings->GetBool("AssignSquawksRandomly")) return PickRandomSquawk(low, high);

    const int start = (m_lastAssignedSquawk > 0 && m_lastAssignedSquawk >= low && m_lastAssignedSquawk < high)
                          ? m_lastAssignedSquawk + 1
                          : low;
    const std::vector<bool> taken = TakenSquawks();
    bool wrapped = false;
    int code = start;
    for (;;) {
        code = NextValidSquawk(code);
        if (code > high) {
            if (wrapped) break;
            wrapped = true;
            code = low;
            continue;
        }
        if (!taken[code]) {
            m_lastAssignedSquawk = static_cast<uint16_t>(code);
            return m_lastAssignedSquawk;
        }
        ++code;
    }
    m_services.messages->ShowError("All squawk codes in the configured range are taken.");
    return 0;
}

uint16_t TarqAircraftDB::PickRandomSquawk(uint16_t low, uint16_t high) {
    const std::vector<bool> taken = TakenSquawks();
    std::vector<uint16_t> free;
    for (int code = NextValidSquawk(low); code <= high; code = NextValidSquawk(code + 1)) {
        if (!taken[code]) free.push_back(static_cast<uint16_t>(code));
    }
    if (free.empty()) {
        m_services.messages->ShowError("All squawk codes in the configured range are taken.");
        return 0;
    }
    if (free.size() == 1) return free[0];
    size_t index = static_cast<size_t>(m_random.Next() / 32767.0 * static_cast<double>(free.size()));
    if (index >= free.size()) index = free.size() - 1;
    return free[index];
}
