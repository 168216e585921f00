// TarqDisplayButton: one status box of the main display's button bar. Each
// kind draws itself into the current GL context and answers a left click;
// the base keeps the box's place and draws its box and texts.
// Tested by tests/app/button_bar_test.cpp and furniture_gl_test.cpp.
#pragma once

#include <cstdint>

class ButtonPicture;
class TarqDisplayButtonBar;

class TarqDisplayButton {
public:
    TarqDisplayButton(TarqDisplayButtonBar* bar, int width) : m_bar(bar), m_width(width) {}
    virtual ~TarqDisplayButton() = default;
    TarqDisplayButton(const TarqDisplayButton&) = delete;
    TarqDisplayButton& operator=(const TarqDisplayButton&) = delete;

    // Stores x and y, draws the box with its lower-left corner there and
    // returns the width taken, or 0 when the button shows nothing this frame.
    virtual int Draw(int x, int y) = 0;
    // What Draw at (x, y) would paint, without GL; the width as Draw's.
    virtual int Compose(int x, int y, ButtonPicture& picture) = 0;
    // A left click at (x, y), drawing-area pixels with y upward, that the bar
    // found in this button's column.
    virtual void OnClick(int x, int y) = 0;

    // The filled, outlined box; every kind draws it first.
    void DrawBox() const;

    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    int GetWidth() const { return m_width; }
    TarqDisplayButtonBar* GetBar() const { return m_bar; }

    static constexpr uint8_t kFill[4] = {0, 0, 0, 170};
    static constexpr uint8_t kOutline[3] = {0, 0, 180};

protected:
    int m_x = 0;
    int m_y = 0;
    TarqDisplayButtonBar* m_bar;
    int m_width;
};
