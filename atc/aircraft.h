// TarqAircraft: the radar track of one pilot (position, history, altitude,
// attitude, transponder, coasting and the smoothed state for the 3-D view and
// the simulator bridge), plus the position report it is fed from.
// Tested by tests/atc/aircraft_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "atc/scope_point.h"

class Clock;
class AtcSimulatorBridge;

// The fields of a pilot position report the ATC state reads; the network
// manager fills it from the session's parsed record (latitude first, as on the wire).
struct AircraftReport {
    double latitude = 0;
    double longitude = 0;
    int altitude = 0;            // feet, as reported
    int altitudeDifference = 0;  // feet, added at or above the transition level
    int groundSpeed = 0;         // knots
    double heading = 0;
    double bank = 0;
    double pitch = 0;
    uint16_t squawk = 0;  // decimal digits are the code
    int transponderMode = 'S';
    int rating = 0;
};

// One extrapolated state of the simulator bridge's position filter.
struct ExtrapolatedState {
    double latitude = 0;
    double longitude = 0;
    double altitude = 0;
    uint32_t attitude = 0;
    double speed = 0;
};

// Timed samples in, predicted state out. The simulator bridge supplies the
// real filter; HoldLastExtrapolator stands in where there is none.
class AircraftExtrapolator {
public:
    virtual ~AircraftExtrapolator() = default;
    virtual void AddPosition(uint16_t tick, double latitude, double longitude, double altitude,
                             uint32_t attitude, double speed) = 0;
    virtual ExtrapolatedState Extrapolate(uint16_t tick) const = 0;
    virtual std::array<double, 3> GetRates() const = 0;
};

class HoldLastExtrapolator final : public AircraftExtrapolator {
public:
    void AddPosition(uint16_t tick, double latitude, double longitude, double altitude, uint32_t attitude,
                     double speed) override;
    ExtrapolatedState Extrapolate(uint16_t tick) const override { return m_last; }
    std::array<double, 3> GetRates() const override { return {0, 0, 0}; }

private:
    ExtrapolatedState m_last;
};

// Packs pitch, bank and heading (degrees) into the 32-bit attitude word:
// pitch bits 22-31, bank 12-21, heading 2-11, each in 1024ths of a turn,
// pitch and bank negated. Every field stays within its 10 bits.
uint32_t PackAttitude(double pitch, double bank, double heading);
// The reverse: pitch in (-180, 180], bank in [-180, 180), heading in [0, 360).
void UnpackAttitude(uint32_t word, double& pitch, double& bank, double& heading);

class TarqAircraft {
public:
    static constexpr int kHistorySize = 10;

    // The clock gives wall seconds (report times), milliseconds (the
    // extrapolation clock) and elapsed seconds. A null extrapolator gets a HoldLastExtrapolator.
    TarqAircraft(const std::string& callsign, const Clock& clock,
                 std::unique_ptr<AircraftExtrapolator> extrapolator = nullptr);
    virtual ~TarqAircraft();
    TarqAircraft(const TarqAircraft&) = delete;
    TarqAircraft& operator=(const TarqAircraft&) = delete;

    void Initialise(const std::string& callsign);
    // Applies one report; with coast set only the time is taken and the
    // aircraft dead-reckons instead. transLevel is the "TransLevel" setting.
    void Update(const AircraftReport& report, bool coast, int transLevel);
    // Dead-reckons 5 seconds ahead along the track.
    void Coast();
    // Recomputes the smoothed fields; a non-zero simulatorId also feeds the bridge.
    void UpdateSmoothedState(uint32_t simulatorId, AtcSimulatorBridge* bridge);
    uint32_t GetPackedAttitude() const;

    void SetRealName(const std::string& name) { m_realName = name; }
    std::string GetRealName() const { return m_realName; }
    std::string GetCallsign() const { return m_callsign; }

    ScopePoint GetPosition(double dx, double dy) const { return {m_position.x + dx, m_position.y + dy}; }
    int GetAltitude() const { return m_altitude; }
    int GetPreviousAltitude() const { return m_previousAltitude; }
    int GetGroundSpeed() const { return m_groundSpeed; }
    double GetHeading() const { return m_track; }
    double GetHeading2() const { return m_heading; }
    double GetPitch() const { return m_pitch; }
    double GetBank() const { return m_bank; }
    uint16_t GetSquawk() const { return m_squawk; }
    int GetTransponderMode() const { return m_transponderMode; }
    std::time_t GetLastReportTime() const { return m_lastReportTime; }
    bool IsCoasted() const { return m_coasting; }
    ScopePoint GetSmoothedPosition(double dx, double dy) const {
        return {m_smoothedPosition.x + dx, m_smoothedPosition.y + dy};
    }
    int GetSmoothedAltitude() const { return m_smoothedAltitude; }
    double GetSmoothedPitch() const { return m_smoothedPitch; }
    double GetSmoothedBank() const { return m_smoothedBank; }
    double GetSmoothedHeading() const { return m_smoothedHeading; }
    std::vector<ScopePoint> GetHistoryWithOffset(double dx, double dy) const;

private:
    void ShiftHistory();
    // The extrapolation clock: milliseconds / 16, kept modulo 65536.
    uint16_t ExtrapolationTime() const;

    const Clock& m_clock;
    std::string m_callsign;
    ScopePoint m_position;
    std::vector<ScopePoint> m_history;  // newest first, always kHistorySize entries
    int m_altitude = 0;
    int m_previousAltitude = 0;
    int m_groundSpeed = 0;
    double m_track = 0;
    double m_pitch = 0;
    double m_bank = 0;
    double m_heading = 0;
    int m_transponderMode = 'S';
    uint16_t m_squawk = 0;
    std::time_t m_lastReportTime = 0;
    bool m_coasting = false;
    std::string m_realName;
    std::unique_ptr<AircraftExtrapolator> m_extrapolator;
    ScopePoint m_previousPosition;
    ScopePoint m_smoothedPosition;
    int m_smoothedAltitude = 0;
    double m_previousPitch = 0;
    double m_smoothedPitch = 0;
    double m_previousBank = 0;
    double m_smoothedBank = 0;
    double m_previousHeading = 0;
    double m_smoothedHeading = 0;
    // Elapsed seconds at the latest report; m_sampled tells whether one came
    // (a time of 0 is a real time on a clock that starts at 0).
    double m_lastSampleTime = 0;
    bool m_sampled = false;
};
