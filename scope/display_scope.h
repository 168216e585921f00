// TarqDisplayScope: the radar scope of one display window, without GL. It
// holds the view (projection, zoom, pan, rotation, the 3-D camera), the
// sector and its lists as data, the tools, the sticky notes and the timed
// markers, and answers the mouse, the View menu and the scope commands.
// ScopeGl (scope_gl.h) draws it. Tested by tests/scope/display_scope_test.cpp,
// scope_tools_test.cpp and sector_loading_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "atc/scope_point.h"
#include "foundation/display_settings.h"
#include "scope/anchor_record.h"
#include "scope/camera.h"
#include "scope/convergence.h"
#include "scope/draw_list.h"
#include "scope/scope_projection.h"
#include "scope/sector_lists.h"

class ScopeHost;
class ScopeTargets;
class TarqDisplay;
class SectorLibrary;
class TarqStickyBuilder;
struct LoadedSector;

inline constexpr int kRadarMode3D = 6;

// Mouse message: window pixels (y down), buttons held and modifier keys.
struct ScopeMouse {
    int x = 0;
    int y = 0;
    bool left = false;
    bool right = false;
    bool middle = false;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The tool lines and markers of one frame, in scope coordinates, worked out
// by PrepareFrame (which also ends the timed markers whose time has passed).
struct ScopeFrameOverlay {
    struct Segment {
        ScopePoint a;
        ScopePoint b;
    };
    struct Marker {
        ScopePoint point;
        std::string label;  // drawn at the marker plus (9, 9) pixels
        double radiusNm = 0.0;  // a geographic circle too when above 0
    };
    std::vector<Segment> sepLinks;
    std::vector<std::string> sepLabels;  // "%.1f" NM, one per link
    std::vector<ScopePoint> route;
    bool convergence = false;
    ConvergenceResult convergenceResult;  // scope coordinates
    ScopePoint convergenceStartA;
    ScopePoint convergenceStartB;
    std::vector<Marker> markers;  // find, visibility centres, show-location
    std::vector<Marker> anchors;  // point, label; segment from the aircraft
    std::vector<ScopePoint> anchorFrom;
    bool ruler = false;
    Segment rulerLine;
    std::string rulerText;
};

class TarqDisplayScope {
public:
    // library: where parsed sectors are shared; null gives the scope its own.
    TarqDisplayScope(ScopeHost& host, const TarqDisplaySettings& settings, SectorLibrary* library = nullptr);
    virtual ~TarqDisplayScope();
    TarqDisplayScope(const TarqDisplayScope&) = delete;
    TarqDisplayScope& operator=(const TarqDisplayScope&) = delete;

    void SetTargets(ScopeTargets* targets) { m_targets = targets; }
    ScopeTargets* GetTargets() const { return m_targets; }
    ScopeHost& Host() { return m_host; }
    TarqDisplay* GetDisplay();

    // Has the display draw a frame now; resetProjection reads its size again.
    void Draw(bool resetProjection) { Redraw(resetProjection); }
    // Taken only when the display uses that colour profile; the frame's
    // clear colour (24-bit, red in the low byte).
    void SetBackgroundColor(const std::string& colorProfile, int rgb);
    int GetBackgroundColor() const { return m_background; }

    // Projection.
    void SetViewportSize(int width, int height);
    PixelPoint GetViewportSize() const { return {m_projection.Width(), m_projection.Height()}; }
    const ScopeProjection& Projection() const { return m_projection; }
    PixelPoint ProjectToScreen(ScopePoint point) const { return m_projection.ProjectToScreen(point); }
    PixelPoint ProjectToWindow(ScopePoint point) const { return m_projection.ProjectToWindow(point); }
    double ScaleAroundCamera(double x) const;
    void AddOffset(ScopePoint& point) const;
    void RemoveOffset(ScopePoint& point) const;
    ScopePoint GetSectorOffset() const { return m_offset; }

    // View.
    ScopePoint GetCenter() const { return m_projection.GetCenter(); }
    void SetCenter(ScopePoint center) { m_projection.SetCenter(center); }
    void SetCenterAndRedraw(ScopePoint center);
    double GetZoom() const { return m_projection.GetZoom(); }
    void SetZoom(double zoom) { m_projection.SetZoom(zoom); }
    void ZoomIn(bool fast);
    void ZoomOut(bool fast);
    double GetRotation() const { return m_projection.GetRotation(); }
    PixelPoint GetMousePixel() const { return m_mousePixel; }
    ScopePoint GetMousePosition() const { return m_mousePosition; }
    // The mouse position in absolute degrees, latitude first, as the readout
    // and the clipboard give it ("FormatMouseCoordsDMS" or "%.5f %.5f").
    std::string FormatMousePosition() const;
    ScopePoint GetRangeRingCenter() const { return m_ringCenter; }
    void SetRangeRingCenter(ScopePoint center);
    uint32_t GetShowMask() const { return m_showMask; }
    int GetRadarMode() const { return m_radarMode; }
    void SetRadarMode(int mode);
    TarqStickyBuilder* GetStickyBuilder() { return m_sticky.get(); }

