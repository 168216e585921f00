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
    glGetFloatv(GL_POINT_SIZE, &m_pointSize);
    m_text.CaptureTransform();
    m_columns = std::max(1, (m_viewport[2] >> kCellShift) + 1);
    m_rows = std::max(1, (m_viewport[3] >> kCellShift) + 1);
    const size_t cells = static_cast<size_t>(m_columns) * m_rows;
    if (m_cells.size() < cells) m_cells.resize(cells);
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
    if (m_depths.size() == kDepths) {
        Flush();
        Begin();
    }
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
        Flush();
        Begin();
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

void TargetBatch::Draw(Group group, unsigned mode) {
    const std::vector<Vertex>& v = m_vertices[group];
    if (v.empty()) return;
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &v[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), v[0].rgba);
    glDrawArrays(mode, 0, static_cast<GLsizei>(v.size()));
}

void TargetBatch::Flush() {
    bool any = !m_text.Empty();
    for (const auto& v : m_vertices) any = any || !v.empty();
    m_begun = false;
    if (!any) return;
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    Draw(kFills, GL_TRIANGLES);
    Draw(kLines, GL_LINES);
    if (!m_vertices[kWide2].empty()) {
        glLineWidth(2.0f);
        Draw(kWide2, GL_LINES);
    }
    if (!m_vertices[kWide3].empty()) {
        glLineWidth(3.0f);
        Draw(kWide3, GL_LINES);
    }
    Draw(kPoints, GL_POINTS);
    glPopClientAttrib();
    glPopAttrib();
    for (auto& v : m_vertices) v.clear();
    m_text.Flush();
}
