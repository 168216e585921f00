// Tested by tests/tools/strip_bay_gl_test.cpp.
#include "tools/strip_bay_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gl_context_resources.h"
#include "tools/flight_strip_bay.h"

namespace {

// Pixel centres fall on whole bay coordinates: lines at x = 69 light
// column 69, and a quad from 0 to 550 fills columns 0 to 549.
constexpr double kPixelNudge = 0.375;

constexpr int kAtlasWidth = 512;

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

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
    for (auto& [id, atlas] : m_atlases) {
        if (atlas.texture != 0) glDeleteTextures(1, &atlas.texture);
    }
}

// Glyph quads waiting to be drawn, all of one atlas.
class StripBayGl::TextBatch {
public:
    void Add(const Atlas* atlas, const GlGlyph& glyph, size_t index, double left, double bottom, double z,
             const uint8_t rgb[3]) {
        if (atlas != m_atlas) Flush();
        m_atlas = atlas;
        const double s0 = static_cast<double>(atlas->left[index]) / atlas->width;
        const double s1 = static_cast<double>(atlas->left[index] + glyph.width) / atlas->width;
        const double t0 = static_cast<double>(atlas->bottom[index]) / atlas->height;
        const double t1 = static_cast<double>(atlas->bottom[index] + glyph.height) / atlas->height;
        const double right = left + glyph.width, top = bottom + glyph.height;
        m_quads.push_back({left, bottom, z, s0, t0, {rgb[0], rgb[1], rgb[2]}});
        m_quads.push_back({right, bottom, z, s1, t0, {rgb[0], rgb[1], rgb[2]}});
        m_quads.push_back({right, top, z, s1, t1, {rgb[0], rgb[1], rgb[2]}});
        m_quads.push_back({left, top, z, s0, t1, {rgb[0], rgb[1], rgb[2]}});
    }
    void Flush() {
        if (m_quads.empty()) return;
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, m_atlas->texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        // Unset bits leave the pixel alone, as a bitmap's do.
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
        glBegin(GL_QUADS);
        for (const Corner& c : m_quads) {
            glColor3ubv(c.rgb);
            glTexCoord2d(c.s, c.t);
            glVertex3d(c.x, c.y, c.z);
        }
        glEnd();
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_TEXTURE_2D);
        m_quads.clear();
    }

private:
    struct Corner {
        double x, y, z, s, t;
        uint8_t rgb[3];
    };
    const Atlas* m_atlas = nullptr;
    std::vector<Corner> m_quads;
};

const StripBayGl::Atlas* StripBayGl::FontAtlas(int font) const {
    const GlBitmapFont* f = m_resources.Font(font);
    if (!f) return nullptr;
    Atlas& atlas = m_atlases[font];
    if (atlas.font == f) return &atlas;
    // Glyphs side by side in rows of the atlas's width, a texel apart.
    const GlFontSpec& spec = f->Spec();
    int rowHeight = 1;
    for (int i = 0; i < spec.count; ++i)
        rowHeight = std::max(rowHeight, f->Glyph(spec.firstChar + i)->height);
    std::vector<std::pair<int, int>> places(static_cast<size_t>(spec.count));
    int x = 0, y = 0;
    for (int i = 0; i < spec.count; ++i) {
        const int w = f->Glyph(spec.firstChar + i)->width;
        if (x + w > kAtlasWidth) {
            x = 0;
            y += rowHeight;
        }
        places[static_cast<size_t>(i)] = {x, y};
        x += w + 1;
    }
    atlas.font = f;
    atlas.width = kAtlasWidth;
    atlas.height = PowerOfTwoAtLeast(y + rowHeight);
    std::vector<uint8_t> alpha(static_cast<size_t>(atlas.width * atlas.height), 0);
    atlas.left.assign(static_cast<size_t>(spec.count), 0);
    atlas.bottom.assign(static_cast<size_t>(spec.count), 0);
    for (int i = 0; i < spec.count; ++i) {
        const GlGlyph& g = *f->Glyph(spec.firstChar + i);
        const auto [left, bottom] = places[static_cast<size_t>(i)];
        atlas.left[static_cast<size_t>(i)] = left;
        atlas.bottom[static_cast<size_t>(i)] = bottom;
        const int pitch = (g.width + 7) / 8;
        for (int row = 0; row < g.height; ++row) {
            for (int column = 0; column < g.width; ++column) {
                if (g.rows[static_cast<size_t>(row * pitch + column / 8)] & (0x80 >> (column % 8)))
                    alpha[static_cast<size_t>((bottom + row) * atlas.width + left + column)] = 255;
            }
        }
    }
    if (atlas.texture == 0) glGenTextures(1, &atlas.texture);
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, atlas.width, atlas.height, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 alpha.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return &atlas;
}

void StripBayGl::Emit(const DrawList& list, int width, int height, int scroll) const {
    const std::vector<DrawVertex>& v = list.Vertices();
    TextBatch batch;
    // The raster position as glRasterPos and glBitmap keep it: text starting
    // outside the view draws nothing, and each glyph moves it on.
    bool rasterValid = false;
    double rasterX = 0, rasterY = 0, rasterZ = 0;
    uint8_t rasterColor[3] = {0, 0, 0};
    for (const DrawCommand& c : list.Commands()) {
        if (c.op != DrawOp::Text) batch.Flush();
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
                if (!c.flag) {
                    const DrawVertex& at = v[c.first];
                    rasterX = at.x;
                    rasterY = at.y;
                    rasterZ = at.z;
                    std::memcpy(rasterColor, at.rgb, sizeof rasterColor);
                    const double wx = at.x + kPixelNudge, wy = at.y + scroll + kPixelNudge;
                    rasterValid =
                        wx >= 0 && wx <= width && wy >= 0 && wy <= height && at.z >= -6 && at.z <= 1;
                }
                const Atlas* atlas = rasterValid ? FontAtlas(c.font) : nullptr;
                if (!atlas) break;
                const std::string_view text =
                    std::string_view(list.Texts()[c.text]).substr(0, kStripMaxPrintedText);
                for (char ch : text) {
                    const unsigned char code = static_cast<unsigned char>(ch);
                    const GlGlyph* g = atlas->font->Glyph(code);
                    if (!g) continue;
                    if (g->width > 0 && g->height > 0) {
                        const size_t i = static_cast<size_t>(code - atlas->font->Spec().firstChar);
                        batch.Add(atlas, *g, i, std::floor(rasterX + kPixelNudge - g->xorig),
                                  std::floor(rasterY + kPixelNudge - g->yorig), rasterZ, rasterColor);
                    }
                    rasterX += g->advance;
                }
                break;
            }
            case DrawOp::Stipple:
                break;
        }
    }
    batch.Flush();
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

void StripBayGl::PrintText(int font, const std::string& text) const {
    const GlBitmapFont* f = m_resources.Font(font);
    if (!f) return;
    f->Draw(std::string_view(text).substr(0, kStripMaxPrintedText));
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

    Emit(frame.strips, width, height, frame.scroll);
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
    Emit(frame.lifted, width, height, frame.scroll);
    glFlush();
}
