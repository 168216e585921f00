// The aircraft list's model: the request list, departures and arrivals built
// from the aircraft database, their one-character labels, and the flight
// plan summary of the selected aircraft. The user's arrival and departure
// fields live here too, since strips and the database ask the list for them.
// The window (TarqAircraftList) draws the rows and passes clicks back.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "atc/flight_plan_record.h"

class TarqAircraftDB;

// What the list reads of the aircraft database, per callsign.
class AircraftListSource {
public:
    virtual ~AircraftListSource() = default;
    // Every known aircraft in callsign order.
    virtual std::vector<std::string> GetCallsigns() const = 0;
    virtual bool HasAircraft(const std::string& callsign) const = 0;
    virtual int GetGroundSpeed(const std::string& callsign) const = 0;
    virtual uint16_t GetSquawk(const std::string& callsign) const = 0;  // transponder
    virtual uint16_t GetAssignedSquawk(const std::string& callsign) const = 0;
    virtual TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const = 0;
    virtual std::time_t GetRequestTime(const std::string& callsign) const = 0;
    // Nautical miles, -1.0 while unknown.
    virtual double GetDistanceFromDeparture(const std::string& callsign) const = 0;
    virtual double GetDistanceToDestination(const std::string& callsign) const = 0;
    virtual bool HasRequestListEntries() const = 0;
};

// The real database behind the list.
class AircraftDBListSource final : public AircraftListSource {
public:
    explicit AircraftDBListSource(const TarqAircraftDB& db) : m_db(db) {}
    std::vector<std::string> GetCallsigns() const override;
    bool HasAircraft(const std::string& callsign) const override;
    int GetGroundSpeed(const std::string& callsign) const override;
    uint16_t GetSquawk(const std::string& callsign) const override;
    uint16_t GetAssignedSquawk(const std::string& callsign) const override;
    TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const override;
    std::time_t GetRequestTime(const std::string& callsign) const override;
    double GetDistanceFromDeparture(const std::string& callsign) const override;
    double GetDistanceToDestination(const std::string& callsign) const override;
    bool HasRequestListEntries() const override;

private:
    const TarqAircraftDB& m_db;
};

enum AircraftListSection : int32_t {
    kSectionNone = 0,
    kSectionRequests = 1,
    kSectionArrivals = 2,
    kSectionDepartures = 3,
};

struct AircraftListEntry {
    bool arrival = false;
    std::string callsign;  // the header text on a header row
    std::string airport;
    int32_t distance = 0;
    uint16_t squawk = 0;
    int64_t requestTime = 0;
    std::string label;
    bool header = false;
    int32_t section = kSectionNone;
};

// Finds a named airport or fix; leaves the position untouched when unknown.
using NamedPointLookup = std::function<void(const std::string& name, double& latitude, double& longitude)>;

class AircraftListModel {
public:
    explicit AircraftListModel(const AircraftListSource& source);

    // --- arrival and departure fields ---
    void LoadFieldSettings(const std::vector<std::string>& arrivalFields,
                           const std::vector<std::string>& departureFields, const NamedPointLookup& lookup);
    bool IsArrivalField(const std::string& airport) const { return m_arrivalFields.count(airport) != 0; }
    bool IsDepartureField(const std::string& airport) const { return m_departureFields.count(airport) != 0; }

    // --- rows ---
    // `blank` is the debug switch that empties the list; `collapsed` the rolled-up window.
    void Rebuild(std::time_t now, bool blank = false, bool collapsed = false);
    // Events only mark the list; the frame tick rebuilds once, however many came.
    void RequestRebuild() { m_rebuildPending = true; }
    bool IsRebuildPending() const { return m_rebuildPending; }
    // Every 10th frame tick: a pending rebuild, or the periodic one when due.
    // True when it rebuilt.
    bool OnTimer(std::time_t now, bool blank = false, bool collapsed = false);
    const std::vector<AircraftListEntry>& GetRows() const { return m_rows; }
    std::time_t GetLastRebuild() const { return m_lastRebuild; }
    std::string GetCallsignForLabel(const std::string& text) const;
    bool IsSectionExpanded(int section) const;
    void ToggleSection(int section);

    // --- drawing texts ---
    static const char* SectionText(int section);
    // The value column: waiting time, distance or squawk.
    static std::string FormatRowValue(const AircraftListEntry& row, std::time_t now);
    // "R", "A" or "D".
    static std::string RowKindLetter(const AircraftListEntry& row);

    // --- clicks: answer what the window should do ---
    enum class ClickAction { None, Rebuilt, ShowDetails, AddStrip };
    ClickAction OnRowClick(size_t row, int x, int y, bool altDown, std::time_t now);
    // True when the row is an aircraft whose plan the editor should show.
    bool OnRowDoubleClick(size_t row, std::time_t now);
    // The callsign whose aircraft menu opens, empty for a header or no row.
    std::string GetMenuCallsign(size_t row) const;

    // --- detail pane ---
    // Returns the pane's text, empty when the aircraft is unknown.
    std::string ShowFlightPlanDetails(const std::string& callsign);
    std::string GetDetailCallsign() const { return m_detailCallsign; }

private:
    const AircraftListSource& m_source;
    std::vector<AircraftListEntry> m_rows;
    std::string m_detailCallsign;
    std::time_t m_lastRebuild = 0;
    bool m_rebuildPending = false;
    std::map<std::string, std::pair<double, double>> m_arrivalFields;
    std::map<std::string, std::pair<double, double>> m_departureFields;
    std::map<std::string, std::string> m_labels;
    std::map<int, bool> m_expanded;
};

// "%0Ns" as the list means it: right-aligned and filled with zeros on the
// left (the C library would fill with blanks). Longer texts stay whole.
std::string ZeroFill(const std::string& text, size_t width);
