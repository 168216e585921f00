// The radar track of one pilot. Tested by tests/atc/aircraft_test.cpp.
#include "atc/aircraft.h"

#include <cmath>

#include "atc/atc_services.h"
#include "foundation/geo_helpers.h"
#include "platform/clock.h"

namespace {

// One 10-bit field of the attitude word from an angle stored negated.
uint32_t NegatedCount(double angle) {
    double q = angle / -360.0;
    if (q < 0) q += 1;
    // Masked so that an angle of exactly -360 (count 1024) cannot spill into
    // the neighbouring field.
    return static_cast<uint32_t>(static_cast<int64_t>(q * 1024)) & 0x3FF;
}

// Smoothed state lags this many extrapolator ticks (5.04 s at 62.5 per second).
constexpr int kSmoothingLagTicks = 315;

}  // namespace

void HoldLastExtrapolator::AddPosition(uint16_t, double latitude, double longitude, double altitude,
                                       uint32_t attitude, double speed) {
    m_last = {latitude, longitude, altitude, attitude, speed};
}

uint32_t PackAttitude(double pitch, double bank, double heading) {
    const uint32_t p = NegatedCount(pitch);
    const uint32_t b = NegatedCount(bank);
    // A heading of exactly 360 is north, count 0, not 1024.
    const uint32_t h = static_cast<uint32_t>(static_cast<int64_t>(heading / 360 * 1024)) & 0x3FF;
    return (p << 22) | (b << 12) | (h << 2);
}

void UnpackAttitude(uint32_t word, double& pitch, double& bank, double& heading) {
    pitch = -static_cast<double>((word >> 22) & 0x3FF) * 360 / 1024;
    bank = -static_cast<double>((word >> 12) & 0x3FF) * 360 / 1024;
    heading = static_cast<double>((word >> 2) & 0x3FF) * 360 / 1024;
    if (pitch >= 180) pitch -= 360;
    if (pitch <= -180) pitch += 360;
    if (bank >= 180) bank -= 360;
    if (bank < -180) bank += 360;
    if (heading < 0) heading += 360;
    if (heading >= 360) heading -= 360;
}

TarqAircraft::TarqAircraft(const std::string& callsign, const Clock& clock,
                           std::unique_ptr<AircraftExtrapolator> extrapolator)
    : m_clock(clock), m_extrapolator(std::move(extrapolator)) {
    Initialise(callsign);
}

TarqAircraft::~TarqAircraft() = default;

void TarqAircraft::Initialise(const std::string& callsign) {
    m_history.assign(kHistorySize, ScopePoint{});
    m_callsign = callsign;
    m_position = {};
    m_smoothedPosition = {};
    m_altitude = m_previousAltitude = m_groundSpeed = 0;
    m_track = m_pitch = m_bank = m_heading = 0;
    m_smoothedPitch = m_smoothedBank = m_smoothedHeading = 0;
    m_squawk = 0;
    m_lastSampleTime = 0;
    m_sampled = false;
    m_transponderMode = 'S';
    m_coasting = false;
    if (!m_extrapolator) m_extrapolator = std::make_unique<HoldLastExtrapolator>();
}

void TarqAircraft::ShiftHistory() {
    for (int i = kHistorySize - 1; i > 0; --i) m_history[i] = m_history[i - 1];
    m_history[0] = m_position;
}

uint16_t TarqAircraft::ExtrapolationTime() const {
    return static_cast<uint16_t>((m_clock.NowMs() / 16) & 0xFFFF);
}

void TarqAircraft::Update(const AircraftReport& report, bool coast, int transLevel) {
    m_lastReportTime = m_clock.WallSeconds();
    m_coasting = coast;
    if (coast) {
        Coast();
        return;
    }
    ShiftHistory();
    if (m_position.x == 0 && m_position.y == 0) {
        m_track = report.heading;
    } else if (!(report.longitude == m_position.x && report.latitude == m_position.y)) {
        const double k = LongitudeScale;
        m_track =
            BearingBetween(m_position.x * k, m_position.y, report.longitude * k, report.latitude, false);
    }
    m_previousPosition = m_position;
    m_position = {report.longitude, report.latitude};

    int altitude = report.altitude;
    if (altitude >= transLevel) altitude += report.altitudeDifference;
    m_previousAltitude = m_altitude;
    m_altitude = altitude;

    m_previousPitch = m_pitch;
    m_groundSpeed = report.groundSpeed;
    m_pitch = report.pitch;
    m_previousBank = m_bank;
    m_bank = report.bank;
    m_previousHeading = m_heading;
    m_heading = report.heading;
    m_squawk = report.squawk;
    m_transponderMode = report.transponderMode;

    if (!m_sampled) {
        m_previousPitch = m_smoothedPitch = m_pitch;
        m_previousBank = m_smoothedBank = m_bank;
        m_previousHeading = m_smoothedHeading = m_heading;
        m_previousPosition = m_smoothedPosition = m_position;
        m_previousAltitude = m_smoothedAltitude = m_altitude;
    }
    m_lastSampleTime = static_cast<double>(m_clock.NowMs()) / 1000.0;
    m_sampled = true;
    m_extrapolator->AddPosition(ExtrapolationTime(), report.latitude, report.longitude,
                                static_cast<double>(report.altitude), GetPackedAttitude(),
                                static_cast<double>(report.groundSpeed));
}

void TarqAircraft::Coast() {
    m_coasting = true;
    if (!(m_track >= 0 && m_track <= 360 && m_groundSpeed >= 1 && m_groundSpeed <= 10000)) return;
    const double d = m_groundSpeed / 3600.0 / 60.0 * 5.0;
    PlanarOffset offset = PolarOffset(d, m_track);
    offset.x /= LongitudeScale;
    ShiftHistory();
    m_position = {m_position.x + offset.x, m_position.y + offset.y};
}

uint32_t TarqAircraft::GetPackedAttitude() const { return PackAttitude(m_pitch, m_bank, m_heading); }

void TarqAircraft::UpdateSmoothedState(uint32_t simulatorId, AtcSimulatorBridge* bridge) {
    const uint16_t t = static_cast<uint16_t>((ExtrapolationTime() - kSmoothingLagTicks) & 0xFFFF);
    const ExtrapolatedState s = m_extrapolator->Extrapolate(t);
    if (simulatorId != 0 && bridge) {
        bridge->UpdateAircraftPosition(simulatorId, s.latitude, s.longitude, s.altitude, s.attitude,
                                       m_extrapolator->GetRates(), s.speed, 1, 5000);
    }
    double pitch, bank, heading;
    UnpackAttitude(s.attitude, pitch, bank, heading);
    m_smoothedPosition = {s.longitude, s.latitude};
    m_smoothedAltitude = static_cast<int>(s.altitude);
    m_smoothedPitch = pitch;
    m_smoothedBank = bank;
    m_smoothedHeading = heading;
}

std::vector<ScopePoint> TarqAircraft::GetHistoryWithOffset(double dx, double dy) const {
    std::vector<ScopePoint> out = m_history;
    for (ScopePoint& p : out) {
        p.x += dx;
        p.y += dy;
    }
    return out;
}
