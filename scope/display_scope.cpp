// The scope without GL. Tested by tests/scope/display_scope_test.cpp,
// scope_tools_test.cpp and sector_loading_test.cpp.
#include "scope/display_scope.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/geo_helpers.h"
#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"
#include "scope/scope_host.h"
#include "scope/scope_targets.h"
#include "scope/sector_library.h"
#include "scope/sticky_builder.h"

namespace {

const char* const kNotFound = "Fix, airport or navaid not found.";
constexpr int64_t kMarkerSeconds = 5;
constexpr int64_t kConvergenceSeconds = 7;
// 100 ft in degrees of height: one fast zoom step of the 3-D camera.
constexpr float kFastZoomStep = 0.0002743f;
// Where an announced load puts the 3-D camera: about 911 ft up.
constexpr float kLoadCameraHeight = 0.0025f;
// The spot view's orbit distance from the aircraft, degrees.
constexpr double kOrbitDistance = 0.008;

const TarqSectorData& EmptySector() {
    static const TarqSectorData empty;
    return empty;
}

// Appends a name that is absent; removes a present one unless addOnly.
void Toggle(std::vector<std::string>& names, const std::string& name, bool addOnly) {
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) names.push_back(name);
    else if (!addOnly) names.erase(it);
}

// The sector list each show bit changes; the other bits only redraw.
struct BitList {
    uint32_t bit;
    SectorListId list;
};
constexpr BitList kBitLists[] = {
    {ShowBit::Airports, SectorListId::Airports},
    {ShowBit::AirportLabels, SectorListId::Airports},
    {ShowBit::AirportFreqs, SectorListId::Airports},
    {ShowBit::Runways, SectorListId::Runways},
    {ShowBit::Centerlines, SectorListId::Centerlines},
    {ShowBit::Fixes, SectorListId::Fixes},
    {ShowBit::FixLabels, SectorListId::Fixes},
    {ShowBit::Vors, SectorListId::Vors},
    {ShowBit::VorLabels, SectorListId::Vors},
    {ShowBit::VorFreqs, SectorListId::Vors},
    {ShowBit::Ndbs, SectorListId::Ndbs},
    {ShowBit::NdbLabels, SectorListId::Ndbs},
    {ShowBit::NdbFreqs, SectorListId::Ndbs},
    {ShowBit::LowAirways, SectorListId::LowAirways},
    {ShowBit::LowAirwayLabels, SectorListId::LowAirways},
    {ShowBit::HighAirways, SectorListId::HighAirways},
    {ShowBit::HighAirwayLabels, SectorListId::HighAirways},
};

// The order of a full rebuild; the diagrams come between the airways and
// the airports and are rebuilt by every call.
constexpr SectorListId kRebuildOrder[] = {
    SectorListId::RangeRings, SectorListId::Geography,   SectorListId::LowBoundaries, SectorListId::HighBoundaries,
    SectorListId::ArtccBoundaries, SectorListId::LowAirways, SectorListId::HighAirways, SectorListId::Diagrams,
    SectorListId::Airports,   SectorListId::Runways,     SectorListId::Centerlines,   SectorListId::Fixes,
    SectorListId::Ndbs,       SectorListId::Vors,        SectorListId::Regions,       SectorListId::Labels};

// Shows the busy cursor until the end of the scope, whatever path leaves it.
class BusyCursor {
public:
    explicit BusyCursor(ScopeHost& host) : m_host(host) { m_host.SetBusyCursor(true); }
    ~BusyCursor() { m_host.SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    ScopeHost& m_host;
};

}  // namespace

