// TarqDisplaySettings: the settings record of one display window, passed by
// value between the profile, the display manager and the display windows.
// Tested through tests/foundation/profile_save_test.cpp.
#pragma once

#include <string>
#include <vector>

struct TarqDisplaySettings {
    int LocX = 0;  // window rectangle, screen pixels
    int LocY = 0;
    int Width = 0;
    int Height = 0;
    double CenterLon = 0.0;  // degrees
    double CenterLat = 0.0;
    // The profile stores no view centre: the scope centres on its sector file.
    bool CenterUnset = false;
    double RingLon = 0.0;
    double RingLat = 0.0;
    double Zoom = 0.0;
    int Mode = 0;  // radar mode number
    std::string SectorFile;
    std::vector<std::string> VisibleSIDs;
    std::vector<std::string> VisibleSTARs;
    std::vector<std::string> VisibleFixes;
    std::vector<std::string> VisibleVORs;
    std::vector<std::string> VisibleNDBs;
    std::vector<std::string> VisibleAirports;
    std::vector<std::string> VisibleCenterlines;
    std::vector<std::string> VisibleAirways;
    int Toggles = 0;         // the scope's show mask
    bool Minimized = false;  // never stored: a minimised window keeps its stored place
    bool Maximized = false;
    double CameraLon = 0.0;
    double CameraLat = 0.0;
    int CameraAlt = 0;         // feet
    int TerrainAlt = 0;        // feet
    std::string ColorProfile;  // without the ":CP:" prefix
    int AirspaceFloor = 0;     // feet
    int AirspaceCeiling = 0;   // feet
    bool ShowTargetsAboveCeiling = false;
    bool ShowTagsAboveCeiling = false;
    bool ShowTargetsBelowFloor = false;
    bool ShowTagsBelowFloor = false;
};
