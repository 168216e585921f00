// Tested by tests/simbridge/plane_position_test.cpp.
#include "simbridge/plane_position.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEarthRadiusFeet = 20925524.9;

// The top 10 bits of the angle as a fraction of a turn in 32 bits; a
// negative angle lands at its value plus 360.
uint32_t AngleField(double degrees) {
    const int64_t turn = static_cast<int64_t>(std::trunc(degrees / 360.0 * 4294967296.0));
    return static_cast<uint32_t>(turn) >> 22;
}

}  // namespace

void Extrapolator::SetRange(double minimum, double maximum) {
    if (!(maximum > minimum)) return;
    m_ranged = true;
    m_minimum = minimum;
    m_maximum = maximum;
}

double Extrapolator::Fold(double value) const {
    if (!m_ranged) return value;
    const double span = m_maximum - m_minimum;
    const double x = value - m_minimum;
    const double r = std::fmod(std::fabs(x), span);
    if (x >= 0) return m_minimum + r;
    if (r == 0) return m_minimum;
    return m_minimum + span - r;
}

bool Extrapolator::IsLater(double a, double b) const {
    const double low = m_period / 4;
    const double high = 3 * m_period / 4;
    if (a < low && b > high) return false;
    if (b < low && a > high) return true;
    return b > a;
}

bool Extrapolator::IsWithin(double t, double a, double b) const {
    return t == a || t == b || (IsLater(a, t) && IsLater(t, b));
}

double Extrapolator::TickDistance(double a, double b) const {
    const double high = std::max(a, b);
    const double low = std::min(a, b);
    return std::min(std::fabs(high - low), std::fabs(m_period + low - high));
}

void Extrapolator::UnwrapPair(double& x, double& y) const {
    if (!m_ranged) return;
    const double span = m_maximum - m_minimum;
    const double low = m_minimum + span / 4;
    const double high = m_maximum - span / 4;
    if (x > high && y < low) y += span;
    if (y > high && x < low) x += span;
}

void Extrapolator::AddSample(double tick, double value) {
    value = Fold(value);
    if (!m_samples.empty() && m_samples.back().tick == tick) {
        m_samples.back().value = value;
        return;
    }
    m_samples.push_back({tick, value});
    while (m_samples.size() > 1 && TickDistance(m_samples.front().tick, tick) > m_maxAge)
        m_samples.pop_front();
}

double Extrapolator::Line(Sample p, Sample q, double t) const {
    if (p.tick == q.tick) return q.value;
    return p.value + (q.value - p.value) / (q.tick - p.tick) * (t - p.tick);
}

double Extrapolator::Blend(Sample a, Sample b, Sample c, double t) const {
    if (t < b.tick) return Line(a, b, t);
    if (t > c.tick) return Line(b, c, t);
    double w = 1.0;
    if (c.tick != b.tick) w = std::min(1.0, (t - b.tick) / ((c.tick - b.tick) * 0.5));
    return Line(b, c, t) * w + Line(a, b, t) * (1 - w);
}

double Extrapolator::Evaluate(double tick) const {
    const size_t n = m_samples.size();
    if (n == 0) return 0;
    if (n == 1) return m_samples.front().value;
    // The caller's tick may come from a wider clock: bring it onto the 16-bit one.
    double t = std::fmod(tick, m_period);
    if (t < 0) t += m_period;

    size_t first = n - 2;  // the chosen samples: first and the next one or two
    size_t count = 2;
    if (n >= 3 && !IsLater(m_samples[n - 1].tick, t)) {
        size_t i = n - 1;
        while (i >= 1 && !IsWithin(t, m_samples[i - 1].tick, m_samples[i].tick)) --i;
        if (i == n - 1) {
            first = n - 3;
            count = 3;
        } else {
            first = i >= 1 ? i - 1 : 0;
        }
    }
    Sample s[3];
    for (size_t k = 0; k < count; ++k) s[k] = m_samples[first + k];
    for (size_t k = 1; k < count; ++k)
        if (s[k].tick < s[k - 1].tick) s[k].tick += m_period;
    if (t < s[0].tick && std::fabs(t + m_period - s[0].tick) < std::fabs(t - s[0].tick)) t += m_period;
    UnwrapPair(s[0].value, s[1].value);
    if (count == 3) {
        UnwrapPair(s[1].value, s[2].value);
        UnwrapPair(s[0].value, s[1].value);
        return Fold(Blend(s[0], s[1], s[2], t));
    }
    return Fold(Line(s[0], s[1], t));
}

