// The scope's GL drawing. Tested by tests/scope/scope_gl_test.cpp.
#include "scope/scope_gl.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/geo_helpers.h"
#include "platform/gl_font.h"
#include "platform/gl_text_batch.h"
#include "scope/display_scope.h"
#include "scope/picture_hash.h"
#include "scope/scope_host.h"
#include "scope/scope_targets.h"
#include "scope/sticky_builder.h"

namespace {

constexpr double kTwoPi = 6.28318530717958;
constexpr int kTextFont = 1;
constexpr int kSymbolFont = 2;
constexpr int kMarkerFont = 3;
constexpr uint32_t kDebugOverlay = 1;
constexpr uint32_t kDebugHideTargets = 2;

// The 3-D scene paints the map in this order, with depth testing off.
constexpr SectorListId k3DOrder[] = {
    SectorListId::RangeRings, SectorListId::Regions,    SectorListId::Geography,   SectorListId::LowBoundaries,
    SectorListId::HighBoundaries, SectorListId::ArtccBoundaries, SectorListId::LowAirways, SectorListId::HighAirways,
    SectorListId::Diagrams,   SectorListId::Airports,   SectorListId::Runways,     SectorListId::Centerlines,
    SectorListId::Fixes,      SectorListId::Ndbs,       SectorListId::Vors,        SectorListId::Labels};

void Color(int packed) {
    unsigned char rgb[3];
    UnpackRGB(packed, rgb);
    glColor3ubv(rgb);
}

// One text command of a list: at its own raster position in its vertex's
// colour, or on from where the last text ended.
void QueueText(const DrawList& list, const DrawCommand& c, const ScopeFontSource& fonts, GlTextBatch& text) {
    const GlBitmapFont* font = fonts.GetFont(c.font);
    if (!font) return;
    if (!c.flag) {
        const DrawVertex& at = list.Vertices()[c.first];
        const uint8_t rgba[4] = {at.rgb[0], at.rgb[1], at.rgb[2], 255};
        text.MoveTo(at.x, at.y, at.z, rgba);
    }
    // Add skips characters the font has no glyph for.
    text.Add(*font, list.Texts()[c.text]);
}

bool HasText(const DrawList& list) {
    for (const DrawCommand& c : list.Commands())
        if (c.op == DrawOp::Text) return true;
    return false;
}

// The list's lines, fills and stipple changes. Its texts are left out:
// where a text lands depends on the view it is drawn in.
void EmitList(const DrawList& list) {
    const std::vector<DrawVertex>& v = list.Vertices();
    bool haveColor = false;
    uint8_t current[3] = {0, 0, 0};
    auto color = [&](const DrawVertex& vertex) {
        if (haveColor && std::memcmp(current, vertex.rgb, 3) == 0) return;
        std::memcpy(current, vertex.rgb, 3);
        haveColor = true;
        glColor3ubv(current);
    };
    for (const DrawCommand& c : list.Commands()) {
        switch (c.op) {
            case DrawOp::Lines:
            case DrawOp::LineLoop:
            case DrawOp::Triangles: {
                GLenum mode = c.op == DrawOp::Lines ? GL_LINES : c.op == DrawOp::LineLoop ? GL_LINE_LOOP : GL_TRIANGLES;
                glBegin(mode);
                for (uint32_t i = c.first; i < c.first + c.count; ++i) {
                    color(v[i]);
                    glVertex3d(v[i].x, v[i].y, v[i].z);
                }
                glEnd();
                break;
            }
            case DrawOp::Stipple:
                if (c.flag) {
                    glLineStipple(4, 0xAAAA);
                    glEnable(GL_LINE_STIPPLE);
                } else {
                    glDisable(GL_LINE_STIPPLE);
                }
                break;
            case DrawOp::Text:
                break;
        }
    }
}

// Text in the current colour at a raster position, drawn at once as a
// bitmap would be there; nothing when the display lacks the font.
void DrawText(const ScopeFontSource& fonts, int fontId, int x, int y, double z, const std::string& text) {
    const GlBitmapFont* font = fonts.GetFont(fontId);
    if (!font) return;
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    uint8_t rgba[4];
    for (int i = 0; i < 4; ++i) rgba[i] = static_cast<uint8_t>(std::lround(color[i] * 255.0f));
    GlTextBatch batch;
    batch.CaptureTransform();
    batch.Text(*font, x, y, z, rgba, text);
    batch.Flush();
}

void Line(ScopePoint a, ScopePoint b, double z) {
    glVertex3d(a.x, a.y, z);
    glVertex3d(b.x, b.y, z);
}

// A loop of 50 vertices, radius in NM, around a scope point.
void GeoCircle(ScopePoint c, double radiusNm, double z) {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 50; ++i) {
        double a = i * kTwoPi / 50;
        glVertex3d(c.x + std::cos(a) * radiusNm / 60.0 / LongitudeScale, c.y + std::sin(a) * radiusNm / 60.0, z);
    }
    glEnd();
}

