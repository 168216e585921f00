#include "tools/aircraft_list.h"

#include <algorithm>
#include <cstdio>

#include "atc/aircraft_db.h"
#include "foundation/text_helpers.h"

std::vector<std::string> AircraftDBListSource::GetCallsigns() const { return m_db.GetCallsigns(); }
bool AircraftDBListSource::HasAircraft(const std::string& c) const { return m_db.GetAircraft(c) != nullptr; }
int AircraftDBListSource::GetGroundSpeed(const std::string& c) const {
    const TarqAircraft* aircraft = m_db.GetAircraft(c);
    return aircraft != nullptr ? aircraft->GetGroundSpeed() : 0;
}
uint16_t AircraftDBListSource::GetSquawk(const std::string& c) const {
    const TarqAircraft* aircraft = m_db.GetAircraft(c);
    return aircraft != nullptr ? aircraft->GetSquawk() : 0;
}
uint16_t AircraftDBListSource::GetAssignedSquawk(const std::string& c) const {
    return m_db.GetAssignedSquawk(c);
}
TarqFlightPlanRecord AircraftDBListSource::GetFlightPlan(const std::string& c) const {
    return m_db.GetFlightPlan(c);
}
std::time_t AircraftDBListSource::GetRequestTime(const std::string& c) const {
    return m_db.GetRequestTime(c);
}
double AircraftDBListSource::GetDistanceFromDeparture(const std::string& c) const {
    return m_db.GetDistanceFromDeparture(c);
}
double AircraftDBListSource::GetDistanceToDestination(const std::string& c) const {
    return m_db.GetDistanceToDestination(c);
}
bool AircraftDBListSource::HasRequestListEntries() const { return m_db.HasRequestListEntries(); }

std::string ZeroFill(const std::string& text, size_t width) {
    if (text.size() >= width) return text;
    return std::string(width - text.size(), '0') + text;
}

AircraftListModel::AircraftListModel(const AircraftListSource& source) : m_source(source) {
    for (int section = 0; section <= 3; ++section) m_expanded[section] = true;
}

void AircraftListModel::LoadFieldSettings(const std::vector<std::string>& arrivalFields,
                                          const std::vector<std::string>& departureFields,
                                          const NamedPointLookup& lookup) {
    auto fill = [&lookup](std::map<std::string, std::pair<double, double>>& fields,
                          const std::vector<std::string>& names) {
        fields.clear();
        for (const std::string& name : names) {
            double latitude = 0.0;
            double longitude = 0.0;
            if (lookup) lookup(name, latitude, longitude);
            fields[name] = {latitude, longitude};
        }
    };
    fill(m_arrivalFields, arrivalFields);
    fill(m_departureFields, departureFields);
}

const char* AircraftListModel::SectionText(int section) {
    switch (section) {
        case kSectionRequests:
            return "Request List";
        case kSectionArrivals:
            return "Arrivals";
        case kSectionDepartures:
            return "Departures";
        default:
            return "";
    }
}

namespace {

bool RowBefore(const AircraftListEntry& a, const AircraftListEntry& b) {
    if (a.requestTime != 0 && b.requestTime != 0) return a.requestTime < b.requestTime;
    if (a.requestTime != 0) return true;
    if (b.requestTime != 0) return false;
    if (a.arrival != b.arrival) return !a.arrival;
    if (!a.arrival) return a.callsign < b.callsign;
    return a.distance < b.distance;
}

std::string LabelFor(size_t n) {
    if (n < 26) return std::string(1, static_cast<char>('A' + n));
    if (n < 35) return std::string(1, static_cast<char>('1' + (n - 26)));
    if (n == 35) return "0";
    return " ";
}

}  // namespace

void AircraftListModel::Rebuild(std::time_t now, bool blank, bool collapsed) {
    m_lastRebuild = now;
    m_rebuildPending = false;
    if (blank) {
        m_rows.clear();
        m_labels.clear();
        return;
    }
    if (collapsed) return;
    // A stale label would select an aircraft that left the list.
    m_labels.clear();
    m_rows.clear();

    std::vector<AircraftListEntry> rows;
    for (const std::string& callsign : m_source.GetCallsigns()) {
        const uint16_t squawk = m_source.GetAssignedSquawk(callsign);
        const int speed = m_source.GetGroundSpeed(callsign);
        const TarqFlightPlanRecord plan = m_source.GetFlightPlan(callsign);
        const std::time_t requestTime = m_source.GetRequestTime(callsign);
        const bool toArrivalField = IsArrivalField(plan.destination);
        const bool fromDepartureField = IsDepartureField(plan.departure);
        if (!toArrivalField && !fromDepartureField && requestTime == 0) continue;

        if (requestTime != 0) {
            AircraftListEntry row;
            row.callsign = callsign;
            row.requestTime = requestTime;
            row.section = kSectionRequests;
            rows.push_back(std::move(row));
        }
        if (speed <= 50) {
            const double distance = m_source.GetDistanceFromDeparture(callsign);
            if (fromDepartureField && distance >= 0.0 && distance <= 5.0) {
                AircraftListEntry row;
                row.callsign = callsign;
                row.airport = plan.departure;
                row.squawk = squawk;
                row.section = kSectionDepartures;
                rows.push_back(std::move(row));
                continue;
            }
        }
        if (toArrivalField) {
            const double distance = m_source.GetDistanceToDestination(callsign);
            if (distance >= 3.0) {
                AircraftListEntry row;
                row.arrival = true;
                row.callsign = callsign;
                row.airport = plan.destination;
                row.squawk = squawk;
                row.distance = static_cast<int32_t>(distance);
                row.section = kSectionArrivals;
                rows.push_back(std::move(row));
            }
        }
    }
    std::stable_sort(rows.begin(), rows.end(), RowBefore);

    m_rows.reserve(rows.size() + 3);
    int current = kSectionNone;
    for (AircraftListEntry& row : rows) {
        if (row.section != current) {
            current = row.section;
            AircraftListEntry header;
            header.header = true;
            header.section = current;
            header.callsign = SectionText(current);
            m_rows.push_back(std::move(header));
        }
        if (!IsSectionExpanded(row.section)) continue;
        m_rows.push_back(std::move(row));
    }

    size_t n = 0;
    for (AircraftListEntry& row : m_rows) {
        if (row.header) continue;
        row.label = LabelFor(n++);
        m_labels[row.label] = row.callsign;
    }
}

