// The conflict alert: for an aircraft that has just reported, the first
// other aircraft (in callsign order) that has lost both vertical and lateral
// separation, now or in five seconds' projection. Candidate partners come
// from a grid of the aircraft's positions, so a report costs about the same
// with 150 or 5,000 aircraft; the grid gives way to a walk over every aircraft
// where the search area would span too many cells.
// Tested by tests/atc/conflict_alert_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "atc/aircraft.h"
#include "atc/atc_services.h"

class TarqConflictAlert {
public:
    using CallsignTest = std::function<bool(const std::string& callsign)>;

    // belowRadarFloor and trackedByMe answer for any known callsign.
    TarqConflictAlert(const AtcServices& services, CallsignTest belowRadarFloor, CallsignTest trackedByMe);

    // The aircraft has a new position (a report, a coast); it stays known
    // until Remove. The record must live as long.
    void Moved(const std::string& callsign, const TarqAircraft& aircraft);
    void Remove(const std::string& callsign);
    // Forgets the aircraft's alert state, keeping it in the grid.
    void ResetState(const std::string& callsign);

    // Runs the alert for a known aircraft; true when it started the
    // conflict sound (a new partner of an aircraft the user tracks).
    bool Check(const std::string& callsign);

    // The first partner in callsign order, empty for none: through the grid,
    // and by walking every aircraft. Both give the same answer.
    std::string FindPartner(const std::string& callsign) const;
    std::string FindPartnerByWalk(const std::string& callsign) const;

    bool IsInConflict(const std::string& callsign) const;
    std::string GetConflictPartner(const std::string& callsign) const;
    int GetConflictsDetected() const { return m_conflictsDetected; }
    void ResetStatistics() { m_conflictsDetected = 0; }

private:
    struct Member {
        const TarqAircraft* aircraft;
        int64_t cell;
    };
    struct Subject;  // the reporting aircraft's values, computed once per check
    Subject MakeSubject(const TarqAircraft& a) const;
    bool InConflictWith(const Subject& s, const std::string& otherCallsign, const TarqAircraft& b) const;
    void ClearState(const std::string& callsign);

    AtcServices m_services;
    CallsignTest m_belowRadarFloor;
    CallsignTest m_trackedByMe;
    std::map<std::string, Member> m_members;  // callsign order: the walk's and the partner choice's
    std::unordered_map<int64_t, std::vector<std::map<std::string, Member>::const_iterator>> m_cells;
    std::map<std::string, bool> m_inConflict;
    std::map<std::string, std::string> m_partners;
    int m_conflictsDetected = 0;
};