std::string FormatTimeToGo(int seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

TarqDisplayScope::TarqDisplayScope(ScopeHost& host, const TarqDisplaySettings& settings, SectorLibrary* library)
    : m_host(host), m_library(library) {
    if (!m_library) {
        m_ownLibrary = std::make_unique<SectorLibrary>();
        m_library = m_ownLibrary.get();
    }
    m_settingsExtras = settings;
    m_projection.SetZoom(settings.Zoom > 0.0 ? settings.Zoom : 1.0);
    m_showMask = static_cast<uint32_t>(settings.Toggles);
    m_radarMode = settings.Mode;
    m_shown.sids = settings.VisibleSIDs;
    m_shown.stars = settings.VisibleSTARs;
    m_shown.fixes = settings.VisibleFixes;
    m_shown.vors = settings.VisibleVORs;
    m_shown.ndbs = settings.VisibleNDBs;
    m_shown.airports = settings.VisibleAirports;
    m_shown.centerlines = settings.VisibleCenterlines;
    m_shown.airways = settings.VisibleAirways;
    m_floor = settings.AirspaceFloor;
    m_ceiling = settings.AirspaceCeiling;
    m_showTargetsAboveCeiling = settings.ShowTargetsAboveCeiling;
    m_showTagsAboveCeiling = settings.ShowTagsAboveCeiling;
    m_showTargetsBelowFloor = settings.ShowTargetsBelowFloor;
    m_showTagsBelowFloor = settings.ShowTagsBelowFloor;
    ClearVisibilityCenters(false);
    m_sticky = std::make_unique<TarqStickyBuilder>(*this, host);
    m_minCameraAltitude = settings.TerrainAlt;

    m_initialising = true;
    if (!settings.SectorFile.empty()) LoadSectorFile(settings.SectorFile, false);
    m_initialising = false;

    ScopePoint center{settings.CenterLon, settings.CenterLat};
    if (settings.CenterUnset && m_sector) {
        center = m_sector->data.centre;
        RemoveOffset(center);
    }
    ScopePoint ring{settings.RingLon, settings.RingLat};
    ScopePoint camera{settings.CameraLon, settings.CameraLat};
    if (ring.x == 0.0 && ring.y == 0.0) ring = center;
    if (camera.x == 0.0 && camera.y == 0.0) camera = center;
    AddOffset(center);
    AddOffset(ring);
    AddOffset(camera);
    m_projection.SetCenter(center);
    m_ringCenter = ring;
    RebuildDisplayLists(ShowBit::RangeRings);
    m_camera.SetPosition(static_cast<float>(camera.x), static_cast<float>(settings.CameraAlt / kFeetPerDegree),
                         static_cast<float>(-camera.y));
}

TarqDisplayScope::~TarqDisplayScope() {
    if (m_host.GetCaptureScope() == this) m_host.SetCaptureScope(nullptr);
}

// --- projection and view ---

void TarqDisplayScope::SetViewportSize(int width, int height) { m_projection.SetViewport(width, height); }

double TarqDisplayScope::ScaleAroundCamera(double x) const {
    double cx = m_camera.GetPosition().x;
    return cx + (x - cx) * LongitudeScale;
}

void TarqDisplayScope::AddOffset(ScopePoint& point) const {
    point.x += m_offset.x;
    point.y += m_offset.y;
}

void TarqDisplayScope::RemoveOffset(ScopePoint& point) const {
    point.x -= m_offset.x;
    point.y -= m_offset.y;
}

TarqDisplay* TarqDisplayScope::GetDisplay() { return m_host.GetDisplay(); }

void TarqDisplayScope::SetBackgroundColor(const std::string& colorProfile, int rgb) {
    if (colorProfile == m_host.GetColorProfileName()) m_background = rgb;
}

void TarqDisplayScope::Redraw(bool resetProjection) {
    if (!m_initialising) m_host.Redraw(resetProjection);
}

void TarqDisplayScope::SetCenterAndRedraw(ScopePoint center) {
    m_projection.SetCenter(center);
    Redraw(true);
}

void TarqDisplayScope::ZoomIn(bool fast) {
    if (m_radarMode != kRadarMode3D) {
        m_projection.ZoomIn(fast);
    } else if (fast) {
        m_camera.MoveUp(-kFastZoomStep);
        float floor = static_cast<float>(m_minCameraAltitude / kFeetPerDegree);
        CameraVector p = m_camera.GetPosition();
        if (p.y < floor) m_camera.SetPosition(p.x, floor, p.z);
    } else {
        m_fovFactor -= 0.1;
        if (!(m_fovFactor > 0.05)) m_fovFactor = 0.05;
    }
    Redraw(true);
}

void TarqDisplayScope::ZoomOut(bool fast) {
    if (m_radarMode != kRadarMode3D) {
        m_projection.ZoomOut(fast);
    } else if (fast) {
        m_camera.MoveUp(kFastZoomStep);
    } else {
        m_fovFactor = std::min(m_fovFactor + 0.1, 1.0);
    }
    Redraw(true);
}

void TarqDisplayScope::SetRangeRingCenter(ScopePoint center) {
    m_ringCenter = center;
    RebuildList(SectorListId::RangeRings);
}

void TarqDisplayScope::SetRadarMode(int mode) {
    if (mode != m_radarMode) {
        m_radarMode = mode;
        if (m_targets) m_targets->SetRadarMode(mode);
        m_host.RebuildMenus();
    }
    Redraw(true);
}

void TarqDisplayScope::ToggleFilters() {
    m_filtersEnabled = !m_filtersEnabled;
    m_host.UpdateTitle();
}

void TarqDisplayScope::ToggleQuicklook() {
    m_quicklook = !m_quicklook;
    m_host.UpdateTitle();
}

void TarqDisplayScope::Declutter() {
    if (m_targets) m_targets->Declutter();
}

void TarqDisplayScope::ToggleSepRings() {
    if (m_targets) m_targets->ToggleSepRings();
}

// --- mouse ---

ScopePoint TarqDisplayScope::UpdateMousePosition(const ScopeMouse& mouse) {
    m_mousePixel = {mouse.x, mouse.y};
    m_mousePosition = m_projection.WindowToPoint(mouse.x, mouse.y);
    return m_mousePosition;
}

bool TarqDisplayScope::OnLeftButtonDown(const ScopeMouse& mouse) {
    if (m_targets && m_targets->OnLeftButtonDown(mouse.x, mouse.y)) return true;
    return m_sticky->OnLeftButtonDown(mouse.x, mouse.y, mouse.alt);
}

void TarqDisplayScope::OnLeftButtonUp(const ScopeMouse& mouse) {
    if (m_targets) m_targets->OnLeftButtonUp();
    m_sticky->EndDrag();
    m_rulerActive = false;
}

bool TarqDisplayScope::OnMiddleButtonDown(const ScopeMouse& mouse) {
    return m_targets && m_targets->OnMiddleButtonDown(mouse.x, mouse.y);
}

void TarqDisplayScope::OnRightButtonDown(const ScopeMouse& mouse) {
    m_previousMouse = {mouse.x, mouse.y};
    UpdateMousePosition(mouse);
    std::string selected = m_host.GetSelectedCallsign();
    if (mouse.shift && !selected.empty()) {
        AddAnchor(selected, "", m_mousePosition);
        return;
    }
    if (m_targets && m_targets->OnRightButtonDown(mouse.x, mouse.y)) return;
    m_sticky->OnRightButtonDown(mouse.x, mouse.y);
}

void TarqDisplayScope::OnRightDoubleClick(const ScopeMouse& mouse) {
    ScopePoint at = UpdateMousePosition(mouse);
    if (!mouse.ctrl) {
        SetCenterAndRedraw(at);
    } else if (!mouse.alt) {
        SetRangeRingCenter(at);
        Redraw(true);
    } else if (!mouse.shift) {
        ScopePoint absolute = at;
        RemoveOffset(absolute);
        SetVisibilityCenter(0, absolute);
        m_host.ShowInfo("Visibility center reset.");
    } else {
        CopyMouseToClipboard();
        m_host.ShowInfo("Mouse coordinates copied to clipboard.");
    }
}

std::string TarqDisplayScope::FormatMousePosition() const {
    ScopePoint p = m_mousePosition;
    RemoveOffset(p);
    if (m_host.GetBool("FormatMouseCoordsDMS"))
        return FormatLatLonDMS(p.y, true) + " " + FormatLatLonDMS(p.x, false);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.5f %.5f", p.y, p.x);
    return buffer;
}

void TarqDisplayScope::CopyMouseToClipboard() { m_host.SetClipboardText(FormatMousePosition()); }

void TarqDisplayScope::OnMouseMove(const ScopeMouse& mouse) {
    m_mousePixel = {mouse.x, mouse.y};
    int dx = mouse.x - m_previousMouse.x;
    int dy = mouse.y - m_previousMouse.y;
    if (m_radarMode != kRadarMode3D) {
        UpdateMousePosition(mouse);
        TarqDisplayScope* capture = m_host.GetCaptureScope();
        if (capture && capture != this) {
            StickyNote note;
            ScopePoint offset;
            if (capture->GetStickyBuilder()->ReleaseDraggedNote(note, offset)) {
                m_sticky->AdoptDraggedNote(note, offset);
                capture->Redraw(false);
            }
        }
        if (mouse.right) {
            m_host.HideCursor();
            m_projection.Pan(dx, dy);
            Redraw(true);
        } else if (m_rulerActive || m_sticky->IsDragging()) {
            Redraw(false);
        }
    } else {
        float f = static_cast<float>(m_fovFactor);
        if (!m_spotCallsign.empty() && mouse.right) {
            if (m_spotOrbit) {
                m_orbitAzimuth = NormalizeHeading(m_orbitAzimuth - dx * 0.5);
                m_orbitElevation = std::clamp(m_orbitElevation - dy * 0.5, -89.0, 89.0);
            }
        } else if (mouse.right && !mouse.left) {
            m_camera.Turn(dx * -0.25f * f);
            m_camera.Tilt(dy * (m_host.GetBool("InvertMouse3D") ? 0.25f : -0.25f) * f);
            Redraw(true);
        } else if (mouse.right && mouse.left) {
            m_camera.Strafe(dx * 0.0002f);
            m_camera.MoveForward(dy * 0.001f);
            Redraw(true);
        }
    }
    m_previousMouse = m_mousePixel;
}

void TarqDisplayScope::StartRuler() {
    m_rulerAnchor = m_mousePosition;
    m_rulerActive = true;
}

void TarqDisplayScope::SetRulerData(int heading, double distance) {
    m_rulerHeading = heading;
    m_rulerDistance = distance;
}

void TarqDisplayScope::GetRulerData(int& heading, double& distance) const {
    heading = m_rulerHeading;
    distance = m_rulerDistance;
}

bool TarqDisplayScope::ToggleShowBit(uint32_t bit) {
    // The show bits are contiguous from the first to the mouse location.
    const bool known = bit != 0 && (bit & (bit - 1)) == 0 && bit <= ShowBit::MouseLocation;
    if (known) {
        m_showMask ^= bit;
        for (const BitList& b : kBitLists) {
            if (b.bit == bit) RebuildList(b.list);
        }
    }
    m_host.RebuildMenus();
    if (known) Redraw(false);
    return known;
}

// --- 3-D view ---

void TarqDisplayScope::SetCameraAltitudeFeet(int feet) {
    CameraVector p = m_camera.GetPosition();
    m_camera.SetPosition(p.x, static_cast<float>(feet / kFeetPerDegree), p.z);
}

int TarqDisplayScope::GetCameraAltitudeFeet() const {
    return static_cast<int>(m_camera.GetPosition().y * kFeetPerDegree);
}

ScopePoint TarqDisplayScope::GetCameraPosition() const {
    CameraVector p = m_camera.GetPosition();
    return {p.x, -p.z};
}

void TarqDisplayScope::SetCameraToPoint(const std::string& name) {
    ScopePoint point;
    if (!FindNamedPoint(name, point)) {
        m_host.ShowError(kNotFound);
        return;
    }
    CameraVector p = m_camera.GetPosition();
    m_camera.SetPosition(static_cast<float>(point.x), p.y, static_cast<float>(-point.y));
}

void TarqDisplayScope::SetSpotView(const std::string& callsign, bool orbit) {
    std::string name = callsign;
    ScopeAircraft aircraft;
    if (!name.empty() && !m_host.FindAircraft(name, aircraft)) {
        name.clear();
        orbit = false;
    }
    m_spotCallsign = name;
    m_spotOrbit = orbit;
    if ((name.empty() || !orbit) && m_hasSavedCamera) {
        m_camera.SetPosition(m_savedCamera.x, m_savedCamera.y, m_savedCamera.z);
        m_hasSavedCamera = false;
        m_savedCamera = {};
    } else if (!name.empty() && !m_hasSavedCamera) {
        m_savedCamera = m_camera.GetPosition();
        m_hasSavedCamera = true;
    }
}

void TarqDisplayScope::UpdateSpotViewCamera() {
    if (m_spotCallsign.empty()) return;
    ScopeAircraft aircraft;
    if (!m_host.FindAircraft(m_spotCallsign, aircraft)) {
        m_spotCallsign.clear();
        return;
    }
    ScopePoint at = aircraft.smoothedPosition;
    AddOffset(at);
    float height = static_cast<float>(aircraft.smoothedAltitude / kFeetPerDegree);
    if (m_spotOrbit) {
        if (m_orbitAzimuth < 0.0) m_orbitAzimuth = ReciprocalHeading(aircraft.smoothedHeading);
        if (m_orbitElevation >= 100.0) m_orbitElevation = 5.0;
        double elevation = DegToRad(m_orbitElevation);
        PlanarOffset o = PolarOffset(std::cos(elevation) * kOrbitDistance, m_orbitAzimuth);
        double y = height + std::sin(elevation) * kOrbitDistance;
        y = std::max(y, m_minCameraAltitude / 6076.11549 / 60.0);
        m_camera.SetPosition(static_cast<float>(at.x + o.x / LongitudeScale), static_cast<float>(y),
                             static_cast<float>(-(at.y + o.y)));
    }
    m_camera.AimAt(static_cast<float>(at.x), height, static_cast<float>(-at.y));
}

// --- named points and tools ---

bool TarqDisplayScope::LookupNamedPoint(const std::string& name, ScopePoint& point, ElementKind& kind) const {
    const TarqSectorData& data = GetSectorData();
    if (auto it = data.airports.find(name); it != data.airports.end()) {
        point = it->second.position;
        kind = ElementKind::Airport;
        return true;
    }
    const struct {
        const NavaidMap& map;
        ElementKind kind;
    } navaids[] = {{data.vors, ElementKind::Vor}, {data.fixes, ElementKind::Fix}, {data.ndbs, ElementKind::Ndb}};
    for (const auto& n : navaids) {
        if (auto it = n.map.find(name); it != n.map.end()) {
            point = it->second.position;
            kind = n.kind;
            return true;
        }
    }
    return false;
}

bool TarqDisplayScope::FindNamedPoint(const std::string& name, ScopePoint& point) const {
    ElementKind kind;
    return LookupNamedPoint(name, point, kind);
}

void TarqDisplayScope::CenterOnPoint(const std::string& name) {
    ScopePoint point;
    if (FindNamedPoint(name, point)) SetCenterAndRedraw(point);
    else m_host.ShowError(kNotFound);
}

void TarqDisplayScope::SetRingCenterToPoint(const std::string& name) {
    if (name.empty()) {
        m_showMask &= ~ShowBit::RangeRings;
        m_host.RebuildMenus();
        return;
    }
    ScopePoint point;
    if (!FindNamedPoint(name, point)) {
        m_host.ShowError(kNotFound);
        return;
    }
    SetRangeRingCenter(point);
    m_showMask |= ShowBit::RangeRings;
    m_host.RebuildMenus();
}

void TarqDisplayScope::FindPoint(const std::string& name) {
    ScopePoint point;
    if (!FindNamedPoint(name, point)) {
        m_host.ShowError(kNotFound);
        return;
    }
    m_findPoint = point;
    m_findDeadline = m_host.NowSeconds() + kMarkerSeconds;
}

void TarqDisplayScope::ShowLocation(const std::string& label, ScopePoint point, double rangeNm) {
    m_showLocLabel = label;
    m_showLocPoint = point;
    m_showLocRange = rangeNm;
    m_showLocDeadline = m_host.NowSeconds() + kMarkerSeconds;
}

void TarqDisplayScope::SetVisibilityCenter(int index, ScopePoint absolute) {
    if (index < 0 || index > 3) return;
    if (!m_host.IsMainDisplay()) {
        if (TarqDisplayScope* main = m_host.GetMainScope(); main && main != this)
            main->SetVisibilityCenter(index, absolute);
        return;
    }
    if (index == 0) m_primaryVisSet = true;
    m_visCenters[static_cast<size_t>(index)] = {absolute, true};
    m_visDeadline = m_host.NowSeconds() + kMarkerSeconds;
    m_host.ForceVisibilityUpdate();
}

ScopePoint TarqDisplayScope::GetVisibilityCenter(int index) const {
    if (index < 0 || index > 3) return {};
    if (!m_host.IsMainDisplay()) {
        if (TarqDisplayScope* main = m_host.GetMainScope(); main && main != this)
            return main->GetVisibilityCenter(index);
    }
    if (index == 0 && !m_primaryVisSet) {
        ScopePoint center = GetCenter();
        RemoveOffset(center);
        return center;
    }
    const VisibilityCenter& slot = m_visCenters[static_cast<size_t>(index)];
    return slot.set ? slot.position : ScopePoint{};
}

bool TarqDisplayScope::IsVisibilityCenterSet(int index) const {
    if (index < 0 || index > 3) return false;
    if (!m_host.IsMainDisplay()) {
        if (TarqDisplayScope* main = m_host.GetMainScope(); main && main != this)
            return main->IsVisibilityCenterSet(index);
    }
    return m_visCenters[static_cast<size_t>(index)].set;
}

void TarqDisplayScope::SetVisibilityCenterToPoint(int index, const std::string& name) {
    if (index < 0 || index > 3) return;
    ScopePoint point;
    if (!FindNamedPoint(name, point)) {
        m_host.ShowError(std::string("Fix, airport or navaid not found: ") + name);
        return;
    }
    RemoveOffset(point);
    SetVisibilityCenter(index, point);
    char text[64];
    std::snprintf(text, sizeof text, "Visibility center %d reset.", index + 1);
    m_host.ShowInfo(text);
}

void TarqDisplayScope::ClearVisibilityCenters(bool message) {
    if (message && !m_host.IsMainDisplay()) {
        if (TarqDisplayScope* main = m_host.GetMainScope(); main && main != this) {
            main->ClearVisibilityCenters(message);
            return;
        }
    }
    m_primaryVisSet = false;
    m_visCenters = {};
    if (message) m_host.ShowInfo("Visibility center(s) cleared.");
}

void TarqDisplayScope::ShowVisibilityCenters() { m_visDeadline = m_host.NowSeconds() + kMarkerSeconds; }

void TarqDisplayScope::ShowConvergence(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return;
    if (a == b) {
        m_host.ShowError("You must select two different aircraft.");
        return;
    }
    m_convergenceA = a;
    m_convergenceB = b;
    m_convergenceDeadline = m_host.NowSeconds() + kConvergenceSeconds;
}

void TarqDisplayScope::AddAnchor(const std::string& callsign, const std::string& pointName, ScopePoint point) {
    AnchorRecord record;
    record.callsign = callsign;
    record.pointName = pointName;
    record.point = point;
    m_anchors[callsign] = record;
    if (m_targets) m_targets->RefreshAnchor(callsign);
}

bool TarqDisplayScope::GetAnchor(const std::string& callsign, AnchorRecord& out) const {
    auto it = m_anchors.find(callsign);
    if (it == m_anchors.end()) return false;
    out = it->second;
    return true;
}

void TarqDisplayScope::RemoveAnchors(const std::string& callsign) {
    if (callsign.empty()) m_anchors.clear();
    else m_anchors.erase(callsign);
}

void TarqDisplayScope::AddSeparationLink(const std::string& a, const std::string& b) {
    if (a == b) {
        m_host.ShowError("Must select two different aircraft.");
        return;
    }
    ScopeAircraft unused;
    if (!m_host.FindAircraft(a, unused) || !m_host.FindAircraft(b, unused)) return;
    if (auto it = m_sepLinks.find(a); it != m_sepLinks.end() && it->second == b) {
        m_sepLinks.erase(it);
    } else if (auto jt = m_sepLinks.find(b); jt != m_sepLinks.end() && jt->second == a) {
        m_sepLinks.erase(jt);
    } else {
        m_sepLinks[a] = b;
    }
}

void TarqDisplayScope::RemoveSeparationLinks(const std::string& callsign) {
    m_sepLinks.erase(callsign);
    std::erase_if(m_sepLinks, [&](const auto& link) { return link.second == callsign; });
}

void TarqDisplayScope::HideItems(int kind) {
    ElementKind k = ElementKindFromInt(kind);
    m_shown.ListFor(k).clear();
    switch (k) {
        case ElementKind::Vor: RebuildList(SectorListId::Vors); break;
        case ElementKind::Ndb: RebuildList(SectorListId::Ndbs); break;
        case ElementKind::Airport: RebuildList(SectorListId::Airports); break;
        case ElementKind::Centerline: RebuildList(SectorListId::Centerlines); break;
        case ElementKind::Airway:
            RebuildList(SectorListId::LowAirways);
            RebuildList(SectorListId::HighAirways);
            break;
        case ElementKind::Fix: RebuildList(SectorListId::Fixes); break;
    }
}

void TarqDisplayScope::MarkPointout(const std::string& callsign) {
    if (m_targets) m_targets->MarkPointout(callsign);
}

// --- diagrams and shown items ---

void TarqDisplayScope::BuildDiagramList() { RebuildList(SectorListId::Diagrams); }

void TarqDisplayScope::ShowDiagrams(const std::string& names) {
    std::vector<std::string> parts = SplitFields(names, '|');
    std::vector<std::string> sids = m_shown.sids;
    std::vector<std::string> stars = m_shown.stars;
    for (const std::string& name : parts) {
        if (name.empty()) continue;
        Toggle(sids, name, false);
        Toggle(stars, name, false);
    }
    m_shown.sids = std::move(sids);
    m_shown.stars = std::move(stars);
    BuildDiagramList();
}

void TarqDisplayScope::ClearDiagrams() {
    m_shown.sids.clear();
    m_shown.stars.clear();
    BuildDiagramList();
}

void TarqDisplayScope::SetSelectedSIDs(std::vector<std::string> names) {
    m_shown.sids = std::move(names);
    BuildDiagramList();
}

void TarqDisplayScope::SetSelectedSTARs(std::vector<std::string> names) {
    m_shown.stars = std::move(names);
    BuildDiagramList();
}

void TarqDisplayScope::SetShownOceanicTracks(std::set<std::string> names) {
    m_oceanicTracks = std::move(names);
    Redraw(false);
}

void TarqDisplayScope::ShowItems(const std::string& names, int kind, bool addOnly) {
    std::vector<std::string> parts;
    SplitString(ToUpper(names), parts, 0, " ");
    ElementKind k = ElementKindFromInt(kind);
    std::vector<std::string> list = m_shown.ListFor(k);
    for (const std::string& name : parts) Toggle(list, name, addOnly);
    m_shown.ListFor(k) = std::move(list);
    switch (k) {
        case ElementKind::Airport: RebuildList(SectorListId::Airports); break;
        case ElementKind::Airway:
            RebuildList(SectorListId::LowAirways);
            RebuildList(SectorListId::HighAirways);
            break;
        case ElementKind::Ndb: RebuildList(SectorListId::Ndbs); break;
        case ElementKind::Centerline: RebuildList(SectorListId::Centerlines); break;
        case ElementKind::Vor: RebuildList(SectorListId::Vors); break;
        case ElementKind::Fix: RebuildList(SectorListId::Fixes); break;
    }
}

// --- sector loading and route display ---

const TarqSectorData& TarqDisplayScope::GetSectorData() const {
    return m_sector ? m_sector->data : EmptySector();
}

bool TarqDisplayScope::LoadSectorFile(const std::string& path, bool announce) {
    SectorLoadResult result;
    {
        BusyCursor busy(m_host);
        // One frame with the loading box before the parse holds the main thread.
        m_loading = true;
        m_host.Redraw(false);
        m_loading = false;
        std::string report = PathInDirectory(m_host.GetStartDirectory(), kSectorParseReportName);
        // A reload reads the file again; a first load shares what another display parsed.
        bool force = path == m_sectorPath;
        result = m_library->Load(path, report, force);
    }
    if (!result.sector) {
        m_host.ShowErrorBox("The following error occurred while loading the sector file:\n\n" + result.error.message,
                            "Error");
        return false;
    }
    m_sectorPath = path;
    m_sector = std::move(result.sector);
    m_offset = m_sector->offset;
    const TarqSectorData& data = m_sector->data;
    if (announce) {
        m_projection.SetCenter(data.centre);
        m_camera.SetPosition(static_cast<float>(data.centre.x), kLoadCameraHeight,
                             static_cast<float>(-data.centre.y));
        m_camera.SetPitch(0.0f);
        m_camera.SetHeading(0.0f);
        m_fovFactor = 1.0;
        ClearVisibilityCenters(false);
    }
    m_projection.SetRotation(data.magneticVariation);
    if (m_host.IsMainDisplay()) {
        double divisor = data.nmPerDegreeLat != 0.0 ? data.nmPerDegreeLat : 1.0;
        double scale = data.nmPerDegreeLon / divisor;
        // Zero or negative would collapse or mirror every longitude.
        LongitudeScale = (std::isfinite(scale) && scale > 0.0) ? scale : 1.0;
    }
    RebuildDisplayLists(0);
    if (announce) {
        m_host.ShowInfo(m_host.IsMainDisplay() ? "Sector file loaded. Visibility center(s) reset."
                                               : "Sector file loaded.");
    }
    Redraw(true);
    return true;
}

void TarqDisplayScope::ReloadSectorFile() {
    m_host.CloseDiagramsDialog();
    if (LoadSectorFile(m_sectorPath, false)) m_host.ShowInfo("Sector file reloaded.");
}

void TarqDisplayScope::RebuildList(SectorListId id) {
    SectorListSource source;
    source.data = &GetSectorData();
    source.showMask = m_showMask;
    source.shown = &m_shown;
    source.ringCenter = m_ringCenter;
    source.rotation = GetRotation();
    source.ringSpacing = m_host.GetInt("RingSpacing");
    source.centerlineLength = m_host.GetInt("CenterlineLength");
    source.color = [this](const std::string& key) { return m_host.GetColor(key); };
    m_lists[static_cast<int>(id)] = BuildSectorList(id, source);
    ++m_generations[static_cast<int>(id)];
}

void TarqDisplayScope::RebuildDisplayLists(uint32_t mask) {
    for (SectorListId id : kRebuildOrder) {
        uint32_t bit = SectorListBit(id);
        if (mask == 0 || bit == 0 || (mask & bit) != 0) RebuildList(id);
    }
}

void TarqDisplayScope::PlotRoute(const std::string& routeText, bool showItems) {
    if (routeText.empty()) return;
    std::vector<std::string> tokens;
    SplitString(routeText, tokens, 0, " .");
    m_route.clear();
    // One rebuild per kind rather than one per token.
    std::map<ElementKind, std::string> toShow;
    for (const std::string& token : tokens) {
        ScopePoint point;
        ElementKind kind;
        if (!LookupNamedPoint(token, point, kind)) continue;
        if (showItems) toShow[kind] += token + " ";
        m_route.push_back(point);
    }
    for (const auto& [kind, names] : toShow) ShowItems(names, static_cast<int>(kind), true);
    m_routeDeadline = m_host.NowSeconds() + kMarkerSeconds;
}

void TarqDisplayScope::ShowRoute(const std::string& callsign, bool showItems) {
    if (callsign.empty()) return;
    ScopeFlightPlan plan = m_host.GetFlightPlan(callsign);
    if (plan.route.empty()) {
        m_host.ShowError("No route for selected aircraft.");
        return;
    }
    std::string route = ToUpper(plan.route);
    if (!route.empty() && route[0] == '+') route.erase(0, 1);
    PlotRoute(plan.departure + " " + route + " " + plan.destination, showItems);
}

// --- the frame ---

bool TarqDisplayScope::SetIfExpired(int64_t& deadline, int64_t now) {
    if (deadline == 0) return false;
    if (now > deadline) {
        deadline = 0;
        return false;
    }
    return true;
}

ScopeFrameOverlay TarqDisplayScope::PrepareFrame() {
    ++m_frames;
    return CurrentOverlay();
}

ScopeFrameOverlay TarqDisplayScope::CurrentOverlay() {
    ScopeFrameOverlay overlay;
    int64_t now = m_host.NowSeconds();
    auto aircraftAt = [&](const std::string& callsign, ScopeAircraft& aircraft, ScopePoint& at) {
        if (!m_host.FindAircraft(callsign, aircraft)) return false;
        at = aircraft.position;
        AddOffset(at);
        return true;
    };

    for (const auto& [a, b] : m_sepLinks) {
        ScopeAircraft first, second;
        ScopePoint pa, pb;
        if (!aircraftAt(a, first, pa) || !aircraftAt(b, second, pb)) continue;
        overlay.sepLinks.push_back({pa, pb});
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", ScaledDistance(pa.x, pa.y, pb.x, pb.y, LongitudeScale) * 60.0);
        overlay.sepLabels.push_back(text);
    }

    if (SetIfExpired(m_routeDeadline, now)) overlay.route = m_route;

    if (SetIfExpired(m_convergenceDeadline, now) && !m_convergenceA.empty() && !m_convergenceB.empty()) {
        ScopeAircraft a, b;
        ScopePoint pa, pb;
        if (aircraftAt(m_convergenceA, a, pa) && aircraftAt(m_convergenceB, b, pb)) {
            ConvergenceResult result = ComputeConvergence(pa, a.groundSpeed, a.heading, pb, b.groundSpeed, b.heading);
            if (result.status != ConvergenceStatus::Converging) {
                m_host.ShowError(ConvergenceMessage(result.status));
                m_convergenceDeadline = 0;
                m_convergenceA.clear();
                m_convergenceB.clear();
            } else {
                overlay.convergence = true;
                overlay.convergenceResult = result;
                overlay.convergenceStartA = pa;
                overlay.convergenceStartB = pb;
            }
        }
    }

    if (SetIfExpired(m_findDeadline, now)) overlay.markers.push_back({m_findPoint, "", 0.0});

    if (SetIfExpired(m_visDeadline, now)) {
        const TarqDisplayScope* source = this;
        if (!m_host.IsMainDisplay())
            if (TarqDisplayScope* main = m_host.GetMainScope()) source = main;
        size_t before = overlay.markers.size();
        for (int i = 0; i < 4; ++i) {
            bool defined = i == 0 ? source->HasPrimaryVisibilityCenter() : source->IsVisibilityCenterSet(i);
            if (!defined) continue;
            ScopePoint p = source->GetVisibilityCenter(i);
            AddOffset(p);
            overlay.markers.push_back({p, std::to_string(i + 1), static_cast<double>(m_host.GetInt("VisRange"))});
        }
        if (overlay.markers.size() == before) {
            m_host.ShowError("No visibility centers defined.");
            m_visDeadline = 0;
        }
    }

    if (SetIfExpired(m_showLocDeadline, now)) {
        char text[160];
        std::snprintf(text, sizeof text, "%s %d", m_showLocLabel.c_str(), static_cast<int>(m_showLocRange));
        overlay.markers.push_back({m_showLocPoint, text, m_showLocRange});
    }

    for (auto& [callsign, anchor] : m_anchors) {
        ScopeAircraft aircraft;
        ScopePoint at;
        if (!aircraftAt(callsign, aircraft, at)) continue;
        int bearing = static_cast<int>(NormalizeHeading(
            BearingBetween(at.x, at.y, anchor.point.x, anchor.point.y, true) - GetRotation()));
        double distance = ScaledDistance(at.x, at.y, anchor.point.x, anchor.point.y, LongitudeScale) * 60.0;
        anchor.heading = bearing;
        anchor.distance = distance;
        anchor.timeToGo = aircraft.groundSpeed > 0
                              ? FormatTimeToGo(static_cast<int>(distance / aircraft.groundSpeed * 3600.0))
                              : std::string("--:--");
        char text[96];
        std::snprintf(text, sizeof text, "%03d %.1f %s", bearing, distance, anchor.timeToGo.c_str());
        overlay.anchors.push_back({anchor.point, text, 0.0});
        overlay.anchorFrom.push_back(at);
    }

    if (m_rulerActive) {
        ScopePoint a = m_rulerAnchor;
        ScopePoint b = m_mousePosition;
        double distance = ScaledDistance(a.x, a.y, b.x, b.y, LongitudeScale) * 60.0;
        int heading = static_cast<int>(std::lround(NormalizeHeading(BearingBetween(a.x, a.y, b.x, b.y, true) -
                                                                    GetRotation())));
        if (heading < 1) heading += 360;
        SetRulerData(heading, distance);
        if (!m_host.IsMainDisplay())
            if (TarqDisplayScope* main = m_host.GetMainScope(); main && main != this)
                main->SetRulerData(heading, distance);
        char text[64];
        std::snprintf(text, sizeof text, "D:%.1f H:%03d-%03d", distance, heading,
                      static_cast<int>(ReciprocalHeading(heading)));
        overlay.ruler = true;
        overlay.rulerLine = {a, b};
        overlay.rulerText = text;
    }
    return overlay;
}

void TarqDisplayScope::CaptureSettings(TarqDisplaySettings& settings) const {
    ScopePoint center = GetCenter();
    RemoveOffset(center);
    ScopePoint ring = m_ringCenter;
    RemoveOffset(ring);
    ScopePoint camera = GetCameraPosition();
    RemoveOffset(camera);
    settings.CenterLon = center.x;
    settings.CenterLat = center.y;
    settings.RingLon = ring.x;
    settings.RingLat = ring.y;
    settings.Zoom = GetZoom();
    settings.Mode = m_radarMode;
    settings.SectorFile = m_sectorPath.empty() ? m_settingsExtras.SectorFile : m_sectorPath;
    settings.VisibleSIDs = m_shown.sids;
    settings.VisibleSTARs = m_shown.stars;
    settings.VisibleFixes = m_shown.fixes;
    settings.VisibleVORs = m_shown.vors;
    settings.VisibleNDBs = m_shown.ndbs;
    settings.VisibleAirports = m_shown.airports;
    settings.VisibleCenterlines = m_shown.centerlines;
    settings.VisibleAirways = m_shown.airways;
    settings.Toggles = static_cast<int>(m_showMask);
    settings.CameraLon = camera.x;
    settings.CameraLat = camera.y;
    settings.CameraAlt = GetCameraAltitudeFeet();
    settings.TerrainAlt = m_minCameraAltitude;
    settings.AirspaceFloor = m_floor;
    settings.AirspaceCeiling = m_ceiling;
    settings.ShowTargetsAboveCeiling = m_showTargetsAboveCeiling;
    settings.ShowTagsAboveCeiling = m_showTagsAboveCeiling;
    settings.ShowTargetsBelowFloor = m_showTargetsBelowFloor;
    settings.ShowTagsBelowFloor = m_showTagsBelowFloor;
}
