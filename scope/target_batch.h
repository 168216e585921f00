// One frame's target drawing, queued instead of drawn: lines, wide lines,
// points and filled polygons go into client vertex arrays (floats) grouped
// by kind, text into glyph quads, and Flush draws each group in one call per
// layer. Within a layer the groups are drawn in a fixed order (fills, lines,
// wide lines, points, text), which is not the order the builders queue in,
// and the layers in turn. Each piece goes to the earliest layer that keeps
// it behind every piece queued before it whose pixels it could change by
// trading places, so the frame comes out as queued piece by piece while
// most pieces of many targets share a layer. Two pieces may trade places
// when their pixels do not meet; when both are opaque and either their
// depths differ (the 2-D target pass tests depth, a larger z in front) or
// they have one colour at one depth; and when the nearer one is opaque.
// Smooth points and colours with alpha are not opaque under blending.
// Which pixels a piece may touch is kept per 4-pixel cell of the viewport.
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
    struct Ends {
        double x1, y1, x2, y2;
    };
    // Lines at one depth in the current colour, as Line draws each. A small
    // shape's lines are ordered as one piece over their common box, which
    // costs less than ordering each; lines spread wide are ordered apart, so
    // the box does not hold back pieces that fall between them.
    void Lines(const Ends* lines, int count, double z);
    // A line glLineWidth(width) would draw; width 1 is Line.
    void WideLine(double x1, double y1, double x2, double y2, double z, int width);
    // At the point size the target pass set.
    void Point(double x, double y, double z);
    // Points at one depth in the current colour, as Point draws each; close
    // together they are ordered as one piece, as Lines orders a small shape.
    void Points(const double (*xy)[2], int count, double z);
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
    struct Layer {
        std::vector<Vertex> vertices[kText];
        GlTextBatch text;
        bool textReady = false;  // its transform taken this frame
    };
    // The depth classes whose pieces may touch a cell's pixels, this frame.
    struct Cell {
        uint32_t stamp = 0;
        uint32_t present = 0;      // bit by depth class
        uint32_t translucent = 0;  // of those, the classes with pieces that are not opaque
    };
    // What a cell holds of one depth class: the last places (layer *
    // kGroupCount + group) of its opaque and of its other pieces, -1 for
    // none, and the one colour of all its opaque pieces unless mixed.
    struct Claim {
        int opaque;
        int translucent;
        uint32_t colour;
        bool mixed;
    };
    // How a piece writes its pixels.
    struct Ink {
        bool translucent;  // blends with what is under it
        bool mixed;        // its pixels' values vary (smooth points)
        uint32_t colour;
    };
    static constexpr int kDepths = 32;
    static constexpr int kCellShift = 2;

    // Takes the target pass's GL state, once a frame.
    void Begin();
    // Later pieces go after everything queued so far.
    void Restart();
    int DepthClass(float z);
    // The cells Place looks at for a box.
    static long CellsOf(double left, double bottom, double right, double top);
    struct Box {
        double left, bottom, right, top;
    };
    // The common box of the pieces whose boxes boxOf(0 .. count - 1) gives;
    // false when ordering them as one piece over it would look at more cells
    // than ordering each.
    template <typename BoxOf>
    static bool CommonBox(int count, BoxOf boxOf, Box& box);
    Ink InkOf(bool smooth) const;
    // The layer a piece of the group goes to: after every piece queued
    // before it over the box that it could not trade places with.
    int Place(Group group, float z, const Ink& ink, double left, double bottom, double right, double top);
    Layer& LayerAt(int index);
    void Push(std::vector<Vertex>& v, const Ends& line, double z) const;
    void Draw(const std::vector<Vertex>& v, unsigned mode) const;

    bool m_begun = false;
    bool m_depthTest = true;
    bool m_smoothPoints = false;
    bool m_texturing = false;
    bool m_alphaTest = false;
    bool m_replaces = true;     // blending off, or one that replaces the pixel
    bool m_alphaBlend = false;  // source alpha over the pixel
    int m_alphaFunc = 0;
    float m_alphaRef = 0;
    float m_pointSize = 1.0f;
    float m_lineWidth = 1.0f;
    int m_viewport[4] = {0, 0, 0, 0};
    int m_columns = 0;
    int m_rows = 0;
    uint32_t m_stamp = 0;
    std::vector<Cell> m_cells;
    std::vector<Claim> m_claims[kDepths];  // by depth class, then cell
    std::vector<float> m_depths;            // the z of each class, this frame
    uint32_t m_nearer[kDepths] = {};        // bits of the classes in front of each
    uint32_t m_farther[kDepths] = {};       // behind it
    int m_floor = 0;                        // the first layer a piece may go to
    int m_layerCount = 0;
    uint8_t m_rgba[4] = {255, 255, 255, 255};
    std::vector<Layer> m_layers;
    GlTextBatch m_measure;
};
