// An offscreen OpenGL context (OSMesa, RGBA with a 16-bit depth buffer) for
// tests and benchmarks that draw and read the pixels back. It is current from
// construction to destruction; link PkgConfig::OSMESA, never libGL.
#pragma once

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <array>
#include <vector>

class OffscreenGl {
public:
    OffscreenGl(int width, int height)
        : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height * 4) {
        m_context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
        if (MakeCurrent()) {
            m_current = true;
            glViewport(0, 0, width, height);
        }
    }
    ~OffscreenGl() {
        if (m_context) OSMesaDestroyContext(m_context);
    }
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    // Makes this context current again, when a test holds two.
    bool MakeCurrent() {
        return m_context &&
               OSMesaMakeCurrent(m_context, m_pixels.data(), GL_UNSIGNED_BYTE, m_width, m_height);
    }
    // Whether the context was made and is current.
    bool Ok() const { return m_current; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // One pixel's red, green, blue and alpha, (0, 0) at the bottom left,
    // after everything drawn so far.
    std::array<int, 4> Pixel(int x, int y) const {
        glFinish();
        const unsigned char* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    // Projection in pixels from the bottom left, identity model view.
    void UsePixelProjection() const {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, m_width, 0, m_height, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

private:
    int m_width;
    int m_height;
    std::vector<unsigned char> m_pixels;
    OSMesaContext m_context = nullptr;
    bool m_current = false;
};