bool Extrapolator::GetLastStep(double& ticks, double& value) const {
    const size_t n = m_samples.size();
    if (n < 2) return false;
    Sample a = m_samples[n - 2];
    Sample b = m_samples[n - 1];
    if (b.tick < a.tick) b.tick += m_period;
    UnwrapPair(a.value, b.value);
    ticks = b.tick - a.tick;
    value = b.value - a.value;
    return ticks > 0;
}

double FeetFromDegrees(double degrees) { return degrees * M_PI / 180.0 * kEarthRadiusFeet; }

double EastFeetFromDegrees(double longitudeDegrees, double latitude) {
    return std::cos(latitude * M_PI / 180.0) * FeetFromDegrees(longitudeDegrees);
}

PlanePosition::PlanePosition() {
    for (Extrapolator* channel : {&m_latitude, &m_longitude, &m_altitude, &m_pitch, &m_bank, &m_heading}) {
        channel->SetPeriod(kTickPeriod);
        channel->SetMaxAge(kMaxAgeTicks);
    }
    m_longitude.SetRange(-180, 180);
    m_pitch.SetRange(-180, 180);
    m_bank.SetRange(-180, 180);
    m_heading.SetRange(0, 360);
}

uint32_t PlanePosition::PackAttitude(double pitch, double bank, double heading) {
    return (AngleField(pitch) << 22) | (AngleField(bank) << 12) | (AngleField(heading) << 2);
}

void PlanePosition::UnpackAttitude(uint32_t word, double& pitch, double& bank, double& heading) {
    constexpr double kDegreesPerCount = 360.0 / 1024.0;
    pitch = ((word >> 22) & 0x3FF) * kDegreesPerCount;
    bank = ((word >> 12) & 0x3FF) * kDegreesPerCount;
    heading = ((word >> 2) & 0x3FF) * kDegreesPerCount;
}

void PlanePosition::AddPosition(uint16_t tick, double latitude, double longitude, double altitude,
                                uint32_t attitude, double speed) {
    const double t = tick;
    m_latitude.AddSample(t, latitude);
    m_longitude.AddSample(t, longitude);
    m_altitude.AddSample(t, altitude);
    double pitch, bank, heading;
    UnpackAttitude(attitude, pitch, bank, heading);
    m_pitch.AddSample(t, pitch);
    m_bank.AddSample(t, bank);
    m_heading.AddSample(t, heading);
    m_speed = speed;
}

ExtrapolatedState PlanePosition::Extrapolate(uint16_t tick) const {
    const double t = tick;
    ExtrapolatedState state;
    state.latitude = m_latitude.Evaluate(t);
    state.longitude = m_longitude.Evaluate(t);
    state.altitude = m_altitude.Evaluate(t);
    state.attitude = PackAttitude(m_pitch.Evaluate(t), m_bank.Evaluate(t), m_heading.Evaluate(t));
    state.speed = m_speed;
    return state;
}

std::array<double, 3> PlanePosition::GetRates() const {
    std::array<double, 3> rates{0, 0, 0};
    double ticks, step;
    if (m_latitude.GetLastStep(ticks, step)) rates[0] = FeetFromDegrees(step) / (ticks / kTicksPerSecond);
    if (!m_latitude.GetSamples().empty() && m_longitude.GetLastStep(ticks, step))
        rates[1] = EastFeetFromDegrees(step, m_latitude.GetSamples().back().value) / (ticks / kTicksPerSecond);
    if (m_altitude.GetLastStep(ticks, step)) rates[2] = step / (ticks / kTicksPerSecond);
    return rates;
}
