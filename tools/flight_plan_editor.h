// The flight plan editor's behaviour: which texts it shows for a callsign,
// which groups of fields the user changed since, and what "Amend Plan",
// "Assign Squawk" and "Plot" hand to the aircraft database. The window
// (TarqFlightPlanEditor) only moves texts between its controls and here.
// Tested by tests/tools/flight_plan_editor_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "atc/flight_plan_record.h"

// What the editor reads of and hands to the aircraft database.
class FlightPlanEditorSource {
public:
    virtual ~FlightPlanEditorSource() = default;
    // A copy of the stored plan; an empty record when there is none.
    virtual TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const = 0;
    virtual std::string GetScratchpad(const std::string& callsign) const = 0;
    virtual uint16_t GetAssignedSquawk(const std::string& callsign) const = 0;
    // The pilot's name; empty when unknown or when there is no such aircraft.
    virtual std::string GetPilotName(const std::string& callsign) const = 0;
    // Shows its own error line when the user may not control the aircraft.
    virtual bool CheckControl(const std::string& callsign) = 0;
    // Stores the plan and sends the amendment.
    virtual void AmendFlightPlan(const std::string& callsign, const TarqFlightPlanRecord& plan) = 0;
    virtual void SetScratchpad(const std::string& callsign, const std::string& controller,
                               const std::string& text) = 0;
    // Stores the code (0xFFFF: pick one from the own range) and sends the assignment.
    virtual void SetAssignedSquawk(const std::string& callsign, const std::string& controller,
                                   uint16_t code) = 0;
    virtual std::string GetOwnCallsign() const = 0;
    virtual void ShowError(const std::string& text) = 0;
};

// The dialog's texts; `rules` is the drop-down's text.
struct FlightPlanFields {
    std::string callsign;
    std::string type;
    std::string rules;
    std::string departure;
    std::string destination;
    std::string alternate;
    std::string cruise;
    std::string scratchpad;
    std::string squawk;
    std::string route;
    std::string remarks;
    bool operator==(const FlightPlanFields&) const = default;
};

class FlightPlanEditorModel {
public:
    static constexpr const char* kRules[] = {"IFR", "VFR", "SVFR", "DVFR"};
    // Characters the dialog reads from each field.
    static constexpr size_t kTypeLimit = 8, kAirportLimit = 4, kCruiseLimit = 6, kScratchpadLimit = 4,
                            kSquawkLimit = 4, kTextLimit = 1023, kPlotRouteLimit = 999;
    static constexpr const char* kInvalidSquawk = "Invalid squawk code. Use four digits from 0 to 7.";

    explicit FlightPlanEditorModel(FlightPlanEditorSource& source) : m_source(source) {}

    // The texts for the callsign, from the database; clears the edit flags.
    FlightPlanFields Show(const std::string& callsign);
    const std::string& GetCallsign() const { return m_callsign; }
    const std::string& GetTitle() const { return m_title; }

    // Change notifications of the fields.
    void OnPlanEdited() { m_planModified = true; }
    void OnScratchpadEdited() { m_scratchpadModified = true; }
    void OnSquawkEdited() { m_squawkEdited = true; }
    bool IsPlanModified() const { return m_planModified; }
    bool IsScratchpadModified() const { return m_scratchpadModified; }
    bool IsSquawkEdited() const { return m_squawkEdited; }
    // "Assign Squawk" waits while plan or scratchpad edits are unsent.
    bool IsAssignSquawkEnabled() const { return !m_planModified && !m_scratchpadModified; }

    // A code the database assigned: the text for the squawk field, or empty
    // when the user is typing there and the field keeps their digits.
    std::string SquawkFieldText(int code) const;

    // "Amend Plan": sends the changed groups. True when it went through and
    // `shown` holds the refreshed texts; false leaves the fields as typed.
    bool Amend(const FlightPlanFields& typed, FlightPlanFields& shown);
    // "Assign Squawk": true with the squawk field's new text.
    bool AssignSquawk(const FlightPlanFields& typed, std::string& squawkText);
    // The route to plot on the main scope: departure, route and arrival.
    static std::string PlotText(const FlightPlanFields& typed);

    static std::string RulesText(int rules);
    static int RulesFromText(const std::string& text);

private:
    // The typed squawk as a code; false (and the message) for a code that is
    // not four octal digits.
    bool ParseSquawk(const std::string& text, uint16_t& code);

    FlightPlanEditorSource& m_source;
    std::string m_callsign;
    std::string m_title;
    bool m_planModified = false;
    bool m_squawkEdited = false;
    bool m_scratchpadModified = false;
};
