// Tested by tests/platform/gl_font_test.cpp.
#include "platform/gl_text_batch.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "platform/gl_font.h"

void GlTextBatch::CaptureTransform() {
    float model[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, m_viewport);
    // Column-major, as GL keeps them; single precision, as the driver does.
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * model[column * 4 + k];
            m_matrix[column * 4 + row] = sum;
        }
    }
}

void GlTextBatch::MoveTo(double x, double y, double z, const uint8_t rgba[4]) {
    const float v[4] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 1.0f};
    float clip[4];
    for (int row = 0; row < 4; ++row) {
        clip[row] = m_matrix[row] * v[0] + m_matrix[4 + row] * v[1] + m_matrix[8 + row] * v[2] + m_matrix[12 + row];
    }
    const float w = clip[3];
    m_valid = w > 0 && -w <= clip[0] && clip[0] <= w && -w <= clip[1] && clip[1] <= w && -w <= clip[2] &&
              clip[2] <= w;
    if (!m_valid) return;
    const float inverse = 1.0f / w;
    const float halfWidth = m_viewport[2] * 0.5f, halfHeight = m_viewport[3] * 0.5f;
    m_x = clip[0] * inverse * halfWidth + (m_viewport[0] + halfWidth);
    m_y = clip[1] * inverse * halfHeight + (m_viewport[1] + halfHeight);
    m_z = clip[2] * inverse * 0.5f + 0.5f;
    std::memcpy(m_rgba, rgba, sizeof m_rgba);
}

template <typename Sink>
GlPixelBox GlTextBatch::Lay(const GlBitmapFont& font, std::string_view text, float& x, Sink&& sink) const {
    GlPixelBox box;
    if (!m_valid) return box;
    int pen = 0;
    for (char ch : text) {
        const GlGlyph* g = font.Glyph(static_cast<unsigned char>(ch));
        if (!g) continue;
        if (g->width > 0 && g->height > 0) {
            // Where glBitmap puts the glyph's lower left pixel.
            constexpr float kEpsilon = 0.0001f;
            const int left = static_cast<int>(std::floor(x + kEpsilon - static_cast<float>(g->xorig)));
            const int bottom = static_cast<int>(std::floor(m_y + kEpsilon - static_cast<float>(g->yorig)));
            sink(*g, left, bottom, pen);
            const int right = left + g->width, top = bottom + g->height;
            if (box.IsEmpty()) {
                box = {left, bottom, right - 1, top - 1};
            } else {
                box.left = std::min(box.left, left);
                box.bottom = std::min(box.bottom, bottom);
                box.right = std::max(box.right, right - 1);
                box.top = std::max(box.top, top - 1);
            }
        }
        x += static_cast<float>(g->advance);
        pen += g->advance;
    }
    return box;
}

GlPixelBox GlTextBatch::Measure(const GlBitmapFont& font, std::string_view text) const {
    float x = m_x;
    return Lay(font, text, x, [](const GlGlyph&, int, int, int) {});
}

GlPixelBox GlTextBatch::Add(const GlBitmapFont& font, std::string_view text) {
    // Stamps and glyphs of a batch that uses stamps come from the string
    // texture, which holds the glyphs where the atlas has them.
    const bool stamps = m_stamps && font.AtlasHeight() < font.StringsHeight();
    const unsigned texture = stamps ? 0 : font.AtlasTexture();
    const GlBitmapFont* strings = stamps ? &font : nullptr;
    const float sScale = 1.0f / static_cast<float>(stamps ? font.StringsWidth() : font.AtlasWidth());
    const float tScale = 1.0f / static_cast<float>(stamps ? font.StringsHeight() : font.AtlasHeight());
    auto quad = [&](int left, int bottom, int width, int height, int atlasLeft, int atlasBottom) {
        if (m_cut || m_runs.empty() || m_runs.back().texture != texture || m_runs.back().strings != strings) {
            m_runs.push_back({texture, strings, static_cast<int>(m_corners.size()), 0});
            m_cut = false;
        }
        const float s0 = static_cast<float>(atlasLeft) * sScale;
        const float s1 = static_cast<float>(atlasLeft + width) * sScale;
        const float t0 = static_cast<float>(atlasBottom) * tScale;
        const float t1 = static_cast<float>(atlasBottom + height) * tScale;
        const float l = static_cast<float>(left), r = static_cast<float>(left + width);
        const float b = static_cast<float>(bottom), t = static_cast<float>(bottom + height);
        m_corners.push_back({l, b, m_z, s0, t0, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
        m_corners.push_back({r, b, m_z, s1, t0, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
        m_corners.push_back({r, t, m_z, s1, t1, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
        m_corners.push_back({l, t, m_z, s0, t1, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
        m_runs.back().count += 4;
    };
    const GlStringStamp* stamp = stamps && m_valid && text.size() >= 2 ? font.StringStamp(text) : nullptr;
    if (stamp) {
        // One quad where every glyph lands as the stamp has it from one pen.
        float x = m_x;
        bool first = true, fits = true;
        int penLeft = 0, penBottom = 0;
        const GlPixelBox box = Lay(font, text, x, [&](const GlGlyph& g, int left, int bottom, int pen) {
            const int l = left - (pen - g.xorig), b = bottom + g.yorig;
            if (first) {
                penLeft = l;
                penBottom = b;
                first = false;
            }
            fits = fits && l == penLeft && b == penBottom;
        });
        if (fits && !first) {
            quad(penLeft + stamp->left, penBottom + stamp->bottom, stamp->width, stamp->height, stamp->atlasLeft,
                 stamp->atlasBottom);
            m_x = x;
            return box;
        }
    }
    return Lay(font, text, m_x, [&](const GlGlyph& g, int left, int bottom, int) {
        quad(left, bottom, g.width, g.height, g.atlasLeft, g.atlasBottom);
    });
}

int GlTextBatch::Cut() {
    m_cut = true;
    return static_cast<int>(m_runs.size());
}

void GlTextBatch::Flush() {
    if (m_corners.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    BeginDrawing();
    DrawRuns(0, static_cast<int>(m_runs.size()));
    EndDrawing();
    glPopClientAttrib();
    glPopAttrib();
    Clear();
}

void GlTextBatch::BeginDrawing() const {
    // Window coordinates, and z straight through as the window depth the
    // raster position had.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(m_viewport[0], m_viewport[0] + m_viewport[2], m_viewport[1], m_viewport[1] + m_viewport[3], 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Unset bits leave the pixel alone, as a bitmap's do; set bits carry the
    // raster colour's alpha into the blending.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (m_corners.empty()) return;
    const GLsizei stride = sizeof(Corner);
    glVertexPointer(3, GL_FLOAT, stride, &m_corners[0].x);
    glTexCoordPointer(2, GL_FLOAT, stride, &m_corners[0].s);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, m_corners[0].rgba);
}

void GlTextBatch::DrawRuns(int first, int last) const {
    for (int i = first; i < last; ++i) {
        const Run& run = m_runs[static_cast<size_t>(i)];
        glBindTexture(GL_TEXTURE_2D, run.strings ? run.strings->SendStrings() : run.texture);
        glDrawArrays(GL_QUADS, run.first, run.count);
    }
}

void GlTextBatch::EndDrawing() const {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void GlTextBatch::Clear() {
    m_corners.clear();
    m_runs.clear();
    m_cut = false;
}
