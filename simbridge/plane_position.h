// Position extrapolation: each aircraft's reports go into one PlanePosition,
// which answers where the aircraft is at a chosen tick (interpolated between
// reports, extrapolated past the last one) and the rates the simulator's full
// position message carries. Ticks are the extrapolation clock: milliseconds
// divided by 16 (62.5 per second), kept to 16 bits, so they wrap after
// 65536 ticks. Main thread only. Tested by tests/simbridge/plane_position_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <deque>

#include "atc/aircraft.h"

// One channel of one quantity.
class Extrapolator {
public:
    struct Sample {
        double tick;
        double value;
    };

    virtual ~Extrapolator() = default;

    void SetPeriod(double ticks) { m_period = ticks; }
    void SetMaxAge(double ticks) { m_maxAge = ticks; }
    // Values are folded into [minimum, maximum); ignored unless maximum > minimum.
    void SetRange(double minimum, double maximum);

    // A sample with the newest sample's tick replaces its value.
    void AddSample(double tick, double value);
    double Evaluate(double tick) const;
    // Tick and value steps from the second newest sample to the newest, both
    // unwrapped across their seams; false with fewer than two samples.
    bool GetLastStep(double& ticks, double& value) const;

    const std::deque<Sample>& GetSamples() const { return m_samples; }

    // b comes after a on the wrapping clock.
    bool IsLater(double a, double b) const;
    double TickDistance(double a, double b) const;
    double Fold(double value) const;

private:
    bool IsWithin(double t, double a, double b) const;
    void UnwrapPair(double& x, double& y) const;
    double Line(Sample p, Sample q, double t) const;
    double Blend(Sample a, Sample b, Sample c, double t) const;

    std::deque<Sample> m_samples;  // oldest first
    double m_period = -1.0;
    double m_maxAge = -1.0;
    bool m_ranged = false;
    double m_minimum = 0;
    double m_maximum = 0;
};

double FeetFromDegrees(double degrees);
double EastFeetFromDegrees(double longitudeDegrees, double latitude);

class PlanePosition final : public AircraftExtrapolator {
public:
    // The 16-bit clock wraps at 65536 ticks.
    static constexpr double kTickPeriod = 65536.0;
    // 15 s of samples: 15000 ms / 16.
    static constexpr double kMaxAgeTicks = 937.0;
    static constexpr double kTicksPerSecond = 62.5;

    PlanePosition();

    // Attitude word: pitch bits 22-31, bank 12-21, heading 2-11, each in
    // 1024ths of a turn; unpacked angles lie in [0, 360).
    static uint32_t PackAttitude(double pitch, double bank, double heading);
    static void UnpackAttitude(uint32_t word, double& pitch, double& bank, double& heading);

    void AddPosition(uint16_t tick, double latitude, double longitude, double altitude, uint32_t attitude,
                     double speed) override;
    ExtrapolatedState Extrapolate(uint16_t tick) const override;
    // North, east and vertical rates in feet per second.
    std::array<double, 3> GetRates() const override;

private:
    Extrapolator m_latitude;
    Extrapolator m_longitude;
    Extrapolator m_altitude;
    Extrapolator m_pitch;
    Extrapolator m_bank;
    Extrapolator m_heading;
    double m_speed = 0;
};
