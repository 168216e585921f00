// What one button draws in a frame, as a list of shapes in drawing-area
// pixels (y upward): the kinds compose it without GL, tests read it, and the
// GL side paints it in order.
// Tested by tests/app/button_kinds_test.cpp; painted in furniture_gl.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ButtonColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const ButtonColor&) const = default;
};

struct ButtonShape {
    enum class Kind {
        Box,   // the button's own box (fill and outline)
        Fill,  // a filled rectangle left..right, bottom..top
        Loop,  // an outline as the box's: the top edge reaches right + 1
        Line,  // a segment from (left, bottom) to (right, top)
        Text,  // text with its baseline start at (left, bottom)
    };
    Kind kind = Kind::Box;
    ButtonColor color;
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    int font = 0;
    std::string text;
    uint8_t alpha = 255;  // Fill only
};

class ButtonPicture {
public:
    void Box() { Add(ButtonShape::Kind::Box, {}, 0, 0, 0, 0); }
    void Fill(ButtonColor color, int left, int bottom, int right, int top, uint8_t alpha = 255) {
        Add(ButtonShape::Kind::Fill, color, left, bottom, right, top).alpha = alpha;
    }
    void Loop(ButtonColor color, int left, int bottom, int right, int top) {
        Add(ButtonShape::Kind::Loop, color, left, bottom, right, top);
    }
    void Line(ButtonColor color, int x1, int y1, int x2, int y2) {
        Add(ButtonShape::Kind::Line, color, x1, y1, x2, y2);
    }
    void Text(ButtonColor color, int font, int x, int y, std::string text) {
        ButtonShape& shape = Add(ButtonShape::Kind::Text, color, x, y, x, y);
        shape.font = font;
        shape.text = std::move(text);
    }

    const std::vector<ButtonShape>& Shapes() const { return m_shapes; }
    // The first text shape that reads exactly `text`; null when none.
    const ButtonShape* FindText(std::string_view text) const {
        for (const ButtonShape& shape : m_shapes)
            if (shape.kind == ButtonShape::Kind::Text && shape.text == text) return &shape;
        return nullptr;
    }
    // Every text in drawing order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ButtonShape& shape : m_shapes)
            if (shape.kind == ButtonShape::Kind::Text) texts.push_back(shape.text);
        return texts;
    }

private:
    ButtonShape& Add(ButtonShape::Kind kind, ButtonColor color, int left, int bottom, int right, int top) {
        ButtonShape& shape = m_shapes.emplace_back();
        shape.kind = kind;
        shape.color = color;
        shape.left = left;
        shape.bottom = bottom;
        shape.right = right;
        shape.top = top;
        return shape;
    }

    std::vector<ButtonShape> m_shapes;
};

class TarqDisplayButton;
// Paints the shapes in order into the current GL context, texts in the
// button's bar's fonts. In furniture_gl.cpp (tarq_app_gl).
void PaintButtonPicture(const TarqDisplayButton& button, const ButtonPicture& picture);
