// Tested by tests/scope/drawn_frames_test.cpp.
#include "scope/target_batch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "platform/gl_font.h"

void TargetBatch::Begin() {
    m_begun = true;
    glGetIntegerv(GL_VIEWPORT, m_viewport);
    m_depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    m_smoothPoints = glIsEnabled(GL_POINT_SMOOTH) == GL_TRUE;
    m_texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    m_alphaTest = glIsEnabled(GL_ALPHA_TEST) == GL_TRUE;
    GLint source = GL_ONE, destination = GL_ZERO;
    if (glIsEnabled(GL_BLEND) == GL_TRUE) {
        glGetIntegerv(GL_BLEND_SRC, &source);
        glGetIntegerv(GL_BLEND_DST, &destination);
    }
    m_replaces = source == GL_ONE && destination == GL_ZERO;
    m_alphaBlend = source == GL_SRC_ALPHA && destination == GL_ONE_MINUS_SRC_ALPHA;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &m_alphaFunc);
    glGetFloatv(GL_ALPHA_TEST_REF, &m_alphaRef);
    glGetFloatv(GL_POINT_SIZE, &m_pointSize);
    glGetFloatv(GL_LINE_WIDTH, &m_lineWidth);
    m_measure.CaptureTransform();
    m_columns = std::max(1, (m_viewport[2] >> kCellShift) + 1);
    m_rows = std::max(1, (m_viewport[3] >> kCellShift) + 1);
    const size_t cells = static_cast<size_t>(m_columns) * m_rows;
    if (m_cells.size() < cells) m_cells.resize(cells);
    m_floor = 0;
    m_layerCount = 0;
    Restart();
}

void TargetBatch::Restart() {
    m_floor = m_layerCount;
    if (++m_stamp == 0) {
        for (Cell& c : m_cells) c.stamp = 0;
        m_stamp = 1;
    }
    m_depths.clear();
}

void TargetBatch::SetColor(uint32_t packed) {
    SetColor(static_cast<uint8_t>(packed & 0xFF), static_cast<uint8_t>((packed >> 8) & 0xFF),
             static_cast<uint8_t>((packed >> 16) & 0xFF), 255);
}

void TargetBatch::SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    m_rgba[0] = r;
    m_rgba[1] = g;
    m_rgba[2] = b;
    m_rgba[3] = a;
}

TargetBatch::Ink TargetBatch::InkOf(bool smooth) const {
    Ink ink;
    // Replaced, a pixel takes the colour whole; blended by its alpha, only
    // an opaque colour hides what was there.
    ink.translucent = !m_replaces && !(m_alphaBlend && m_rgba[3] == 255 && !smooth);
    // A smooth point's edge pixels carry their coverage in the alpha.
    ink.mixed = smooth;
    ink.colour = static_cast<uint32_t>(m_rgba[0]) | static_cast<uint32_t>(m_rgba[1]) << 8 |
                 static_cast<uint32_t>(m_rgba[2]) << 16 | static_cast<uint32_t>(m_rgba[3]) << 24;
    return ink;
}

int TargetBatch::DepthClass(float z) {
    // Without a depth test every piece's pixels land in drawing order: one class.
    if (!m_depthTest) z = 0;
    for (size_t i = 0; i < m_depths.size(); ++i)
        if (m_depths[i] == z) return static_cast<int>(i);
    if (m_depths.size() == kDepths) Restart();
    const int added = static_cast<int>(m_depths.size());
    m_depths.push_back(z);
    const size_t cells = static_cast<size_t>(m_columns) * m_rows;
    if (m_claims[added].size() < cells) m_claims[added].resize(cells);
    m_nearer[added] = 0;
    m_farther[added] = 0;
    for (int i = 0; i < added; ++i) {
        if (m_depths[static_cast<size_t>(i)] > z) {  // class i is in front
            m_nearer[added] |= 1u << i;
            m_farther[i] |= 1u << added;
        } else {
            m_farther[added] |= 1u << i;
            m_nearer[i] |= 1u << added;
        }
    }
    return added;
}

