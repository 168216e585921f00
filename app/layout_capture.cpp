// Tested by tests/app/layout_capture_test.cpp.
#include "app/layout_capture.h"

namespace {

ScopePoint Absolute(const TarqScopeLayoutSource& scope, ScopePoint point) {
    scope.RemoveOffset(point);
    return point;
}

}  // namespace

TarqDisplaySettings CaptureDisplaySettings(const DisplayWindowPlace& place,
                                           const TarqScopeLayoutSource& scope,
                                           const std::string& colorProfile) {
    TarqDisplaySettings s;
    const ScreenRect& rect = place.minimized ? place.restoredRect : place.rect;
    s.LocX = rect.left;
    s.LocY = rect.top;
    s.Width = rect.right - rect.left;
    s.Height = rect.bottom - rect.top;
    s.Minimized = place.minimized;
    s.Maximized = place.maximized;
    ScopePoint center = Absolute(scope, scope.GetCenter());
    s.CenterLon = center.x;
    s.CenterLat = center.y;
    ScopePoint ring = Absolute(scope, scope.GetRangeRingCenter());
    s.RingLon = ring.x;
    s.RingLat = ring.y;
    s.Zoom = scope.GetZoom();
    s.Mode = scope.GetRadarMode();
    s.SectorFile = scope.GetSectorFileName();
    s.VisibleSIDs = scope.GetVisibleItems(VisibleItemKind::SIDs);
    s.VisibleSTARs = scope.GetVisibleItems(VisibleItemKind::STARs);
    s.VisibleFixes = scope.GetVisibleItems(VisibleItemKind::Fixes);
    s.VisibleVORs = scope.GetVisibleItems(VisibleItemKind::VORs);
    s.VisibleNDBs = scope.GetVisibleItems(VisibleItemKind::NDBs);
    s.VisibleAirports = scope.GetVisibleItems(VisibleItemKind::Airports);
    s.VisibleCenterlines = scope.GetVisibleItems(VisibleItemKind::Centerlines);
    s.VisibleAirways = scope.GetVisibleItems(VisibleItemKind::Airways);
    s.Toggles = scope.GetShowMask();
    ScopePoint camera = Absolute(scope, scope.GetCameraPosition());
    s.CameraLon = camera.x;
    s.CameraLat = camera.y;
    s.CameraAlt = scope.GetCameraAltitudeFeet();
    s.TerrainAlt = scope.GetMinCameraAltitude();
    s.ColorProfile = colorProfile;
    s.AirspaceFloor = scope.GetAirspaceFloor();
    s.AirspaceCeiling = scope.GetAirspaceCeiling();
    s.ShowTargetsAboveCeiling = scope.GetShowSymbolsAboveCeiling();
    s.ShowTagsAboveCeiling = scope.GetShowTagsAboveCeiling();
    s.ShowTargetsBelowFloor = scope.GetShowSymbolsBelowFloor();
    s.ShowTagsBelowFloor = scope.GetShowTagsBelowFloor();
    return s;
}
