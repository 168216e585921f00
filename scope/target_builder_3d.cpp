// Radar mode 6. Tested by tests/scope/target_builder_3d_test.cpp.
#include "scope/target_builder_3d.h"

#include <GL/gl.h>

#include <cmath>
#include <initializer_list>

#include "foundation/geo_helpers.h"
#include "platform/gl_context_resources.h"
#include "platform/gl_font.h"
#include "scope/camera.h"
#include "scope/display_scope.h"
#include "scope/scope_gl.h"
#include "scope/scope_host.h"
#include "scope/target_manager.h"

namespace {

constexpr double kTwoPi = 6.28318530717958;
constexpr int kCylinderSides = 30;
constexpr double kModelScale = 0.0001;
constexpr double kDataBlockLift = 0.0002;  // degrees above the model

struct Vertex {
    double x, y, z;
};

void Emit(std::initializer_list<Vertex> vertices) {
    for (const Vertex& v : vertices) glVertex3d(v.x, v.y, v.z);
}

// A wing-tip light: a small raised box on the wing at x from x1 to x2.
void DrawLight(double x1, double x2) {
    const Vertex top[] = {{x1, 0.3, -0.05}, {x2, 0.3, -0.05}, {x2, 0.3, -0.25}, {x1, 0.3, -0.25}};
    glBegin(GL_QUADS);
    for (const Vertex& v : top) glVertex3d(v.x, v.y, v.z);
    glEnd();
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= 4; ++i) {
        const Vertex& v = top[i % 4];
        glVertex3d(v.x, v.y, v.z);
        glVertex3d(v.x, 0.25, v.z);
    }
    glEnd();
}

}  // namespace

TarqTargetBuilder3D::TarqTargetBuilder3D(TarqTargetManager* owner)
    : TarqTargetBuilder(owner), m_gl(owner->GetFonts().GetGlResources()) {
    if (!m_gl) return;
    m_modelList = m_gl->NewLists(1);
    if (m_modelList == 0) return;
    glNewList(m_modelList, GL_COMPILE);
    DrawModel();
    glEndList();
}

TarqTargetBuilder3D::~TarqTargetBuilder3D() {
    // Freed in the display's own context, whichever one drew last.
    if (m_modelList != 0) m_gl->FreeLists(m_modelList);
}

void TarqTargetBuilder3D::DrawModel() {
    glBegin(GL_TRIANGLES);
    glColor3d(0.6, 0.6, 0.6);
    Emit({{-1.5, 0.25, 0}, {0, 0.25, -3}, {1.5, 0.25, 0}});
    glColor3d(0.2, 0.2, 0.2);
    Emit({{-1.5, 0, 0}, {0, 0, -3}, {1.5, 0, 0}});
    glEnd();

    glColor3d(0.4, 0.4, 0.4);
    glBegin(GL_QUAD_STRIP);
    Emit({{-1.5, 0.25, 0},
          {-1.5, 0, 0},
          {1.5, 0.25, 0},
          {1.5, 0, 0},
          {0, 0.25, -3},
          {0, 0, -3},
          {-1.5, 0.25, 0},
          {-1.5, 0, 0}});
    glEnd();

    glColor3d(1, 1, 1);
    glBegin(GL_TRIANGLES);
    Emit({{-0.1, 1.2, 0},
          {-0.05, 0.25, -2.6},
          {-0.1, 0.25, 0},
          {0.1, 1.2, 0},
          {0.05, 0.25, -2.6},
          {0.1, 0.25, 0}});
    glEnd();

    glBegin(GL_QUAD_STRIP);
    glColor3d(0.4, 0.4, 0.4);
    Emit({{-0.1, 0.25, 0}, {0.1, 0.25, 0}});
    glColor3d(0.8, 0.8, 0.8);
    Emit({{-0.1, 1.2, 0}, {0.1, 1.2, 0}, {-0.05, 0.25, -2.6}, {0.05, 0.25, -2.6}});
    glEnd();

    glColor3d(1, 0, 0);
    DrawLight(-1.35, -1.15);
    glColor3d(0, 0.7, 0);
    DrawLight(1.35, 1.15);
}

std::string TarqTargetBuilder3D::StatusField(const TargetSnapshot& target,
                                             const std::string& scratchpad) const {
    if (target.coasting) return "CST";
    if (target.squawk == 7700) return "EMRG";
    if (target.squawk == 7600) return "RDOF";
    if (target.squawk == 7500) return "HIJK";
    if (target.transponderMode == 'Y') return "IDNT";
    if (target.duplicateCode && !IsVfrCode(target.squawk)) return "CODE";
    if (target.assignedCode != 0 && target.assignedCode != target.squawk)
        return FormatLine("%04d", target.squawk);
    return FormatLine("%s", scratchpad.c_str());
}

