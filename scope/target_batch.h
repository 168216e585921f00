// One frame's target drawing, queued instead of drawn: lines, wide lines,
// points and filled polygons go into client vertex arrays (floats) grouped
// by kind, text into glyph quads, and Flush draws each group in one call.
// The groups are drawn in a fixed order (fills, lines, wide lines, points,
// text), which is not the order the builders queue in; a piece is therefore
// only queued behind others when that cannot change a pixel, and otherwise
// it starts a new layer, drawn after everything queued before it. Two pieces
// may trade places when their pixels do not meet, or when the nearer one
// (the 2-D target pass tests depth, a larger z in front) is opaque and the
// depths differ. Smooth points and colours with alpha are not opaque. Which
// pixels a piece may touch is kept per 8-pixel cell of the viewport.
// Layers cost no GL call until Flush, which draws them all in order under
// one saved state, switching only what differs from one group to the next.
// Needs the GL state of the target pass current from the first piece queued
// to Flush. Tested by tests/scope/drawn_frames_test.cpp.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gl_text_batch.h"

class GlBitmapFont;

class TargetBatch {
public:
    // The colour of the pieces that follow, packed with red in the low byte.
    void SetColor(uint32_t packed);
    void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    void Line(double x1, double y1, double x2, double y2, double z);
    // A line glLineWidth(width) would draw; width 1 is Line.
    void WideLine(double x1, double y1, double x2, double y2, double z, int width);
    // At the point size the target pass set.
    void Point(double x, double y, double z);
    // A convex outline filled, as GL_POLYGON fills it.
    void Polygon(const double (*xy)[2], int count, double z);
    // Text at a raster position (glRasterPos3d, glBitmap); nothing when the
    // start is outside the view.
    void Text(const GlBitmapFont& font, double x, double y, double z, std::string_view text);

    // Draws everything queued, layer by layer; the caller's GL state is left
    // as it was.
    void Flush();

private:
    enum Group : int { kFills, kLines, kWide2, kWide3, kPoints, kText, kGroupCount };
    struct Vertex {
        float x, y, z;
        uint8_t rgba[4];
    };
    // Where a layer ends in each group's vertices and in the text's runs.
    struct Layer {
        int end[kGroupCount];
        int textRuns;
    };
    struct Cell {
        uint32_t stamp = 0;
        unsigned __int128 present = 0;    // bit group * kDepths + depth
        unsigned __int128 translucent = 0;
    };
    static constexpr int kDepths = 16;
    static constexpr int kCellShift = 3;

    // Takes the target pass's GL state, once a frame.
    void Begin();
    // Ends the current layer: later pieces are drawn after all queued so far.
    void CloseLayer();
    int DepthClass(float z);
    // Starts a new layer when a piece of the group at that depth over the
    // box could change a pixel by being drawn before later groups.
    void Place(Group group, float z, bool opaque, double left, double bottom, double right, double top);
    void Mark(Group group, int depth, bool opaque, int left, int bottom, int right, int top);
    void Draw(Group group, unsigned mode, int first, int end);

    bool m_begun = false;
    bool m_depthTest = true;
    bool m_smoothPoints = false;
    bool m_texturing = false;
    bool m_alphaTest = false;
    int m_alphaFunc = 0;
    float m_alphaRef = 0;
    float m_pointSize = 1.0f;
    float m_lineWidth = 1.0f;
    int m_viewport[4] = {0, 0, 0, 0};
    int m_columns = 0;
    int m_rows = 0;
    uint32_t m_stamp = 1;
    std::vector<Cell> m_cells;
    std::vector<float> m_depths;  // the depth of each class, this batch
    unsigned __int128 m_nearer[kDepths] = {};   // bits of the classes in front of each
    unsigned __int128 m_farther[kDepths] = {};  // behind it
    unsigned __int128 m_same[kDepths] = {};
    uint8_t m_rgba[4] = {255, 255, 255, 255};
    std::vector<Vertex> m_vertices[kGroupCount];
    std::vector<Layer> m_layers;
    GlTextBatch m_text;
};
