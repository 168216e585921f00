// The program's name and version, as the window titles, the about box and
// the network identification show them. Covered through
// tests/app/display_layout_test.cpp and tests/net/network_manager_test.cpp.
#pragma once

inline constexpr const char* kProgramName = "Tarq";
inline constexpr const char* kProgramVersion = "1.2.3";
