// Plane geometry shared by the scope, the target builders, the conflict alert
// and the 3-D camera, plus a few numeric helpers. Positions are (x, y) pairs:
// for geographic use x is the longitude and y the latitude in degrees, and a
// longitude difference times LongitudeScale is in degrees of latitude (60 NM).
// Headings and bearings are compass degrees, north being 360 rather than 0.
// Tested by tests/foundation/geo_helpers_test.cpp.
#pragma once

#include <cstdint>

class Clock;

// NM per degree of longitude over NM per degree of latitude of the sector on
// the primary display; 1.0 until a sector is loaded. Only the sector load of
// the primary display writes it, on the main thread.
extern double LongitudeScale;

// The pi of the whole program: fourteen decimals, not the full double.
inline constexpr double kPi = 3.14159265358979;

struct PlanarOffset {
    double x;  // east
    double y;  // north
};

double DegToRad(double degrees);
double RadToDeg(double radians);
double ScaledDistance(double x1, double y1, double x2, double y2, double scale);
// The (east, north) offset of a distance along a compass heading.
PlanarOffset PolarOffset(double distance, double heading);
// Adds or subtracts 360 at most once to bring a heading into 1 to 360.
double NormalizeHeading(double heading);
double ReciprocalHeading(double heading);
// Compass bearing from point 1 to point 2 in (0, 360]; with useScale the
// x difference is multiplied by LongitudeScale. Two equal points give 90.
double BearingBetween(double x1, double y1, double x2, double y2, bool useScale);
void Midpoint(double x1, double y1, double x2, double y2, double* mx, double* my);
// The angle negated into (0, 360]: 0 gives 360, 90 gives 270, -90 gives 90.
double NormalizeHeading360(double angle);
// The angle negated into [-180, 180): 90 gives -90, 270 gives 90.
double HeadingFold(double angle);

// Seconds since the first call, on the process's monotonic clock. Any thread.
double GetElapsedSeconds();

// The same clock over a given Clock, so tests can move time by hand.
class ElapsedSeconds {
public:
    explicit ElapsedSeconds(const Clock& clock);
    double Get() const;

private:
    const Clock& m_clock;
    uint64_t m_startMs;
};

// 0 for n below 1, else n rounded up to a multiple of 10 (saturating).
int RoundUpTo10(int n);
// 100 for n below 100, else n rounded up to a multiple of 100 (saturating).
int RoundUpTo100(int n);

// bytes[0] red in bits 0 to 7, bytes[1] green in 8 to 15, bytes[2] blue in 16 to 23.
int PackRGB(const unsigned char* bytes);
void UnpackRGB(int colour, unsigned char* bytes);