    // Altitude filter and quicklook.
    int GetAirspaceFloor() const { return m_floor; }
    void SetAirspaceFloor(int feet) { m_floor = feet; }
    int GetAirspaceCeiling() const { return m_ceiling; }
    void SetAirspaceCeiling(int feet) { m_ceiling = feet; }
    bool AreFiltersEnabled() const { return m_filtersEnabled; }
    void ToggleFilters();
    bool IsQuicklookEnabled() const { return m_quicklook; }
    void ToggleQuicklook();
    bool GetShowTargetsAboveCeiling() const { return m_showTargetsAboveCeiling; }
    void SetShowTargetsAboveCeiling(bool on) { m_showTargetsAboveCeiling = on; }
    bool GetShowTagsAboveCeiling() const { return m_showTagsAboveCeiling; }
    void SetShowTagsAboveCeiling(bool on) { m_showTagsAboveCeiling = on; }
    bool GetShowTargetsBelowFloor() const { return m_showTargetsBelowFloor; }
    void SetShowTargetsBelowFloor(bool on) { m_showTargetsBelowFloor = on; }
    bool GetShowTagsBelowFloor() const { return m_showTagsBelowFloor; }
    void SetShowTagsBelowFloor(bool on) { m_showTagsBelowFloor = on; }
    void Declutter();
    void ToggleSepRings();

    // Mouse.
    bool OnLeftButtonDown(const ScopeMouse& mouse);
    void OnLeftButtonUp(const ScopeMouse& mouse);
    bool OnMiddleButtonDown(const ScopeMouse& mouse);
    void OnRightButtonDown(const ScopeMouse& mouse);
    void OnRightDoubleClick(const ScopeMouse& mouse);
    void OnMouseMove(const ScopeMouse& mouse);
    void StartRuler();
    bool IsRulerActive() const { return m_rulerActive; }
    void SetRulerData(int heading, double distance);
    void GetRulerData(int& heading, double& distance) const;

    // Flips one show-mask bit and rebuilds the sector list it changes; false
    // for a value that is not a show bit (the display then only rebuilds its
    // menus).
    bool ToggleShowBit(uint32_t bit);

    // 3-D view.
    Camera& GetCamera() { return m_camera; }
    double GetFieldOfViewFactor() const { return m_fovFactor; }
    void SetCameraAltitudeFeet(int feet);
    int GetCameraAltitudeFeet() const;
    ScopePoint GetCameraPosition() const;
    void SetMinCameraAltitude(int feet) { m_minCameraAltitude = feet; }
    int GetMinCameraAltitude() const { return m_minCameraAltitude; }
    void SetCameraToPoint(const std::string& name);
    void SetSpotView(const std::string& callsign, bool orbit);
    const std::string& GetSpotViewCallsign() const { return m_spotCallsign; }
    bool IsSpotViewOrbit() const { return m_spotOrbit; }
    // Moves the camera for this frame when a spot view follows an aircraft;
    // clears a spot view whose aircraft is gone.
    void UpdateSpotViewCamera();

    // Named points and tools.
    bool LookupNamedPoint(const std::string& name, ScopePoint& point, ElementKind& kind) const;
    bool FindNamedPoint(const std::string& name, ScopePoint& point) const;
    void CenterOnPoint(const std::string& name);
    void SetRingCenterToPoint(const std::string& name);
    void FindPoint(const std::string& name);
    void ShowLocation(const std::string& label, ScopePoint point, double rangeNm = 0.0);
    void SetVisibilityCenter(int index, ScopePoint absolute);
    ScopePoint GetVisibilityCenter(int index) const;
    bool IsVisibilityCenterSet(int index) const;
    void SetVisibilityCenterToPoint(int index, const std::string& name);
    void ClearVisibilityCenters(bool message);
    void ShowVisibilityCenters();
    bool HasPrimaryVisibilityCenter() const { return m_primaryVisSet; }
    void ShowConvergence(const std::string& a, const std::string& b);
    void AddAnchor(const std::string& callsign, const std::string& pointName, ScopePoint point);
    bool GetAnchor(const std::string& callsign, AnchorRecord& out) const;
    void RemoveAnchors(const std::string& callsign);
    void AddSeparationLink(const std::string& a, const std::string& b);
    void ClearSeparationLinks() { m_sepLinks.clear(); }
    void RemoveSeparationLinks(const std::string& callsign);
    const std::map<std::string, std::string>& GetSeparationLinks() const { return m_sepLinks; }
    void HideItems(int kind);
    void MarkPointout(const std::string& callsign);

    // Diagrams and items shown one by one.
    void BuildDiagramList();
    void ShowDiagrams(const std::string& names);
    void ClearDiagrams();
    void ShowItems(const std::string& names, int kind, bool addOnly);
    std::vector<std::string> GetSelectedSIDs() const { return m_shown.sids; }
    std::vector<std::string> GetSelectedSTARs() const { return m_shown.stars; }
    void SetSelectedSIDs(std::vector<std::string> names);
    void SetSelectedSTARs(std::vector<std::string> names);
    const ShownItems& GetShownItems() const { return m_shown; }
    // The North Atlantic tracks the frame draws, by name (the oceanic dialog's selection).
    const std::set<std::string>& GetShownOceanicTracks() const { return m_oceanicTracks; }
    void SetShownOceanicTracks(std::set<std::string> names);

