// Text as glRasterPos and glBitmap would draw it, without their cost: each
// glyph becomes a textured quad from its font's atlas, queued in drawing
// order and drawn in a few calls, lighting exactly the pixels the bitmap
// would (the software rasteriser pays dearly for every glBitmap). Needs a
// current GL context for CaptureTransform and Flush.
// Tested by tests/platform/gl_font_test.cpp.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class GlBitmapFont;

// Window pixels, both ends included; empty when left > right.
struct GlPixelBox {
    int left = 1;
    int bottom = 1;
    int right = 0;
    int top = 0;

    bool IsEmpty() const { return left > right || bottom > top; }
};

class GlTextBatch {
public:
    // Takes the transform glRasterPos would apply now: the model view and
    // projection matrices and the viewport. Later MoveTo calls use it.
    void CaptureTransform();
    // As glRasterPos3d with rgba current: a start outside the view volume
    // leaves no valid raster position, and text there draws nothing.
    void MoveTo(double x, double y, double z, const uint8_t rgba[4]);
    // As glBitmap for each character at the raster position, which moves on
    // by the advances; characters outside the font are skipped. Returns the
    // window pixels the glyphs cover.
    GlPixelBox Add(const GlBitmapFont& font, std::string_view text);
    // The pixels Add would cover, queueing nothing.
    GlPixelBox Measure(const GlBitmapFont& font, std::string_view text) const;
    // MoveTo and Add.
    GlPixelBox Text(const GlBitmapFont& font, double x, double y, double z, const uint8_t rgba[4],
                    std::string_view text) {
        MoveTo(x, y, z, rgba);
        return Add(font, text);
    }

    // From now on each text of two or more glyphs is one quad from its
    // font's string texture (GlBitmapFont::StringStamp), the same pixels for
    // less work when the same texts come back frame after frame. What a
    // frame queues must be drawn before the next frame's texts are added.
    void UseStringStamps() { m_stamps = true; }

    bool Empty() const { return m_corners.empty(); }
    // Draws the queued glyphs in order under the caller's depth test and
    // blending, as bitmaps would be, then empties the queue. GL state other
    // than the buffers is left as it was.
    void Flush();

    // For a caller that interleaves the text with its own drawing under one
    // saved GL state. Cut ends the current run, so glyphs added later can be
    // drawn apart from those before; it returns the number of runs so far.
    int Cut();
    // Pushes both matrices, switches on texturing, the alpha test and the
    // client arrays the glyphs need; the caller saves and restores the rest.
    void BeginDrawing() const;
    // Runs [first, last), between BeginDrawing and EndDrawing.
    void DrawRuns(int first, int last) const;
    // Pops the matrices; the matrix mode is left at the model view.
    void EndDrawing() const;
    // Empties the queue.
    void Clear();

private:
    struct Corner {
        float x, y, z;
        float s, t;
        uint8_t rgba[4];
    };
    struct Run {
        unsigned texture;
        const GlBitmapFont* strings;  // drawn from this font's string texture instead
        int first;
        int count;
    };

    // Calls sink(glyph, left, bottom, pen) for each glyph with pixels, from
    // the raster position at x, which moves on by the advances; pen is the
    // sum of the advances before the glyph. Returns their box.
    template <typename Sink>
    GlPixelBox Lay(const GlBitmapFont& font, std::string_view text, float& x, Sink&& sink) const;

    float m_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // projection x model view
    int m_viewport[4] = {0, 0, 1, 1};
    bool m_valid = false;
    bool m_cut = false;  // the next glyph starts a run
    bool m_stamps = false;
    float m_x = 0, m_y = 0, m_z = 0;  // the raster position, window coordinates
    uint8_t m_rgba[4] = {255, 255, 255, 255};
    std::vector<Corner> m_corners;
    std::vector<Run> m_runs;
};
