// Tested by tests/scope/drawn_frames_test.cpp.
#include "scope/target_batch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "platform/gl_font.h"

namespace {

unsigned __int128 GroupBits(int group, int depths) {
    return ((static_cast<unsigned __int128>(1) << depths) - 1) << (group * depths);
}

}  // namespace

void TargetBatch::Begin() {
    m_begun = true;
    glGetIntegerv(GL_VIEWPORT, m_viewport);
    m_depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    m_smoothPoints = glIsEnabled(GL_POINT_SMOOTH) == GL_TRUE;
    m_texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    m_alphaTest = glIsEnabled(GL_ALPHA_TEST) == GL_TRUE;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &m_alphaFunc);
    glGetFloatv(GL_ALPHA_TEST_REF, &m_alphaRef);
    glGetFloatv(GL_POINT_SIZE, &m_pointSize);
    glGetFloatv(GL_LINE_WIDTH, &m_lineWidth);
    m_text.CaptureTransform();
    m_columns = std::max(1, (m_viewport[2] >> kCellShift) + 1);
    m_rows = std::max(1, (m_viewport[3] >> kCellShift) + 1);
    const size_t cells = static_cast<size_t>(m_columns) * m_rows;
    if (m_cells.size() < cells) m_cells.resize(cells);
    CloseLayer();
}

void TargetBatch::CloseLayer() {
    // The first layer of a frame is empty: it marks where the next begins.
    Layer layer;
    for (int g = 0; g < kGroupCount; ++g) layer.end[g] = static_cast<int>(m_vertices[g].size());
    layer.textRuns = m_text.Cut();
    bool any = m_layers.empty() || layer.textRuns != m_layers.back().textRuns;
    for (int g = 0; g < kGroupCount && !any; ++g) any = layer.end[g] != m_layers.back().end[g];
    if (any) m_layers.push_back(layer);
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

int TargetBatch::DepthClass(float z) {
    // Without a depth test every piece's pixels land in drawing order: one class.
    if (!m_depthTest) z = 0;
    for (size_t i = 0; i < m_depths.size(); ++i)
        if (m_depths[i] == z) return static_cast<int>(i);
    if (m_depths.size() == kDepths) CloseLayer();
    const int added = static_cast<int>(m_depths.size());
    m_depths.push_back(z);
    m_same[added] = 0;
    m_nearer[added] = 0;
    m_farther[added] = 0;
    for (int i = 0; i <= added; ++i) {
        unsigned __int128 classBit = 0, addedBit = 0;
        for (int g = 0; g < kGroupCount; ++g) {
            classBit |= static_cast<unsigned __int128>(1) << (g * kDepths + i);
            addedBit |= static_cast<unsigned __int128>(1) << (g * kDepths + added);
        }
        if (i == added) {
            m_same[added] = classBit;
        } else if (m_depths[static_cast<size_t>(i)] > z) {  // class i is in front
            m_nearer[added] |= classBit;
            m_farther[i] |= addedBit;
        } else {
            m_farther[added] |= classBit;
            m_nearer[i] |= addedBit;
        }
    }
    return added;
}

void TargetBatch::Place(Group group, float z, bool opaque, double left, double bottom, double right,
                        double top) {
    if (!m_begun) Begin();
    int depth = DepthClass(z);
    // Window pixels, with a pixel to spare for rounding.
    const int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1 - m_viewport[0]);
    const int y0 = std::max(0, static_cast<int>(std::floor(bottom)) - 1 - m_viewport[1]);
    const int x1 = std::min(m_viewport[2] - 1, static_cast<int>(std::ceil(right)) + 1 - m_viewport[0]);
    const int y1 = std::min(m_viewport[3] - 1, static_cast<int>(std::ceil(top)) + 1 - m_viewport[1]);
    if (x0 > x1 || y0 > y1) return;  // off the view: no pixel to order
    const unsigned __int128 later = ~GroupBits(0, kDepths * (group + 1));  // groups drawn after this one
    const unsigned __int128 clash = later & (m_same[depth] | (opaque ? 0 : m_farther[depth]));
    const unsigned __int128 clashTranslucent = later & m_nearer[depth];
    bool conflict = false;
    for (int row = y0 >> kCellShift; row <= y1 >> kCellShift && !conflict; ++row) {
        for (int column = x0 >> kCellShift; column <= x1 >> kCellShift; ++column) {
            const Cell& c = m_cells[static_cast<size_t>(row * m_columns + column)];
            if (c.stamp != m_stamp) continue;
            if ((c.present & clash) || (c.translucent & clashTranslucent)) {
                conflict = true;
                break;
            }
        }
    }
    if (conflict) {
        CloseLayer();
        depth = DepthClass(z);
    }
    Mark(group, depth, opaque, x0, y0, x1, y1);
}

void TargetBatch::Mark(Group group, int depth, bool opaque, int left, int bottom, int right, int top) {
    const unsigned __int128 bit = static_cast<unsigned __int128>(1) << (group * kDepths + depth);
    for (int row = bottom >> kCellShift; row <= top >> kCellShift; ++row) {
        for (int column = left >> kCellShift; column <= right >> kCellShift; ++column) {
            Cell& c = m_cells[static_cast<size_t>(row * m_columns + column)];
            if (c.stamp != m_stamp) {
                c.stamp = m_stamp;
                c.present = 0;
                c.translucent = 0;
            }
            c.present |= bit;
            if (!opaque) c.translucent |= bit;
        }
    }
}

