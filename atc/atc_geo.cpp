// Plane-geometry helpers of the ATC state. Tested by tests/atc/atc_geo_test.cpp.
#include "atc/atc_geo.h"

#include <cmath>

namespace atcgeo {
namespace {

// The value of pi the shared helpers use (fourteen decimals), so bearings
// match the rest of the program to the last bit.
constexpr double kPi = 3.14159265358979;
constexpr double kDegToRad = 0.017453292519943278;

double g_longitudeScale = 1.0;

double NormalizeHeading(double x) {
    if (x < 1) return x + 360;
    if (x > 360) return x - 360;
    return x;
}

}  // namespace

double LongitudeScale() { return g_longitudeScale; }
void SetLongitudeScale(double scale) { g_longitudeScale = scale; }

double ScaledDistance(double x1, double y1, double x2, double y2, double k) {
    const double dx = std::fabs(x2 - x1) * k;
    const double dy = std::fabs(y2 - y1);
    return std::sqrt(dx * dx + dy * dy);
}

double BearingBetween(double x1, double y1, double x2, double y2, bool useScale) {
    double dx = x2 - x1;
    if (useScale) dx *= g_longitudeScale;
    const double dy = y2 - y1;
    if (dy == 0) return dx < 0 ? 270 : 90;
    if (dx == 0) return dy < 0 ? 180 : 360;
    double theta = std::atan(dy / dx) * 180 / kPi;
    if (dx < 0) theta += 180;
    return NormalizeHeading(360 - theta + 90);
}

ScopePoint PolarOffset(double d, double h) {
    double a = 360 - h + 90;
    if (a >= 360) a -= 360;
    return {std::cos(a * kDegToRad) * d, std::sin(a * kDegToRad) * d};
}

}  // namespace atcgeo
