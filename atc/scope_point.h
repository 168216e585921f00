// A position on the scope or in the sector records: x is longitude, y latitude,
// in degrees. The order is the reverse of the latitude-first pairs of the
// aircraft and network records. Plain data; no test of its own.
#pragma once

struct ScopePoint {
    double x = 0.0;
    double y = 0.0;

    friend bool operator==(const ScopePoint&, const ScopePoint&) = default;
};
