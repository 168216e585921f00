// The thirty "$" variables and their expansion in two passes (plain names,
// then names with an argument). Every value inserted is opaque: it is never
// searched again for names or parentheses, so a route, remark or METAR from
// another user that holds "$route" or "$uc(" can neither loop nor expand.
// Tested by tests/comms/text_variables_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "atc/flight_plan_record.h"
#include "atc/scope_point.h"

class Clock;
class TarqProfile;
class WeatherStore;

// What the variables read beyond the profile, the weather store and the
// clock: the aircraft and controller databases, the communications panel,
// the display manager, the main scope and the ATIS maker.
class TextVariableSources {
public:
    virtual ~TextVariableSources() = default;

    struct Aircraft {
        int altitude = 0;     // feet
        int groundSpeed = 0;  // knots
        double heading = 0;
        ScopePoint position;  // with the main scope's sector offset applied
    };
    virtual bool GetAircraft(const std::string& callsign, Aircraft& out) const = 0;
    // An empty record when the aircraft has filed no plan.
    virtual TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const = 0;
    virtual uint16_t GetAssignedSquawk(const std::string& callsign) const = 0;
    virtual uint16_t GetBeaconCode(const std::string& callsign) const = 0;
    virtual int GetTemporaryAltitude(const std::string& callsign) const = 0;

    // Empty when no controller has the identifier.
    virtual std::string GetCallsignForPositionId(const std::string& positionId) const = 0;
    // False when the controller is not known.
    virtual bool GetControllerFrequency(const std::string& callsign, int& kHz) const = 0;
    // The position file's radio name, or the callsign in upper case.
    virtual std::string FindRadioName(const std::string& callsign, int frequency) const = 0;

    virtual int GetPrimaryFrequency() const = 0;  // kHz; 0 when no entry is primary
    virtual std::string GetPrimaryVoiceChannel() const = 0;
    virtual std::string GetSelectedCallsign() const = 0;
    // In the main scope's coordinates.
    virtual bool FindNamedPoint(const std::string& name, ScopePoint& out) const = 0;
    virtual double GetScopeRotation() const = 0;
    // "ALPHA" ... "ZULU"; empty when no letter is set.
    virtual std::string GetCurrentLetter() const = 0;
};

class TextVariables {
public:
    static constexpr int kVariableCount = 30;
    struct Entry {
        const char* name;
        bool takesArgument;
    };
    static const Entry kTable[kVariableCount];

    TextVariables(TarqProfile& profile, const WeatherStore& weather, const TextVariableSources& sources,
                  const Clock& clock);

    // The aircraft the aircraft variables describe; empty for none. Callers
    // set it for one expansion and restore it (ScopedAliasContext).
    void SetContextCallsign(std::string callsign) { m_context = std::move(callsign); }
    const std::string& GetContextCallsign() const { return m_context; }

    std::string ExpandVariables(const std::string& in) const;
    // The value of one variable; `out` is untouched for an index outside the table.
    void EvaluateVariable(int index, const std::string& argument, std::string& out) const;

private:
    std::string WindAt(const std::string& station) const;
    std::string Geometry(int index, const std::string& point) const;

    TarqProfile& m_profile;
    const WeatherStore& m_weather;
    const TextVariableSources& m_sources;
    const Clock& m_clock;
    std::string m_context;
};

// Sets the alias context callsign for one expansion and restores the old one.
class ScopedAliasContext {
public:
    ScopedAliasContext(TextVariables& variables, std::string callsign)
        : m_variables(variables), m_saved(variables.GetContextCallsign()) {
        m_variables.SetContextCallsign(std::move(callsign));
    }
    ~ScopedAliasContext() { m_variables.SetContextCallsign(m_saved); }
    ScopedAliasContext(const ScopedAliasContext&) = delete;
    ScopedAliasContext& operator=(const ScopedAliasContext&) = delete;

private:
    TextVariables& m_variables;
    std::string m_saved;
};