    // Sector loading and route display.
    bool LoadSectorFile(const std::string& path, bool announce);
    void ReloadSectorFile();
    void RebuildDisplayLists(uint32_t mask);
    void PlotRoute(const std::string& routeText, bool showItems);
    void ShowRoute(const std::string& callsign, bool showItems);
    const std::string& GetSectorFileName() const { return m_sectorPath; }
    const TarqSectorData& GetSectorData() const;

    // The frame: the sector lists as data, each with a generation that moves
    // on whenever it is rebuilt, and the per-frame tool overlay.
    const DrawList& GetSectorList(SectorListId id) const { return m_lists[static_cast<int>(id)]; }
    uint64_t GetListGeneration(SectorListId id) const { return m_generations[static_cast<int>(id)]; }
    ScopeFrameOverlay PrepareFrame();
    // The overlay the next frame would show, without counting a frame (the
    // timed markers whose time has passed end here too).
    ScopeFrameOverlay CurrentOverlay();
    int GetFrameCount() const { return m_frames; }
    // While a sector file is parsed: the frame drawn then shows the loading box.
    bool IsLoading() const { return m_loading; }
    // Deadlines in whole seconds; 0 is off.
    int64_t GetFindDeadline() const { return m_findDeadline; }
    int64_t GetRouteDeadline() const { return m_routeDeadline; }
    int64_t GetConvergenceDeadline() const { return m_convergenceDeadline; }
    int64_t GetVisibilityDeadline() const { return m_visDeadline; }
    int64_t GetShowLocationDeadline() const { return m_showLocDeadline; }

    // The view as the display saves it into the profile.
    void CaptureSettings(TarqDisplaySettings& settings) const;

private:
    void RebuildList(SectorListId id);
    void Redraw(bool resetProjection);
    ScopePoint UpdateMousePosition(const ScopeMouse& mouse);
    void CopyMouseToClipboard();
    bool SetIfExpired(int64_t& deadline, int64_t now);

    ScopeHost& m_host;
    int m_background = 0;
    std::unique_ptr<SectorLibrary> m_ownLibrary;
    SectorLibrary* m_library;
    ScopeTargets* m_targets = nullptr;

    ScopeProjection m_projection;
    PixelPoint m_mousePixel;
    PixelPoint m_previousMouse;
    ScopePoint m_mousePosition;
    ScopePoint m_ringCenter;
    struct VisibilityCenter {
        ScopePoint position;  // absolute degrees
        bool set = false;     // (0, 0) is a real place on the equator
    };
    std::array<VisibilityCenter, 4> m_visCenters{};
    bool m_primaryVisSet = false;
    uint32_t m_showMask = 0;
    bool m_initialising = true;
    bool m_rulerActive = false;
    std::string m_sectorPath;
    std::set<std::string> m_oceanicTracks;
    std::shared_ptr<const LoadedSector> m_sector;
    int64_t m_convergenceDeadline = 0;
    std::string m_convergenceA;
    std::string m_convergenceB;
    ShownItems m_shown;
    int m_radarMode = 0;
    ScopePoint m_rulerAnchor;
    int m_rulerHeading = 0;
    double m_rulerDistance = 0.0;
    int64_t m_findDeadline = 0;
    ScopePoint m_findPoint;
    int64_t m_visDeadline = 0;
    int64_t m_showLocDeadline = 0;
    ScopePoint m_showLocPoint;
    std::string m_showLocLabel;
    double m_showLocRange = 0.0;
    std::map<std::string, AnchorRecord> m_anchors;
    std::map<std::string, std::string> m_sepLinks;
    ScopePoint m_offset;
    std::unique_ptr<TarqStickyBuilder> m_sticky;
    std::vector<ScopePoint> m_route;
    int64_t m_routeDeadline = 0;
    int m_floor = 0;
    int m_ceiling = 0;
    bool m_filtersEnabled = true;
    bool m_quicklook = false;
    bool m_showTargetsAboveCeiling = false;
    bool m_showTagsAboveCeiling = false;
    bool m_showTargetsBelowFloor = false;
    bool m_showTagsBelowFloor = false;
    std::array<DrawList, kSectorListCount> m_lists;
    std::array<uint64_t, kSectorListCount> m_generations{};
    double m_fovFactor = 1.0;
    Camera m_camera;
    int m_minCameraAltitude = 0;
    std::string m_spotCallsign;
    bool m_spotOrbit = false;
    double m_orbitAzimuth = -1.0;
    double m_orbitElevation = 100.0;
    CameraVector m_savedCamera;
    bool m_hasSavedCamera = false;
    int m_frames = 0;
    bool m_loading = false;
    TarqDisplaySettings m_settingsExtras;  // what the scope does not own but hands back
};
