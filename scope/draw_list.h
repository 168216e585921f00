// A display list as data: line blocks, triangles and texts with
// their vertices, in drawing order. The sector lists are built as this and
// compiled into GL display lists by scope_gl.cpp, so what each list holds is
// tested without a GL context. Tested by tests/scope/sector_lists_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Each vertex carries the colour that was current when it was added; a text
// takes the colour of its raster position.
struct DrawVertex {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    uint8_t rgb[3] = {0, 0, 0};
};

enum class DrawOp : uint8_t {
    Lines,      // count vertices from first, in pairs
    LineLoop,   // count vertices from first
    Triangles,  // count vertices from first, in threes
    Stipple,    // flag: on (factor 4, pattern 0xAAAA) or off
    Text,       // font, texts[text]; at vertices[first] unless flag (then where the last text ended)
};

struct DrawCommand {
    DrawOp op = DrawOp::Lines;
    uint8_t font = 0;
    bool flag = false;
    uint32_t first = 0;
    uint32_t count = 0;
    uint32_t text = 0;
};

class DrawList {
public:
    // The colour of the vertices and texts that follow.
    void SetColor(const uint8_t rgb[3]);
    // Packed 24-bit colour, red in the low byte.
    void SetColor(int packed);
    void BeginLines() { Begin(DrawOp::Lines); }
    void BeginLineLoop() { Begin(DrawOp::LineLoop); }
    void BeginTriangles() { Begin(DrawOp::Triangles); }
    void Vertex(double x, double y, double z);
    void End();
    void SetStipple(bool on);
    void Text(int font, double x, double y, double z, const std::string& text);
    // Right after the previous text, as a raster position moves on.
    void TextHere(int font, const std::string& text);
    void Clear();

    bool Empty() const { return m_commands.empty(); }
    const std::vector<DrawCommand>& Commands() const { return m_commands; }
    const std::vector<DrawVertex>& Vertices() const { return m_vertices; }
    const std::vector<std::string>& Texts() const { return m_texts; }
    // Vertices of every line command (Lines and LineLoop), for tests.
    size_t LineVertexCount() const;

private:
    void Begin(DrawOp op);

    std::vector<DrawCommand> m_commands;
    std::vector<DrawVertex> m_vertices;
    std::vector<std::string> m_texts;
    bool m_open = false;
    uint8_t m_color[3] = {255, 255, 255};
};
