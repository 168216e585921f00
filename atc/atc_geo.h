// The few plane-geometry helpers the ATC state needs (distance with the
// longitude scale, compass bearing, offset along a heading). They follow the
// shared geographic helpers exactly and are kept here, in one place, until
// those helpers are available to this library; then these forward to them.
// Tested by tests/atc/atc_geo_test.cpp.
#pragma once

#include "atc/scope_point.h"

namespace atcgeo {

// The program-wide longitude scale factor (NM per degree of longitude over
// NM per degree of latitude of the loaded sector); 1.0 before any sector.
double LongitudeScale();
void SetLongitudeScale(double scale);

// sqrt((|x2 - x1| * k)^2 + (y2 - y1)^2), in degrees of latitude.
double ScaledDistance(double x1, double y1, double x2, double y2, double k);

// Compass bearing (0, 360] from point 1 to point 2; the x difference is
// multiplied by LongitudeScale() when useScale is set.
double BearingBetween(double x1, double y1, double x2, double y2, bool useScale);

// (dx, dy) of a distance d laid off along compass heading h.
ScopePoint PolarOffset(double d, double h);

}  // namespace atcgeo
