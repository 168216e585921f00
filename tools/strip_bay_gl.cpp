// Tested by tests/tools/strip_bay_gl_test.cpp.
#include "tools/strip_bay_gl.h"

#include <GL/gl.h>

#include <algorithm>

#include "platform/gl_context_resources.h"
#include "platform/gl_text_batch.h"
#include "tools/flight_strip_bay.h"

namespace {

// Pixel centres fall on whole bay coordinates: lines at x = 69 light
// column 69, and a quad from 0 to 550 fills columns 0 to 549.
constexpr double kPixelNudge = 0.375;

}  // namespace

GlFontSpec StripFontSpec(int fontId) {
    // Liberation Sans has Arial's metrics; Liberation Mono at an 11-pixel em
    // advances the 7 pixels the route wrapping counts on.
    switch (fontId) {
        case kStripLargeFont:
            return {"Liberation Sans", 32, 32, 96, false};
        case kStripSmallFont:
            return {"Liberation Mono", 11, 32, 96, false};
        default:
            return {};
    }
}

StripBayGl::StripBayGl(const GlContextResources& resources) : m_resources(resources) {}

StripBayGl::~StripBayGl() {
    if (m_texture != 0) glDeleteTextures(1, &m_texture);
}

void StripBayGl::Emit(const DrawList& list) const {
    const std::vector<DrawVertex>& v = list.Vertices();
    // Texts wait for the next lines or fills, so each lands over what was
    // drawn before it and under what comes after.
    GlTextBatch text;
    text.CaptureTransform();
    for (const DrawCommand& c : list.Commands()) {
        if (c.op != DrawOp::Text) text.Flush();
        switch (c.op) {
            case DrawOp::Lines:
            case DrawOp::LineLoop:
            case DrawOp::Triangles: {
                GLenum mode = c.op == DrawOp::Lines      ? GL_LINES
                              : c.op == DrawOp::LineLoop ? GL_LINE_LOOP
                                                         : GL_TRIANGLES;
                glBegin(mode);
                for (uint32_t i = c.first; i < c.first + c.count; ++i) {
                    glColor3ubv(v[i].rgb);
                    glVertex3d(v[i].x, v[i].y, v[i].z);
                }
                glEnd();
                break;
            }
            case DrawOp::Text: {
                const GlBitmapFont* font = m_resources.Font(c.font);
                if (!font) break;
                if (!c.flag) {
                    const DrawVertex& at = v[c.first];
                    const uint8_t rgba[4] = {at.rgb[0], at.rgb[1], at.rgb[2], 255};
                    text.MoveTo(at.x, at.y, at.z, rgba);
                }
                text.Add(*font, std::string_view(list.Texts()[c.text]).substr(0, kStripMaxPrintedText));
                break;
            }
            case DrawOp::Stipple:
                break;
        }
    }
    text.Flush();
}

bool StripBayGl::LoadFonts(GlContextResources& resources, std::string* error) {
    for (int id : {kStripLargeFont, kStripSmallFont}) {
        if (!resources.LoadFont(id, StripFontSpec(id))) {
            if (error) *error = "Cannot load the strip font " + StripFontSpec(id).family + ".";
            return false;
        }
    }
    return true;
}

void StripBayGl::MakeRailTexture() {
    if (m_texture == 0) glGenTextures(1, &m_texture);
    const std::vector<uint8_t> pixels = StripRailTexture();
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

StripTextExtent StripBayGl::GetTextExtent(int font, const std::string& text) const {
    const GlBitmapFont* f = m_resources.Font(font);
    if (!f) return {};
    TextExtent e = f->MeasureText(text);
    return {e.width, e.height};
}

void StripBayGl::Draw(const StripBayFrame& frame) const {
    const int width = frame.width;
    const int height = frame.height < 1 ? 1 : frame.height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, -frame.scroll, height - frame.scroll, -1, 6);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(kPixelNudge, kPixelNudge, 0);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (m_texture != 0) {
        glColor3ub(255, 255, 255);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        const int top = height - frame.scroll;
        glBegin(GL_QUADS);
        for (int left : frame.rails) {
            const int right = left + 63;
            glTexCoord2d(0, 0);
            glVertex3d(left, 0, -5);
            glTexCoord2d(0.9, 0);
            glVertex3d(right, 0, -5);
            glTexCoord2d(0.9, 0.9);
            glVertex3d(right, top, -5);
            glTexCoord2d(0, 0.9);
            glVertex3d(left, top, -5);
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }

    Emit(frame.strips);
    if (frame.shadow) {
        const AnnotationBox& r = frame.shadowRect;
        glColor4ub(0, 0, 0, 170);
        glBegin(GL_QUADS);
        glVertex3d(r.left, r.bottom, -2);
        glVertex3d(r.right, r.bottom, -2);
        glVertex3d(r.right, r.top, -2);
        glVertex3d(r.left, r.top, -2);
        glEnd();
    }
    Emit(frame.lifted);
    glFlush();
}
