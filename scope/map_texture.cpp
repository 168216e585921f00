// Tested by tests/scope/map_texture_test.cpp.
#include "scope/map_texture.h"

#include <GL/gl.h>

#include "platform/gl_context_resources.h"

namespace {

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

}  // namespace

MapTexture::MapTexture(GlContextResources& gl) : m_gl(gl) {}

MapTexture::~MapTexture() {
    // When the context cannot be made current the name died with it.
    if (m_texture != 0 && m_gl.MakeCurrent()) {
        GLuint name = m_texture;
        glDeleteTextures(1, &name);
    }
}

bool MapTexture::Capture(const MapPicture& picture) {
    m_valid = false;
    if (picture.width <= 0 || picture.height <= 0) return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const int width = PowerOfTwoAtLeast(picture.width);
    const int height = PowerOfTwoAtLeast(picture.height);
    if (width > maxSize || height > maxSize) return false;
    if (m_texture == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        m_texture = name;
    }
    if (m_texture == 0) return false;

    glPushAttrib(GL_TEXTURE_BIT);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    bool ok = true;
    if (width != m_textureWidth || height != m_textureHeight) {
        // Only this allocation's error decides; earlier ones are dropped.
        for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        ok = glGetError() == GL_NO_ERROR;
        m_textureWidth = ok ? width : 0;
        m_textureHeight = ok ? height : 0;
    }
    if (ok) glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, picture.width, picture.height);
    glPopAttrib();
    if (!ok) return false;
    m_picture = picture;
    m_valid = true;
    return true;
}

void MapTexture::Draw() const {
    if (!m_valid) return;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // The whole viewport in device coordinates; each pixel centre samples
    // the middle of its own texel, so nearest filtering copies exactly.
    const double s = static_cast<double>(m_picture.width) / m_textureWidth;
    const double t = static_cast<double>(m_picture.height) / m_textureHeight;
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0);
    glVertex2d(-1, -1);
    glTexCoord2d(s, 0);
    glVertex2d(1, -1);
    glTexCoord2d(s, t);
    glVertex2d(1, 1);
    glTexCoord2d(0, t);
    glVertex2d(-1, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