int TargetBatch::Place(Group group, float z, const Ink& ink, double left, double bottom, double right,
                       double top) {
    if (!m_begun) Begin();
    const int depth = DepthClass(z);
    // Window pixels, with a pixel to spare for rounding.
    const int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1 - m_viewport[0]);
    const int y0 = std::max(0, static_cast<int>(std::floor(bottom)) - 1 - m_viewport[1]);
    const int x1 = std::min(m_viewport[2] - 1, static_cast<int>(std::ceil(right)) + 1 - m_viewport[0]);
    const int y1 = std::min(m_viewport[3] - 1, static_cast<int>(std::ceil(top)) + 1 - m_viewport[1]);
    if (x0 > x1 || y0 > y1) return m_floor;  // off the view: no pixel to order

    const uint32_t same = 1u << depth;
    const uint32_t nearer = m_nearer[depth];
    const uint32_t farther = m_farther[depth];
    int last = -1;  // the last place of a piece this one must follow
    for (int row = y0 >> kCellShift; row <= y1 >> kCellShift; ++row) {
        for (int column = x0 >> kCellShift; column <= x1 >> kCellShift; ++column) {
            const size_t i = static_cast<size_t>(row * m_columns + column);
            const Cell& c = m_cells[i];
            if (c.stamp != m_stamp) continue;
            if (c.present & same) {
                // At one depth the later piece wins, unless both write the same.
                const Claim& k = m_claims[depth][i];
                last = std::max(last, k.translucent);
                if (ink.translucent || ink.mixed || k.mixed || k.colour != ink.colour)
                    last = std::max(last, k.opaque);
            }
            // Drawn first, a blending piece in front would show what is behind it.
            for (uint32_t bits = c.translucent & nearer; bits; bits &= bits - 1)
                last = std::max(last, m_claims[__builtin_ctz(bits)][i].translucent);
            // Drawn later, a piece behind would not show through this one.
            if (ink.translucent) {
                for (uint32_t bits = c.present & farther; bits; bits &= bits - 1) {
                    const Claim& k = m_claims[__builtin_ctz(bits)][i];
                    last = std::max(last, std::max(k.opaque, k.translucent));
                }
            }
        }
    }
    // Into the layer of the last such piece when its group is drawn no later.
    int layer = m_floor;
    if (last >= 0) layer = std::max(layer, last / kGroupCount + (last % kGroupCount > group ? 1 : 0));
    const int place = layer * kGroupCount + group;

    for (int row = y0 >> kCellShift; row <= y1 >> kCellShift; ++row) {
        for (int column = x0 >> kCellShift; column <= x1 >> kCellShift; ++column) {
            const size_t i = static_cast<size_t>(row * m_columns + column);
            Cell& c = m_cells[i];
            if (c.stamp != m_stamp) {
                c.stamp = m_stamp;
                c.present = 0;
                c.translucent = 0;
            }
            Claim& k = m_claims[depth][i];
            if (!(c.present & same)) {
                c.present |= same;
                k = {-1, -1, ink.colour, ink.mixed};
            }
            if (ink.translucent) {
                c.translucent |= same;
                k.translucent = std::max(k.translucent, place);
            } else {
                if (k.opaque < 0) {
                    k.colour = ink.colour;
                    k.mixed = ink.mixed;
                } else if (ink.mixed || ink.colour != k.colour) {
                    k.mixed = true;
                }
                k.opaque = std::max(k.opaque, place);
            }
        }
    }
    return layer;
}

TargetBatch::Layer& TargetBatch::LayerAt(int index) {
    if (static_cast<size_t>(index) >= m_layers.size()) m_layers.resize(static_cast<size_t>(index) + 1);
    m_layerCount = std::max(m_layerCount, index + 1);
    return m_layers[static_cast<size_t>(index)];
}

void TargetBatch::Line(double x1, double y1, double x2, double y2, double z) {
    const int layer = Place(kLines, static_cast<float>(z), InkOf(false), std::min(x1, x2), std::min(y1, y2),
                            std::max(x1, x2), std::max(y1, y2));
    Push(LayerAt(layer).vertices[kLines], {x1, y1, x2, y2}, z);
}

