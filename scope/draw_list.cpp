// Display lists as data. Tested by tests/scope/sector_lists_test.cpp.
#include "scope/draw_list.h"

#include <cstring>

#include "foundation/geo_helpers.h"

void DrawList::SetColor(const uint8_t rgb[3]) { std::memcpy(m_color, rgb, 3); }

void DrawList::SetColor(int packed) {
    uint8_t rgb[3];
    UnpackRGB(packed, rgb);
    SetColor(rgb);
}

void DrawList::Begin(DrawOp op) {
    if (m_open) End();
    DrawCommand command;
    command.op = op;
    command.first = static_cast<uint32_t>(m_vertices.size());
    m_commands.push_back(command);
    m_open = true;
}

void DrawList::Vertex(double x, double y, double z) {
    DrawVertex v{x, y, z, {m_color[0], m_color[1], m_color[2]}};
    m_vertices.push_back(v);
    if (m_open) ++m_commands.back().count;
}

void DrawList::End() {
    if (!m_open) return;
    m_open = false;
    if (m_commands.back().count == 0) m_commands.pop_back();
}

void DrawList::SetStipple(bool on) {
    if (m_open) End();
    DrawCommand command;
    command.op = DrawOp::Stipple;
    command.flag = on;
    m_commands.push_back(command);
}

void DrawList::Text(int font, double x, double y, double z, const std::string& text) {
    if (m_open) End();
    DrawCommand command;
    command.op = DrawOp::Text;
    command.font = static_cast<uint8_t>(font);
    command.first = static_cast<uint32_t>(m_vertices.size());
    command.text = static_cast<uint32_t>(m_texts.size());
    DrawVertex v{x, y, z, {m_color[0], m_color[1], m_color[2]}};
    m_vertices.push_back(v);
    m_texts.push_back(text);
    m_commands.push_back(command);
}

void DrawList::TextHere(int font, const std::string& text) {
    if (m_open) End();
    DrawCommand command;
    command.op = DrawOp::Text;
    command.font = static_cast<uint8_t>(font);
    command.flag = true;
    command.text = static_cast<uint32_t>(m_texts.size());
    m_texts.push_back(text);
    m_commands.push_back(command);
}

void DrawList::Clear() {
    m_commands.clear();
    m_vertices.clear();
    m_texts.clear();
    m_open = false;
    m_color[0] = m_color[1] = m_color[2] = 255;
}

size_t DrawList::LineVertexCount() const {
    size_t n = 0;
    for (const DrawCommand& c : m_commands)
        if (c.op == DrawOp::Lines || c.op == DrawOp::LineLoop) n += c.count;
    return n;
}
