// An anchor of the scope's anchor tool: the line from an aircraft to a point
// with its bearing, distance and time to go. The scope keeps one per callsign
// and the target record carries a copy. Plain data; no test of its own.
#pragma once

#include <string>

#include "atc/scope_point.h"

struct AnchorRecord {
    std::string callsign;
    std::string pointName;  // empty for a point picked with the mouse
    ScopePoint point;
    int heading = 0;
    double distance = 0.0;  // NM
    std::string timeToGo;
};

// "m:ss", or "h:mm:ss" from an hour on.
std::string FormatTimeToGo(int seconds);
