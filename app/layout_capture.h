// Turns one open display window into the settings record a profile saves:
// the window's place and state, and its scope's view. The display window
// gathers its place; the scope answers through TarqScopeLayoutSource.
// Tested by tests/app/layout_capture_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "foundation/display_settings.h"
#include "foundation/tool_window_place.h"

// A point in the scope's coordinates: x east (longitude), y north (latitude).
struct ScopePoint {
    double x = 0.0;
    double y = 0.0;
};

enum class VisibleItemKind { SIDs, STARs, Fixes, VORs, NDBs, Airports, Centerlines, Airways };

// What the capture reads of a display's scope.
class TarqScopeLayoutSource {
public:
    virtual ~TarqScopeLayoutSource() = default;
    // Scope-relative points; RemoveOffset turns one into absolute degrees.
    virtual ScopePoint GetCenter() const = 0;
    virtual ScopePoint GetRangeRingCenter() const = 0;
    virtual ScopePoint GetCameraPosition() const = 0;
    virtual void RemoveOffset(ScopePoint& point) const = 0;
    virtual double GetZoom() const = 0;
    virtual int GetRadarMode() const = 0;
    virtual std::string GetSectorFileName() const = 0;
    virtual std::vector<std::string> GetVisibleItems(VisibleItemKind kind) const = 0;
    virtual int GetShowMask() const = 0;
    virtual int GetCameraAltitudeFeet() const = 0;
    virtual int GetMinCameraAltitude() const = 0;
    virtual int GetAirspaceFloor() const = 0;
    virtual int GetAirspaceCeiling() const = 0;
    virtual bool GetShowSymbolsAboveCeiling() const = 0;
    virtual bool GetShowTagsAboveCeiling() const = 0;
    virtual bool GetShowSymbolsBelowFloor() const = 0;
    virtual bool GetShowTagsBelowFloor() const = 0;
};

// The window's place as the toolkit reports it.
struct DisplayWindowPlace {
    ScreenRect rect;          // as it stands
    ScreenRect restoredRect;  // the place it has when neither minimised nor maximised
    bool minimized = false;
    bool maximized = false;
};

// A minimised window is saved at its restored place, so the next session does
// not open it off screen; a maximised one keeps its rectangle and flag.
TarqDisplaySettings CaptureDisplaySettings(const DisplayWindowPlace& place,
                                           const TarqScopeLayoutSource& scope,
                                           const std::string& colorProfile);