std::string TarqTargetBuilder3D::DataBlockLine(const TargetSnapshot& target) const {
    std::string scratchpad = target.scratchpad.size() > 4
                                 ? target.scratchpad.substr(target.scratchpad.size() - 4)
                             : target.scratchpad.empty() ? "NOFP"
                                                         : target.scratchpad;
    const char* type = target.typeCode.empty() ? "ZZZZ" : target.typeCode.c_str();
    const char* lead = target.transponderMode == 'S' ? "." : "*";
    const char* heavy = target.isHeavy ? "H" : "";
    switch (target.blinkPhase) {
        case 1:
        case 2:
        case 5:
        case 6:
            return FormatLine("%s%s%s %s", lead, target.callsign.c_str(), VoiceSuffix(target.voiceType),
                              heavy);
        case 3:
        case 7:
            return FormatLine("%s%03d %02d %s%s", lead, target.altitude / 100, target.groundSpeed / 10,
                              target.isVfr ? "V" : "", heavy);
        case 4:
        case 8:
            return FormatLine("%s%s %s", lead, type, StatusField(target, scratchpad).c_str());
        default:
            return {};
    }
}

void TarqTargetBuilder3D::DrawSepCylinder(const TargetSnapshot& target, double x, double z) const {
    if (!WantsSepRing(target)) return;
    double r = Host().GetInt("CALateralMin") / 60.0;
    double bottom = (target.altitude - 1000) / kFeetPerDegree;
    double top = (target.altitude + 1000) / kFeetPerDegree;
    // Rim vertex k; the last equals the first, closing the wall.
    auto rim = [&](int k, double height) {
        double a = kTwoPi * k / kCylinderSides;
        glVertex3d(x + r * std::cos(a), height, z - r * std::sin(a));
    };
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glColor4ub(255, 0, 0, 30);
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= kCylinderSides; ++k) {
        rim(k, bottom);
        rim(k, top);
    }
    glEnd();
    for (double height : {top, bottom}) {
        glBegin(GL_TRIANGLE_FAN);
        glVertex3d(x, height, z);
        for (int k = 0; k <= kCylinderSides; ++k) rim(k, height);
        glEnd();
    }
    glPopAttrib();
    glEnable(GL_DEPTH_TEST);
    glColor3d(0.6, 0, 0);
    for (double height : {top, bottom}) {
        glBegin(GL_LINE_STRIP);
        for (int k = 0; k <= kCylinderSides; ++k) rim(k, height);
        glEnd();
    }
}

TagRect TarqTargetBuilder3D::Build(TargetSnapshot& target) {
    TarqDisplayScope& scope = Scope();
    // The manager has already scaled x around the camera, as the scene
    // scales the map, so targets stay over their fixes.
    double x = target.smoothedPosition.x;
    double z = -target.smoothedPosition.y;
    double y = target.smoothedAltitude / kFeetPerDegree;

    DrawSepCylinder(target, x, z);

    // The scene leaves depth testing off; without it the first model of a
    // frame would show its underside from above.
    glEnable(GL_DEPTH_TEST);
    glPushAttrib(GL_LIST_BIT | GL_CURRENT_BIT);
    glPushMatrix();
    glTranslated(x, y, z);
    glRotated(HeadingFold(target.smoothedHeading), 0, 1, 0);
    glRotated(HeadingFold(-target.smoothedPitch), 1, 0, 0);
    glRotated(HeadingFold(target.smoothedBank), 0, 0, 1);
    glScaled(kModelScale, kModelScale, kModelScale);
    if (m_modelList != 0)
        glCallList(m_modelList);
    else
        DrawModel();
    glPopMatrix();
    glPopAttrib();

    // The scene is drawn in order, as the cylinders' blending needs: each
    // target's text goes out at once, in the scene's transform.
    std::string line = DataBlockLine(target);
    const GlBitmapFont* font = Owner()->GetFonts().GetFont(kDataBlockFont);
    if (font && !line.empty()) {
        uint8_t rgba[4] = {0, 0, 0, 255};
        UnpackRGB(static_cast<int>(target.dataBlockColor), rgba);
        m_text.CaptureTransform();
        m_text.Text(*font, x, y + kDataBlockLift, z, rgba, line);
        m_text.Flush();
    }
    glEnable(GL_DEPTH_TEST);

    uint8_t anchor[3];
    UnpackRGB(Host().GetColor("ColorAnchorLines"), anchor);
    glColor3ubv(anchor);
    glBegin(GL_LINES);
    glVertex3d(x, y, z);
    glVertex3d(x, scope.GetMinCameraAltitude() / kFeetPerDegree, z);
    glEnd();
    return TagRect::Empty();
}
