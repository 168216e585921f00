// Convergence search. Tested by tests/scope/scope_tools_test.cpp.
#include "scope/convergence.h"

#include "foundation/geo_helpers.h"

namespace {

constexpr int kMaxSteps = 760;
constexpr double kStepSeconds = 5.0;
// A first step that closes by less than this (degrees) is not converging.
constexpr double kMinClosing = 0.0001;

bool Valid(int speed, double heading) { return heading >= 0.0 && heading <= 360.0 && speed >= 1 && speed <= 10000; }

ScopePoint Step(ScopePoint p, int speed, double heading) {
    PlanarOffset o = PolarOffset(speed / 3600.0 / 60.0 * kStepSeconds, heading);
    return {p.x + o.x / LongitudeScale, p.y + o.y};
}

}  // namespace

ConvergenceResult ComputeConvergence(ScopePoint a, int speedA, double headingA, ScopePoint b, int speedB,
                                     double headingB) {
    ConvergenceResult result;
    if (!Valid(speedA, headingA) || !Valid(speedB, headingB)) return result;
    double distance = ScaledDistance(a.x, a.y, b.x, b.y, LongitudeScale);
    for (int i = 1; i <= kMaxSteps; ++i) {
        ScopePoint na = Step(a, speedA, headingA);
        ScopePoint nb = Step(b, speedB, headingB);
        double next = ScaledDistance(na.x, na.y, nb.x, nb.y, LongitudeScale);
        if (i == 1 && !(next < distance - kMinClosing)) {
            result.status = ConvergenceStatus::NotConverging;
            return result;
        }
        if (next >= distance) {
            result.status = ConvergenceStatus::Converging;
            result.closestA = a;
            result.closestB = b;
            result.distanceNm = distance * 60.0;
            result.minutes = (i - 1) * kStepSeconds / 60.0;
            return result;
        }
        a = na;
        b = nb;
        distance = next;
    }
    result.status = ConvergenceStatus::TooLong;
    return result;
}

const char* ConvergenceMessage(ConvergenceStatus status) {
    switch (status) {
        case ConvergenceStatus::Converging: return "";
        case ConvergenceStatus::InvalidInput:
            return "Invalid speed and/or heading detected on one of the selected targets.";
        case ConvergenceStatus::NotConverging: return "Targets not converging.";
        case ConvergenceStatus::TooLong: return "Targets will not converge within one hour.";
    }
    return "";
}
