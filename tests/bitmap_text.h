// Text the old way, one glBitmap per glyph from the font's bitmaps at the
// current raster position: the reference the batched text is held to, pixel
// for pixel. Needs a current GL context.
#pragma once

#include <GL/gl.h>

#include <string_view>

#include "platform/gl_font.h"

inline void DrawBitmaps(const GlBitmapFont& font, std::string_view text) {
    GLint alignment;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (char c : text) {
        const GlGlyph* g = font.Glyph(static_cast<unsigned char>(c));
        if (!g) continue;
        glBitmap(g->width, g->height, static_cast<GLfloat>(g->xorig), static_cast<GLfloat>(g->yorig),
                 static_cast<GLfloat>(g->advance), 0.0f, g->rows.empty() ? nullptr : g->rows.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}