bool AircraftListModel::OnTimer(std::time_t now, bool blank, bool collapsed) {
    const std::time_t interval = m_source.HasRequestListEntries() ? 1 : 5;
    if (!m_rebuildPending && now - m_lastRebuild < interval) return false;
    // A rolled-up list keeps what was asked of it for when it rolls down.
    if (collapsed && !blank) return false;
    Rebuild(now, blank, collapsed);
    return true;
}

std::string AircraftListModel::GetCallsignForLabel(const std::string& text) const {
    auto it = m_labels.find(ToUpper(text));
    return it == m_labels.end() ? std::string() : it->second;
}

bool AircraftListModel::IsSectionExpanded(int section) const {
    auto it = m_expanded.find(section);
    return it == m_expanded.end() || it->second;
}

void AircraftListModel::ToggleSection(int section) { m_expanded[section] = !IsSectionExpanded(section); }

std::string AircraftListModel::FormatRowValue(const AircraftListEntry& row, std::time_t now) {
    char text[32] = "";
    if (row.header) return {};
    if (row.requestTime != 0) {
        const long long waited = static_cast<long long>(now - row.requestTime);
        std::snprintf(text, sizeof text, "%01lld:%02lld", waited / 60, waited % 60);
    } else if (row.arrival) {
        std::snprintf(text, sizeof text, "%d", row.distance);
    } else if (row.squawk != 0) {
        std::snprintf(text, sizeof text, "%04d", static_cast<int>(row.squawk));
    }
    return text;
}

std::string AircraftListModel::RowKindLetter(const AircraftListEntry& row) {
    if (row.header) return {};
    if (row.requestTime != 0) return "R";
    return row.arrival ? "A" : "D";
}

AircraftListModel::ClickAction AircraftListModel::OnRowClick(size_t row, int x, int y, bool altDown,
                                                             std::time_t now) {
    if (row >= m_rows.size()) return ClickAction::None;
    const AircraftListEntry& entry = m_rows[row];
    if (entry.header) {
        if (x < 5 || x >= 14 || y < 3 || y >= 12) return ClickAction::None;
        ToggleSection(entry.section);
        Rebuild(now);
        return ClickAction::Rebuilt;
    }
    if (altDown) return ClickAction::AddStrip;
    ShowFlightPlanDetails(entry.callsign);
    return ClickAction::ShowDetails;
}

bool AircraftListModel::OnRowDoubleClick(size_t row, std::time_t now) {
    if (row >= m_rows.size()) return false;
    if (m_rows[row].header) {
        ToggleSection(m_rows[row].section);
        Rebuild(now);
        return false;
    }
    return true;
}

std::string AircraftListModel::GetMenuCallsign(size_t row) const {
    if (row >= m_rows.size() || m_rows[row].header) return {};
    return m_rows[row].callsign;
}

std::string AircraftListModel::ShowFlightPlanDetails(const std::string& callsign) {
    m_detailCallsign = callsign;
    if (!m_source.HasAircraft(callsign)) return {};
    TarqFlightPlanRecord plan = m_source.GetFlightPlan(callsign);
    if (plan.departure.empty()) plan.departure = "????";
    if (plan.destination.empty()) plan.destination = "????";
    std::string cruise = plan.cruiseAltitude;
    if (cruise.size() > 3) cruise.resize(cruise.size() - 2);

    const auto assigned = static_cast<int16_t>(m_source.GetAssignedSquawk(callsign));
    const auto transponder = static_cast<int16_t>(m_source.GetSquawk(callsign));
    char squawk[32];
    if (assigned == transponder) {
        std::snprintf(squawk, sizeof squawk, "%04d", assigned);
    } else {
        std::snprintf(squawk, sizeof squawk, "%04d  %04d", assigned, transponder);
    }
    std::string text = callsign + "  " + plan.aircraftType + "  " + squawk + "\r\n" + plan.departure + " - " +
                       plan.destination + "  " + ZeroFill(cruise, 3) + "\r\n" + plan.route;
    if (text.size() > 1023) text.resize(1023);
    return text;
}
