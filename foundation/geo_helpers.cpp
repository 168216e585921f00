// Geographic and numeric helpers. Tested by tests/foundation/geo_helpers_test.cpp.
#include "foundation/geo_helpers.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/clock.h"

double LongitudeScale = 1.0;

namespace {

// pi / 180 with the program's pi; keep in sync with kPi.
constexpr double kDegToRad = 0.017453292519943278;

int Saturate(int64_t value) {
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

}  // namespace

double DegToRad(double degrees) { return degrees * kDegToRad; }

double RadToDeg(double radians) { return radians * 180.0 / kPi; }

double ScaledDistance(double x1, double y1, double x2, double y2, double scale) {
    double dx = std::fabs(x2 - x1) * scale;
    double dy = std::fabs(y2 - y1);
    return std::sqrt(dx * dx + dy * dy);
}

PlanarOffset PolarOffset(double distance, double heading) {
    double angle = 360.0 - heading + 90.0;
    if (angle >= 360.0) angle -= 360.0;
    double radians = DegToRad(angle);
    return {std::cos(radians) * distance, std::sin(radians) * distance};
}

double NormalizeHeading(double heading) {
    if (heading < 1.0) return heading + 360.0;
    if (heading > 360.0) return heading - 360.0;
    return heading;
}

double ReciprocalHeading(double heading) { return NormalizeHeading(heading + 180.0); }

double BearingBetween(double x1, double y1, double x2, double y2, bool useScale) {
    double dx = x2 - x1;
    if (useScale) dx *= LongitudeScale;
    double dy = y2 - y1;
    if (dy == 0.0) return dx < 0.0 ? 270.0 : 90.0;
    if (dx == 0.0) return dy < 0.0 ? 180.0 : 360.0;
    double theta = RadToDeg(std::atan(dy / dx));
    if (dx < 0.0) theta += 180.0;
    return NormalizeHeading(360.0 - theta + 90.0);
}

void Midpoint(double x1, double y1, double x2, double y2, double* mx, double* my) {
    *mx = (x1 + x2) * 0.5;
    *my = 0.5 * (y1 + y2);
}

double NormalizeHeading360(double angle) {
    if (angle == 0.0) return 360.0;
    if (angle < 0.0) return -angle;
    return 360.0 - angle;
}

double HeadingFold(double angle) { return angle > 180.0 ? 360.0 - angle : -angle; }

ElapsedSeconds::ElapsedSeconds(const Clock& clock) : m_clock(clock), m_startMs(clock.NowMs()) {}

double ElapsedSeconds::Get() const {
    return static_cast<double>(static_cast<int64_t>(m_clock.NowMs() - m_startMs)) / 1000.0;
}

double GetElapsedSeconds() {
    // Started by the first call; a function-local static is safe to start from any thread.
    static const ElapsedSeconds clock(SystemClock::Instance());
    return clock.Get();
}

int RoundUpTo10(int n) {
    if (n < 1) return 0;
    if (n < 10) return 10;
    return Saturate((int64_t{n} + 9) / 10 * 10);
}

int RoundUpTo100(int n) {
    if (n < 100) return 100;
    return Saturate((int64_t{n} + 99) / 100 * 100);
}

int PackRGB(const unsigned char* bytes) { return bytes[0] + bytes[1] * 256 + bytes[2] * 65536; }

void UnpackRGB(int colour, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>(colour & 0xFF);
    bytes[1] = static_cast<unsigned char>((colour >> 8) & 0xFF);
    bytes[2] = static_cast<unsigned char>((colour >> 16) & 0xFF);
}
