// A hand-written matcher for the sector line forms: the reference for the
// pattern engine in sector_line_patterns_test.cpp.
#pragma once

#include <string>

#include "atc/sector_line_patterns.h"

// What SectorLinePatterns::Match gives, group 0 excepted (left empty).
bool ReferenceMatch(SectorPattern which, const std::string& line, SectorGroups& groups);