void TargetBatch::Push(std::vector<Vertex>& v, const Ends& line, double z) const {
    const float fz = static_cast<float>(z);
    v.push_back({static_cast<float>(line.x1),
                 static_cast<float>(line.y1),
                 fz,
                 {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
    v.push_back({static_cast<float>(line.x2),
                 static_cast<float>(line.y2),
                 fz,
                 {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
}

long TargetBatch::CellsOf(double left, double bottom, double right, double top) {
    // With the pixel Place adds on each side.
    const long columns = ((static_cast<long>(std::ceil(right)) + 1) >> kCellShift) -
                         ((static_cast<long>(std::floor(left)) - 1) >> kCellShift) + 1;
    const long rows = ((static_cast<long>(std::ceil(top)) + 1) >> kCellShift) -
                      ((static_cast<long>(std::floor(bottom)) - 1) >> kCellShift) + 1;
    return columns * rows;
}

template <typename BoxOf>
bool TargetBatch::CommonBox(int count, BoxOf boxOf, Box& box) {
    box = boxOf(0);
    long apart = 0;
    for (int i = 0; i < count; ++i) {
        const Box b = boxOf(i);
        apart += CellsOf(b.left, b.bottom, b.right, b.top);
        box = {std::min(box.left, b.left), std::min(box.bottom, b.bottom), std::max(box.right, b.right),
               std::max(box.top, b.top)};
    }
    return CellsOf(box.left, box.bottom, box.right, box.top) <= apart;
}

void TargetBatch::Lines(const Ends* lines, int count, double z) {
    if (count <= 0) return;
    Box box;
    const bool together = CommonBox(
        count,
        [lines](int i) {
            const Ends& e = lines[i];
            return Box{std::min(e.x1, e.x2), std::min(e.y1, e.y2), std::max(e.x1, e.x2), std::max(e.y1, e.y2)};
        },
        box);
    if (!together) {
        for (int i = 0; i < count; ++i) Line(lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2, z);
        return;
    }
    const int layer = Place(kLines, static_cast<float>(z), InkOf(false), box.left, box.bottom, box.right, box.top);
    std::vector<Vertex>& v = LayerAt(layer).vertices[kLines];
    for (int i = 0; i < count; ++i) Push(v, lines[i], z);
}

void TargetBatch::WideLine(double x1, double y1, double x2, double y2, double z, int width) {
    if (width <= 1) return Line(x1, y1, x2, y2, z);
    const Group group = width == 2 ? kWide2 : kWide3;
    const double half = width / 2.0 + 1;
    const int layer = Place(group, static_cast<float>(z), InkOf(false), std::min(x1, x2) - half,
                            std::min(y1, y2) - half, std::max(x1, x2) + half, std::max(y1, y2) + half);
    Push(LayerAt(layer).vertices[group], {x1, y1, x2, y2}, z);
}

void TargetBatch::Point(double x, double y, double z) {
    if (!m_begun) Begin();
    const double half = m_pointSize / 2.0 + 1;
    const int layer =
        Place(kPoints, static_cast<float>(z), InkOf(m_smoothPoints), x - half, y - half, x + half, y + half);
    LayerAt(layer).vertices[kPoints].push_back({static_cast<float>(x), static_cast<float>(y),
                                                static_cast<float>(z),
                                                {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
}

void TargetBatch::Points(const double (*xy)[2], int count, double z) {
    if (count <= 0) return;
    if (!m_begun) Begin();
    const double half = m_pointSize / 2.0 + 1;
    Box box;
    const bool together = CommonBox(
        count,
        [xy, half](int i) { return Box{xy[i][0] - half, xy[i][1] - half, xy[i][0] + half, xy[i][1] + half}; },
        box);
    if (!together) {
        for (int i = 0; i < count; ++i) Point(xy[i][0], xy[i][1], z);
        return;
    }
    const int layer =
        Place(kPoints, static_cast<float>(z), InkOf(m_smoothPoints), box.left, box.bottom, box.right, box.top);
    std::vector<Vertex>& v = LayerAt(layer).vertices[kPoints];
    for (int i = 0; i < count; ++i) {
        v.push_back({static_cast<float>(xy[i][0]), static_cast<float>(xy[i][1]), static_cast<float>(z),
                     {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
    }
}

void TargetBatch::Polygon(const double (*xy)[2], int count, double z) {
    if (count < 3) return;
    double left = xy[0][0], right = left, bottom = xy[0][1], top = bottom;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, xy[i][0]);
        right = std::max(right, xy[i][0]);
        bottom = std::min(bottom, xy[i][1]);
        top = std::max(top, xy[i][1]);
    }
    const int layer = Place(kFills, static_cast<float>(z), InkOf(false), left, bottom, right, top);
    const float fz = static_cast<float>(z);
    std::vector<Vertex>& v = LayerAt(layer).vertices[kFills];
    // A fan, as GL splits a polygon.
    for (int i = 1; i + 1 < count; ++i) {
        for (int k : {0, i, i + 1}) {
            v.push_back({static_cast<float>(xy[k][0]), static_cast<float>(xy[k][1]), fz,
                         {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
        }
    }
}

void TargetBatch::Text(const GlBitmapFont& font, double x, double y, double z, std::string_view text) {
    if (!m_begun) Begin();
    m_measure.MoveTo(x, y, z, m_rgba);
    const GlPixelBox box = m_measure.Measure(font, text);
    if (box.IsEmpty()) return;
    // The raster position's window depth stands for the text's class: only
    // equality and order matter, and z maps to it monotonically.
    const int layer = Place(kText, static_cast<float>(z), InkOf(false), box.left, box.bottom, box.right, box.top);
    Layer& l = LayerAt(layer);
    if (!l.textReady) {
        l.text.CaptureTransform();
        // Data blocks come back frame after frame, mostly unchanged.
        l.text.UseStringStamps();
        l.textReady = true;
    }
    l.text.MoveTo(x, y, z, m_rgba);
    l.text.Add(font, text);
}

void TargetBatch::Draw(const std::vector<Vertex>& v, unsigned mode) const {
    if (v.empty()) return;
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &v[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), v[0].rgba);
    glDrawArrays(mode, 0, static_cast<GLsizei>(v.size()));
}

void TargetBatch::Flush() {
    if (!m_begun) return;
    m_begun = false;
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT |
                 GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    float lineWidth = m_lineWidth;
    auto setLineWidth = [&lineWidth](float width) {
        if (width == lineWidth) return;
        glLineWidth(width);
        lineWidth = width;
    };
    bool inText = false;
    for (int i = 0; i < m_layerCount; ++i) {
        Layer& layer = m_layers[static_cast<size_t>(i)];
        bool geometry = false;
        for (const auto& v : layer.vertices) geometry = geometry || !v.empty();
        if (geometry && inText) {
            if (!m_texturing) glDisable(GL_TEXTURE_2D);
            if (m_alphaTest)
                glAlphaFunc(static_cast<GLenum>(m_alphaFunc), m_alphaRef);
            else
                glDisable(GL_ALPHA_TEST);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            inText = false;
        }
        Draw(layer.vertices[kFills], GL_TRIANGLES);
        if (!layer.vertices[kLines].empty()) {
            setLineWidth(m_lineWidth);
            Draw(layer.vertices[kLines], GL_LINES);
        }
        if (!layer.vertices[kWide2].empty()) {
            setLineWidth(2.0f);
            Draw(layer.vertices[kWide2], GL_LINES);
        }
        if (!layer.vertices[kWide3].empty()) {
            setLineWidth(3.0f);
            Draw(layer.vertices[kWide3], GL_LINES);
        }
        Draw(layer.vertices[kPoints], GL_POINTS);
        if (!layer.text.Empty()) {
            layer.text.BeginDrawing();
            layer.text.DrawRuns(0, layer.text.Cut());
            layer.text.EndDrawing();
            inText = true;
        }
        for (auto& v : layer.vertices) v.clear();
        layer.text.Clear();
        layer.textReady = false;
    }
    glPopClientAttrib();
    glPopAttrib();
    m_layerCount = 0;
}