// The find marker: a 10-pixel circle and a cross with a gap in the middle.
void PixelMarker(PixelPoint p) {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 30; ++i) {
        double a = i * kTwoPi / 30;
        glVertex3d(p.x + std::cos(a) * 10.0, p.y + std::sin(a) * 10.0, 0.99);
    }
    glEnd();
    glBegin(GL_LINES);
    glVertex3d(p.x - 14, p.y, 0.99);
    glVertex3d(p.x - 4, p.y, 0.99);
    glVertex3d(p.x + 14, p.y, 0.99);
    glVertex3d(p.x + 5, p.y, 0.99);
    glVertex3d(p.x, p.y - 14, 0.99);
    glVertex3d(p.x, p.y - 4, 0.99);
    glVertex3d(p.x, p.y + 14, 0.99);
    glVertex3d(p.x, p.y + 5, 0.99);
    glEnd();
}

void BoxedLabel(const ScopeFontSource& fonts, ScopeHost& host, PixelPoint at, const std::string& text) {
    int width = host.MeasureText(text, kMarkerFont) + 6;
    glBegin(GL_LINE_LOOP);
    glVertex3d(at.x - 3, at.y - 4, 0.99);
    glVertex3d(at.x - 3 + width, at.y - 4, 0.99);
    glVertex3d(at.x - 3 + width, at.y + 12, 0.99);
    glVertex3d(at.x - 3, at.y + 12, 0.99);
    glEnd();
    DrawText(fonts, kMarkerFont, at.x, at.y, 0.99, text);
}

}  // namespace

ScopeGl::ScopeGl(TarqDisplayScope& scope, const ScopeFontSource& fonts, GlContextResources& gl)
    : m_scope(scope), m_fonts(fonts), m_gl(gl), m_map(gl) {
    m_listBase = m_gl.NewLists(kSectorListCount);
}

ScopeGl::~ScopeGl() {
    if (m_listBase != 0) m_gl.FreeLists(m_listBase);
}

void Camera::Apply() const {
    glRotatef(-m_pitch, 1, 0, 0);
    glRotatef(-m_heading, 0, 1, 0);
    glRotatef(-m_roll, 0, 0, 1);
    glTranslatef(-m_position.x, -m_position.y, -m_position.z);
}

