// Closest approach of two aircraft flying straight on: 5-second steps for at
// most 760 steps (63 min 20 s). Tested by tests/scope/scope_tools_test.cpp.
#pragma once

#include "atc/scope_point.h"

enum class ConvergenceStatus { Converging, InvalidInput, NotConverging, TooLong };

struct ConvergenceResult {
    ConvergenceStatus status = ConvergenceStatus::InvalidInput;
    ScopePoint closestA;  // same frame as the inputs
    ScopePoint closestB;
    double distanceNm = 0.0;  // at the closest approach
    double minutes = 0.0;     // until then
};

// Positions in degrees (x longitude); speeds in knots; headings in degrees.
ConvergenceResult ComputeConvergence(ScopePoint a, int speedA, double headingA, ScopePoint b, int speedB,
                                     double headingB);

// The message line a failed search shows; empty when converging.
const char* ConvergenceMessage(ConvergenceStatus status);
