// The GL side of the flight strip bay: the bay's two fonts, the rail texture
// and the drawing of one laid-out frame into whatever GL context is current,
// so the bay window and an offscreen test draw alike. Make, draw and free it
// with the same context current.
// Tested by tests/tools/strip_bay_gl_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gl_font.h"
#include "tools/flight_strip.h"

class GlContextResources;
struct StripBayFrame;

// Font 1 (large, Arial's metrics) and font 2 (the 7-pixel terminal face).
GlFontSpec StripFontSpec(int fontId);

// Texts longer than this are drawn cut.
constexpr size_t kStripMaxPrintedText = 1023;

class StripBayGl {
public:
    // The fonts come from the context's resources, loaded by LoadResources.
    explicit StripBayGl(const GlContextResources& resources);
    ~StripBayGl();
    StripBayGl(const StripBayGl&) = delete;
    StripBayGl& operator=(const StripBayGl&) = delete;

    // Loads both fonts into the resources and makes the rail texture; false
    // with the reason when a font cannot be had.
    static bool LoadFonts(GlContextResources& resources, std::string* error);
    void MakeRailTexture();

    // The strips' text measure, from the loaded fonts.
    StripTextExtent GetTextExtent(int font, const std::string& text) const;

    // Viewport, projection, clear, rails, strips, shadow, lifted strip and
    // arrows; the caller swaps.
    void Draw(const StripBayFrame& frame) const;

private:
    // The list's lines, fills and texts in order, the texts from the fonts'
    // glyph atlases in batches.
    void Emit(const DrawList& list) const;

    const GlContextResources& m_resources;
    unsigned m_texture = 0;
};