void TargetBatch::Line(double x1, double y1, double x2, double y2, double z) {
    Place(kLines, static_cast<float>(z), m_rgba[3] == 255, std::min(x1, x2), std::min(y1, y2),
          std::max(x1, x2), std::max(y1, y2));
    const float fz = static_cast<float>(z);
    std::vector<Vertex>& v = m_vertices[kLines];
    v.push_back({static_cast<float>(x1), static_cast<float>(y1), fz, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
    v.push_back({static_cast<float>(x2), static_cast<float>(y2), fz, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
}

void TargetBatch::WideLine(double x1, double y1, double x2, double y2, double z, int width) {
    if (width <= 1) return Line(x1, y1, x2, y2, z);
    const Group group = width == 2 ? kWide2 : kWide3;
    const double half = width / 2.0 + 1;
    Place(group, static_cast<float>(z), m_rgba[3] == 255, std::min(x1, x2) - half, std::min(y1, y2) - half,
          std::max(x1, x2) + half, std::max(y1, y2) + half);
    const float fz = static_cast<float>(z);
    std::vector<Vertex>& v = m_vertices[group];
    v.push_back({static_cast<float>(x1), static_cast<float>(y1), fz, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
    v.push_back({static_cast<float>(x2), static_cast<float>(y2), fz, {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
}

void TargetBatch::Point(double x, double y, double z) {
    if (!m_begun) Begin();
    const double half = m_pointSize / 2.0 + 1;
    Place(kPoints, static_cast<float>(z), m_rgba[3] == 255 && !m_smoothPoints, x - half, y - half, x + half,
          y + half);
    m_vertices[kPoints].push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                                   {m_rgba[0], m_rgba[1], m_rgba[2], m_rgba[3]}});
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
    Place(kFills, static_cast<float>(z), m_rgba[3] == 255, left, bottom, right, top);
    const float fz = static_cast<float>(z);
    std::vector<Vertex>& v = m_vertices[kFills];
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
    // Text is drawn last, so nothing queued can come to lie over it: it only
    // claims its pixels.
    m_text.MoveTo(x, y, z, m_rgba);
    const GlPixelBox box = m_text.Add(font, text);
    if (box.IsEmpty()) return;
    const int x0 = std::max(0, box.left - m_viewport[0]);
    const int y0 = std::max(0, box.bottom - m_viewport[1]);
    const int x1 = std::min(m_viewport[2] - 1, box.right - m_viewport[0]);
    const int y1 = std::min(m_viewport[3] - 1, box.top - m_viewport[1]);
    if (x0 > x1 || y0 > y1) return;
    // The raster position's window depth stands for the text's class: only
    // equality and order matter, and z maps to it monotonically.
    Mark(kText, DepthClass(static_cast<float>(z)), m_rgba[3] == 255, x0, y0, x1, y1);
}

void TargetBatch::Draw(Group group, unsigned mode, int first, int end) {
    if (first == end) return;
    const std::vector<Vertex>& v = m_vertices[group];
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &v[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), v[0].rgba);
    glDrawArrays(mode, first, end - first);
}

void TargetBatch::Flush() {
    if (!m_begun) return;
    m_begun = false;
    CloseLayer();
    if (m_layers.size() < 2) {
        m_layers.clear();
        return;
    }
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
    int first[kGroupCount] = {};
    int firstRun = 0;
    for (size_t i = 1; i < m_layers.size(); ++i) {
        const Layer& layer = m_layers[i];
        bool geometry = false;
        for (int g = 0; g < kText; ++g) geometry = geometry || layer.end[g] != first[g];
        if (geometry && inText) {
            m_text.EndDrawing();
            if (!m_texturing) glDisable(GL_TEXTURE_2D);
            if (m_alphaTest)
                glAlphaFunc(static_cast<GLenum>(m_alphaFunc), m_alphaRef);
            else
                glDisable(GL_ALPHA_TEST);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            inText = false;
        }
        Draw(kFills, GL_TRIANGLES, first[kFills], layer.end[kFills]);
        if (layer.end[kLines] != first[kLines]) {
            setLineWidth(m_lineWidth);
            Draw(kLines, GL_LINES, first[kLines], layer.end[kLines]);
        }
        if (layer.end[kWide2] != first[kWide2]) {
            setLineWidth(2.0f);
            Draw(kWide2, GL_LINES, first[kWide2], layer.end[kWide2]);
        }
        if (layer.end[kWide3] != first[kWide3]) {
            setLineWidth(3.0f);
            Draw(kWide3, GL_LINES, first[kWide3], layer.end[kWide3]);
        }
        Draw(kPoints, GL_POINTS, first[kPoints], layer.end[kPoints]);
        if (layer.textRuns != firstRun) {
            if (!inText) m_text.BeginDrawing();
            inText = true;
            m_text.DrawRuns(firstRun, layer.textRuns);
        }
        for (int g = 0; g < kGroupCount; ++g) first[g] = layer.end[g];
        firstRun = layer.textRuns;
    }
    if (inText) m_text.EndDrawing();
    glPopClientAttrib();
    glPopAttrib();
    for (auto& v : m_vertices) v.clear();
    m_layers.clear();
    m_text.Clear();
}