void ScopeGl::Clear() {
    unsigned char c[3];
    UnpackRGB(m_scope.GetBackgroundColor(), c);
    glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ScopeGl::CompileList(unsigned id, const DrawList& list) {
    glNewList(id, GL_COMPILE);
    EmitList(list);
    glEndList();
}

void ScopeGl::DrawListTexts(const DrawList& list, const ScopeFontSource& fonts) {
    if (!HasText(list)) return;
    GlTextBatch text;
    text.CaptureTransform();
    for (const DrawCommand& c : list.Commands())
        if (c.op == DrawOp::Text) QueueText(list, c, fonts, text);
    text.Flush();
}


void ScopeGl::CompileDirtyLists() {
    if (m_listBase == 0) return;
    for (int i = 0; i < kSectorListCount; ++i) {
        SectorListId id = static_cast<SectorListId>(i);
        uint64_t generation = m_scope.GetListGeneration(id);
        if (m_compiled[static_cast<size_t>(i)] == generation) continue;
        CompileList(m_listBase + static_cast<unsigned>(i), m_scope.GetSectorList(id));
        m_compiled[static_cast<size_t>(i)] = generation;
    }
}

void ScopeGl::SetupProjection() {
    PixelPoint size = m_scope.GetViewportSize();
    int width = size.x;
    int height = size.y;
    const ScopeProjection& projection = m_scope.Projection();
    bool in3D = m_scope.GetRadarMode() == kRadarMode3D;
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (in3D) {
        glClearDepth(1.0);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        double aspect = static_cast<double>(width) / height;
        // gluPerspective, without linking GLU.
        double fovy = 45.0 * m_scope.GetFieldOfViewFactor();
        double zNear = 0.0001;
        double zFar = 10.0;
        double top = zNear * std::tan(DegToRad(fovy) / 2.0);
        glFrustum(-top * aspect, top * aspect, -top, top, zNear, zFar);
    } else {
        double sx = projection.SpanX();
        double sy = projection.SpanY();
        glOrtho(-sx / 2, sx / 2, -sy / 2, sy / 2, -1, 1);
    }
    glMatrixMode(GL_MODELVIEW);
}

void ScopeGl::Draw() {
    bool in3D = m_scope.GetRadarMode() == kRadarMode3D;
    CompileDirtyLists();
    // Another drawer (the display's furniture) may have changed it since.
    SetupProjection();
    glLoadIdentity();
    if (in3D) Draw3DScene();
    else Draw2DMap();
    DrawOverlay(in3D);
}

MapPicture ScopeGl::CurrentMapPicture() const {
    MapPicture picture;
    PixelPoint size = m_scope.GetViewportSize();
    const ScopeProjection& projection = m_scope.Projection();
    ScopePoint c = m_scope.GetCenter();
    picture.width = size.x;
    picture.height = size.y;
    picture.spanX = projection.SpanX();
    picture.spanY = projection.SpanY();
    picture.centerX = c.x;
    picture.centerY = c.y;
    picture.rotation = m_scope.GetRotation();
    picture.longitudeScale = LongitudeScale;
    picture.background = m_scope.GetBackgroundColor();
    uint32_t mask = m_scope.GetShowMask();
    for (int i = 0; i < kSectorListCount; ++i) {
        SectorListId id = static_cast<SectorListId>(i);
        if (IsSectorListShown(id, mask, m_scope.GetShownItems())) picture.shownLists |= 1u << i;
        picture.generations[static_cast<size_t>(i)] = m_scope.GetListGeneration(id);
    }
    picture.fonts = {m_fonts.GetFont(kTextFont), m_fonts.GetFont(kSymbolFont)};
    return picture;
}

uint64_t ScopeGl::PictureKey() {
    ScopeHost& host = m_scope.Host();
    const uint32_t debug = host.GetDebugFlags();
    if (m_scope.GetRadarMode() == kRadarMode3D || (debug & kDebugOverlay)) return 0;
    PictureHash hash;
    auto point = [&](ScopePoint p) { hash.Add(p.x).Add(p.y); };

    const MapPicture map = CurrentMapPicture();
    hash.Add(map.width).Add(map.height).Add(map.spanX).Add(map.spanY).Add(map.centerX).Add(map.centerY);
    hash.Add(map.rotation).Add(map.longitudeScale).Add(map.background).Add(map.shownLists);
    for (uint64_t generation : map.generations) hash.Add(generation);
    hash.Add(m_scope.GetRadarMode()).Add(m_scope.GetShowMask()).Add(debug).Add(m_scope.IsLoading());
    hash.Add(m_scope.GetTargets() != nullptr);

    for (const char* key : {"ColorToolLines", "ColorStickyBorder", "ColorStickyText", "ColorAnchorLines",
                            "ColorOceanicTracksEast", "ColorOceanicTracksWest"})
        hash.Add(host.GetColor(key));

    const std::set<std::string>& shown = m_scope.GetShownOceanicTracks();
    if (!shown.empty()) {
        OceanicTrackMap tracks;
        host.GetOceanicTracks(tracks);
        hash.Add(host.GetBool("ShowOceanicTrackLabels"));
        for (const auto& [name, track] : tracks) {
            if (!shown.count(name)) continue;
            hash.Add(name).Add(track.direction);
            for (const OceanicWaypoint& w : track.waypoints) hash.Add(w.id).Add(w.longitude).Add(w.latitude);
        }
    }

    const ScopeFrameOverlay overlay = m_scope.CurrentOverlay();
    hash.Add(overlay.sepLinks.size());
    for (const auto& link : overlay.sepLinks) {
        point(link.a);
        point(link.b);
    }
    for (const std::string& label : overlay.sepLabels) hash.Add(label);
    hash.Add(overlay.route.size());
    for (ScopePoint p : overlay.route) point(p);
    hash.Add(overlay.convergence);
    if (overlay.convergence) {
        const ConvergenceResult& r = overlay.convergenceResult;
        point(r.closestA);
        point(r.closestB);
        hash.Add(r.distanceNm).Add(r.minutes);
        point(overlay.convergenceStartA);
        point(overlay.convergenceStartB);
    }
    for (const auto* markers : {&overlay.markers, &overlay.anchors}) {
        hash.Add(markers->size());
        for (const auto& marker : *markers) {
            point(marker.point);
            hash.Add(marker.label).Add(marker.radiusNm);
        }
    }
    for (ScopePoint p : overlay.anchorFrom) point(p);
    hash.Add(overlay.ruler);
    if (overlay.ruler) {
        point(overlay.rulerLine.a);
        point(overlay.rulerLine.b);
        hash.Add(overlay.rulerText);
    }

    const std::vector<StickyNoteBox> notes = m_scope.GetStickyBuilder()->Layout();
    hash.Add(notes.size());
    for (const StickyNoteBox& note : notes) {
        hash.Add(note.lines.size());
        for (const auto& corner : note.loop) hash.Add(corner[0]).Add(corner[1]);
        for (const auto& line : note.lines) hash.Add(line.x).Add(line.y).Add(line.text);
    }

    if (m_scope.GetShowMask() & ShowBit::MouseLocation) {
        PixelPoint at = host.GetMouseReadoutPlace(map.width, map.height);
        hash.Add(at.x).Add(at.y).Add(m_scope.FormatMousePosition());
    }
    return hash.Value();
}

void ScopeGl::Draw2DMap() {
    const MapPicture picture = CurrentMapPicture();
    // Laid down with the depth buffer cleared: everything drawn over the map
    // lies at or above the lists' depths (at most 0.91), so it passes the
    // depth test there exactly as it would over the lists' own depths.
    const bool kept = m_map.Holds(picture);
    if (kept) m_map.Draw();
    ScopePoint c = m_scope.GetCenter();
    glRotated(-m_scope.GetRotation(), 0, 0, 1);
    glScaled(LongitudeScale, 1, 1);
    glTranslated(-c.x, -c.y, 0);
    if (!kept) {
        ++m_mapDraws;
        for (int i = 0; i < kSectorListCount; ++i) {
            if (!(picture.shownLists & (1u << i))) continue;
            glCallList(m_listBase + static_cast<unsigned>(i));
            DrawListTexts(m_scope.GetSectorList(static_cast<SectorListId>(i)), m_fonts);
        }
        // The lists and their texts (each list's flushed after it) draw over
        // the cleared frame and nothing else: what is on the screen now is
        // the map alone.
        m_map.Capture(picture);
    }
    DrawOceanicTracks();
}

void ScopeGl::Draw3DScene() {
    m_scope.UpdateSpotViewCamera();
    Camera& camera = m_scope.GetCamera();
    camera.Apply();
    CameraVector p = camera.GetPosition();
    // The map is the 2-D lists laid flat at the minimum camera altitude:
    // (x, y, z) -> (camera x + (x - camera x) * LongitudeScale, h0, -y).
    double h0 = m_scope.GetMinCameraAltitude() / kFeetPerDegree;
    double scale = LongitudeScale;
    const GLdouble flatten[16] = {scale, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, p.x * (1.0 - scale), h0, 0, 1};
    glPushMatrix();
    glMultMatrixd(flatten);
    glDisable(GL_DEPTH_TEST);
    uint32_t mask = m_scope.GetShowMask();
    for (SectorListId id : k3DOrder) {
        if (!IsSectorListShown(id, mask, m_scope.GetShownItems())) continue;
        glCallList(m_listBase + static_cast<unsigned>(id));
        DrawListTexts(m_scope.GetSectorList(id), m_fonts);
    }
    glPopMatrix();
    ScopeTargets* targets = m_scope.GetTargets();
    if (targets && !(m_scope.Host().GetDebugFlags() & kDebugHideTargets)) targets->Draw(true);
}

void ScopeGl::DrawOverlay(bool in3D) {
    ScopeHost& host = m_scope.Host();
    ScopeFrameOverlay overlay = m_scope.PrepareFrame();
    int toolColor = host.GetColor("ColorToolLines");
    Color(toolColor);
    if (!in3D) {
        glBegin(GL_LINES);
        for (const auto& link : overlay.sepLinks) Line(link.a, link.b, 0.95);
        if (overlay.convergence) {
            Line(overlay.convergenceStartA, overlay.convergenceResult.closestA, 0.95);
            Line(overlay.convergenceStartB, overlay.convergenceResult.closestB, 0.95);
        }
        glEnd();
        if (overlay.convergence) {
            unsigned char rgb[3];
            UnpackRGB(toolColor, rgb);
            glColor3ub(rgb[0] / 2, rgb[1] / 2, rgb[2] / 2);
            glBegin(GL_LINES);
            Line(overlay.convergenceResult.closestA, overlay.convergenceResult.closestB, 0.95);
            glEnd();
            Color(toolColor);
        }
        if (!overlay.route.empty()) {
            glBegin(GL_LINE_STRIP);
            for (const ScopePoint& p : overlay.route) glVertex3d(p.x, p.y, 0.95);
            glEnd();
        }
        for (const auto& marker : overlay.markers)
            if (marker.radiusNm > 0.0) GeoCircle(marker.point, marker.radiusNm, 0.99);
    }

    // Screen pass: window pixels, y up.
    PixelPoint size = m_scope.GetViewportSize();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, size.x, 0, size.y, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    uint32_t debug = host.GetDebugFlags();
    if (!in3D) {
        ScopeTargets* targets = m_scope.GetTargets();
        if (targets && !(debug & kDebugHideTargets)) {
            glPointSize(m_scope.GetRadarMode() == 9 ? 4.0f : 6.0f);
            glEnable(GL_POINT_SMOOTH);
            glEnable(GL_BLEND);
            targets->Draw(false);
            glDisable(GL_BLEND);
            // Left on, the next frame's track waypoints would come out round.
            glDisable(GL_POINT_SMOOTH);
        }
        std::vector<StickyNoteBox> notes = m_scope.GetStickyBuilder()->Layout();
        if (!notes.empty()) {
            glEnable(GL_DEPTH_TEST);
            int border = host.GetColor("ColorStickyBorder");
            int text = host.GetColor("ColorStickyText");
            for (const StickyNoteBox& note : notes) {
                Color(border);
                glBegin(GL_LINE_LOOP);
                for (const auto& corner : note.loop) glVertex3d(corner[0], corner[1], 0.95);
                glEnd();
                Color(text);
                for (const auto& line : note.lines) DrawText(m_fonts, kTextFont, line.x, line.y, 0.95, line.text);
            }
        }
    }
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    if (!in3D) {
        DrawOceanicLabels();
        Color(toolColor);
        for (size_t i = 0; i < overlay.sepLinks.size(); ++i) {
            const auto& link = overlay.sepLinks[i];
            PixelPoint a = m_scope.ProjectToScreen(link.a);
            PixelPoint b = m_scope.ProjectToScreen(link.b);
            PixelPoint mid{(a.x + b.x) / 2 + 5, (a.y + b.y) / 2};
            double bearing = BearingBetween(link.a.x, link.a.y, link.b.x, link.b.y, true);
            if ((bearing > 0 && bearing <= 90) || (bearing > 180 && bearing <= 270)) mid.y -= 15;
            DrawText(m_fonts, kSymbolFont, mid.x, mid.y, 0.99, overlay.sepLabels[i]);
        }
        if (overlay.convergence) {
            const ConvergenceResult& r = overlay.convergenceResult;
            PixelPoint a = m_scope.ProjectToScreen(r.closestA);
            PixelPoint b = m_scope.ProjectToScreen(r.closestB);
            char text[64];
            std::snprintf(text, sizeof text, "%.1f NM %.1f Min", r.distanceNm, r.minutes);
            BoxedLabel(m_fonts, host, {(a.x + b.x) / 2 + 8, (a.y + b.y) / 2}, text);
        }
        if (!overlay.anchors.empty()) {
            Color(host.GetColor("ColorAnchorLines"));
            bool lines = (m_scope.GetShowMask() & ShowBit::AnchorLines) != 0;
            for (size_t i = 0; i < overlay.anchors.size(); ++i) {
                PixelPoint from = m_scope.ProjectToScreen(overlay.anchorFrom[i]);
                PixelPoint to = m_scope.ProjectToScreen(overlay.anchors[i].point);
                if (lines) {
                    glBegin(GL_LINES);
                    glVertex3d(from.x, from.y, 0.99);
                    glVertex3d(to.x, to.y, 0.99);
                    glEnd();
                }
                DrawText(m_fonts, kTextFont, from.x + 8, from.y - 24, 0.99, overlay.anchors[i].label);
            }
            Color(toolColor);
        }
        if (overlay.ruler) {
            PixelPoint a = m_scope.ProjectToScreen(overlay.rulerLine.a);
            PixelPoint b = m_scope.ProjectToScreen(overlay.rulerLine.b);
            glBegin(GL_LINES);
            glVertex3d(a.x, a.y, 0.99);
            glVertex3d(b.x, b.y, 0.99);
            glEnd();
            BoxedLabel(m_fonts, host, {(a.x + b.x) / 2 + 8, (a.y + b.y) / 2}, overlay.rulerText);
        }
        for (const auto& marker : overlay.markers) {
            PixelPoint p = m_scope.ProjectToScreen(marker.point);
            PixelMarker(p);
            if (!marker.label.empty()) DrawText(m_fonts, kMarkerFont, p.x + 9, p.y + 9, 0.99, marker.label);
        }
    }
    if (m_scope.IsLoading()) DrawLoadingBox(toolColor);
    if (debug & kDebugOverlay) DrawDebugOverlay(in3D);
    if (in3D || (debug & kDebugOverlay)) {
        Color(toolColor);
        int cx = size.x / 2;
        int cy = size.y / 2;
        glBegin(GL_LINES);
        glVertex2i(cx - 5, cy);
        glVertex2i(cx + 6, cy);
        glVertex2i(cx, cy - 5);
        glVertex2i(cx, cy + 6);
        glEnd();
    }
    if (!in3D && (m_scope.GetShowMask() & ShowBit::MouseLocation)) {
        Color(toolColor);
        DrawMouseReadout();
    }
    if (in3D) DrawHeadingTape();

    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void ScopeGl::DrawDebugOverlay(bool in3D) {
    PixelPoint size = m_scope.GetViewportSize();
    std::vector<std::string> lines;
    char text[128];
    auto add = [&](const char* format, auto... values) {
        std::snprintf(text, sizeof text, format, values...);
        lines.push_back(text);
    };
    if (in3D) {
        ScopePoint camera = m_scope.GetCameraPosition();
        m_scope.RemoveOffset(camera);
        add("Camera Lon/Lat: %f, %f", camera.x, camera.y);
    } else {
        ScopePoint center = m_scope.GetCenter();
        m_scope.RemoveOffset(center);
        add("Center: %f, %f", center.x, center.y);
    }
    add("Zoom: %f", m_scope.GetZoom());
    if (in3D) add("Camera Alt: %d feet", m_scope.GetCameraAltitudeFeet());
    else add("Viewport: %d  %d", size.x, size.y);
    add("Frames: %d", m_scope.GetFrameCount());
    if (in3D) {
        add("Camera Heading: %f", static_cast<double>(m_scope.GetCamera().GetHeading()));
        add("Camera Pitch: %f", static_cast<double>(m_scope.GetCamera().GetPitch()));
    } else {
        ScopePoint mouse = m_scope.GetMousePosition();
        m_scope.RemoveOffset(mouse);
        add("Mouse Lon/Lat: %f, %f", mouse.x, mouse.y);
    }
    int top = size.y - 55;
    int bottom = size.y - 70 - 15 * static_cast<int>(lines.size());
    glColor4ub(0, 0, 0, 170);
    glBegin(GL_QUADS);
    glVertex2i(5, bottom);
    glVertex2i(210, bottom);
    glVertex2i(210, top);
    glVertex2i(5, top);
    glEnd();
    glColor3ub(255, 255, 255);
    for (size_t i = 0; i < lines.size(); ++i)
        DrawText(m_fonts, kMarkerFont, 10, size.y - 70 - 15 * static_cast<int>(i), 0.99, lines[i]);
}

void ScopeGl::DrawMouseReadout() {
    PixelPoint size = m_scope.GetViewportSize();
    PixelPoint at = m_scope.Host().GetMouseReadoutPlace(size.x, size.y);
    DrawText(m_fonts, kMarkerFont, at.x, at.y, 0.99, m_scope.FormatMousePosition());
}

void ScopeGl::DrawHeadingTape() {
    PixelPoint size = m_scope.GetViewportSize();
    double aspect = static_cast<double>(size.x) / size.y;
    double vfov = DegToRad(45.0 * m_scope.GetFieldOfViewFactor());
    double hfov = RadToDeg(2.0 * std::atan(std::tan(vfov / 2.0) * aspect));
    // The view's heading turns counter-clockwise; the tape shows compass degrees.
    double compass = -m_scope.GetCamera().GetHeading();
    // Below the main display's button bar, which is drawn after the scope.
    int top = m_scope.Host().GetOverlayTop(size.y) - 1;
    int bottom = top - 28;
    glColor4ub(0, 0, 0, 170);
    glBegin(GL_QUADS);
    glVertex2i(0, bottom);
    glVertex2i(size.x, bottom);
    glVertex2i(size.x, top);
    glVertex2i(0, top);
    glEnd();
    glColor3ub(255, 255, 255);
    for (int h = -50; h <= 410; h += 10) {
        double delta = h - compass;
        while (delta > 180.0) delta -= 360.0;
        while (delta < -180.0) delta += 360.0;
        if (std::fabs(delta) > hfov / 2.0) continue;
        int x = static_cast<int>(size.x / 2.0 + delta / hfov * size.x);
        glBegin(GL_LINES);
        glVertex2i(x, top);
        glVertex2i(x, top - 8);
        glEnd();
        char label[8];
        std::snprintf(label, sizeof label, "%03d", static_cast<int>(NormalizeHeading(h)));
        DrawText(m_fonts, kMarkerFont, x - 10, bottom + 5, 0.99, label);
    }
}

namespace {

int OceanicColor(ScopeHost& host, const OceanicTrack& track) {
    return host.GetColor(track.direction == 4 ? "ColorOceanicTracksEast" : "ColorOceanicTracksWest");
}

}  // namespace

void ScopeGl::DrawOceanicTracks() {
    m_oceanic.clear();
    const std::set<std::string>& shown = m_scope.GetShownOceanicTracks();
    if (shown.empty()) return;
    m_scope.Host().GetOceanicTracks(m_oceanic);
    std::erase_if(m_oceanic, [&](const auto& entry) { return !shown.count(entry.first); });
    for (const auto& [name, track] : m_oceanic) {
        Color(OceanicColor(m_scope.Host(), track));
        std::vector<ScopePoint> points;
        for (const OceanicWaypoint& w : track.waypoints) {
            ScopePoint p{w.longitude, w.latitude};
            m_scope.AddOffset(p);
            points.push_back(p);
        }
        glBegin(GL_LINE_STRIP);
        for (const ScopePoint& p : points) glVertex3d(p.x, p.y, 0.91);
        glEnd();
        glPointSize(3.0f);
        glBegin(GL_POINTS);
        for (const ScopePoint& p : points) glVertex3d(p.x, p.y, 0.91);
        glEnd();
    }
}

void ScopeGl::DrawOceanicLabels() {
    const bool pointNames = m_scope.Host().GetBool("ShowOceanicTrackLabels");
    for (const auto& [name, track] : m_oceanic) {
        if (track.waypoints.empty()) continue;
        Color(OceanicColor(m_scope.Host(), track));
        for (size_t i = 0; i < track.waypoints.size(); ++i) {
            const OceanicWaypoint& w = track.waypoints[i];
            ScopePoint point{w.longitude, w.latitude};
            m_scope.AddOffset(point);
            const PixelPoint p = m_scope.ProjectToScreen(point);
            if (i == 0) {
                PixelPoint at = track.direction == 4 || track.direction == 6 ? PixelPoint{p.x - 48, p.y}
                                : track.direction == 5                       ? PixelPoint{p.x - 1, p.y + 4}
                                                                             : PixelPoint{p.x - 1, p.y};
                DrawText(m_fonts, kTextFont, at.x, at.y, 0.91, "TRACK " + name);
            }
            if (pointNames) DrawText(m_fonts, kTextFont, p.x, p.y - 10, 0.91, w.id);
        }
    }
}

void ScopeGl::DrawLoadingBox(int outlineColor) {
    const PixelPoint size = m_scope.GetViewportSize();
    const int left = size.x / 2 - 100;
    const int bottom = size.y / 2 - 25;
    glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
    glRecti(left, bottom, left + 200, bottom + 50);
    Color(outlineColor);
    glBegin(GL_LINE_LOOP);
    glVertex2i(left, bottom);
    glVertex2i(left + 200, bottom);
    glVertex2i(left + 200, bottom + 50);
    glVertex2i(left, bottom + 50);
    glEnd();
    DrawText(m_fonts, kMarkerFont, size.x / 2 - 78, size.y / 2 - 4, 0.99, "Loading sector data ...");
}
