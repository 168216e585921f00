// TarqDisplayButtonBar: the row of status buttons across the top of the main
// display. Lays the shown buttons out left to right, remembers how wide each
// was drawn, and routes a left click to the button under it. The kinds of
// button come from TarqButtonKinds.
// Tested by tests/app/button_bar_test.cpp and furniture_gl_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/display_button.h"
#include "app/display_fonts.h"

class TarqDisplay;
class TarqDisplayButtonBar;

// Makes the buttons: the nine fixed ones in bar order, and the dynamic ones
// (a frequency button per received communications entry, then a weather
// button per monitored station) as they stand now.
class TarqButtonKinds {
public:
    virtual ~TarqButtonKinds() = default;
    virtual std::vector<std::unique_ptr<TarqDisplayButton>> CreateFixedButtons(TarqDisplayButtonBar& bar) = 0;
    virtual std::vector<std::unique_ptr<TarqDisplayButton>> CreateDynamicButtons(
        TarqDisplayButtonBar& bar) = 0;
};

class TarqDisplayButtonBar {
public:
    static constexpr int kHeight = 43;
    static constexpr int kMargin = 4;
    static constexpr int kGap = 7;

    TarqDisplayButtonBar(TarqDisplay* display, TarqButtonKinds& kinds, const TarqFontSource* fonts);
    virtual ~TarqDisplayButtonBar() = default;
    TarqDisplayButtonBar(const TarqDisplayButtonBar&) = delete;
    TarqDisplayButtonBar& operator=(const TarqDisplayButtonBar&) = delete;

    // Draws the bar into the current GL context, over its whole viewport.
    void Draw();
    // Lays the buttons out (each draws itself) in a viewport and records the
    // bar's rectangle and each button's column.
    void LayOut(int viewportX, int viewportY, int width, int height);
    // A hash of what LayOut in that viewport would paint now; equal hashes,
    // the same bar.
    uint64_t PictureKey(int viewportX, int viewportY, int width, int height);
    // A left click in drawing-area pixels, y upward; true when a button took
    // it. Only buttons drawn in the last frame take clicks.
    bool HitTest(int x, int y);
    // Re-creates the dynamic buttons; they take clicks once drawn. Asked
    // during a click, it waits until the click has returned.
    void Rebuild();
    int GetHeight() const { return kHeight; }
    TarqDisplay* GetDisplay() const { return m_display; }
    // The main display's font of that id; null when none.
    const GlBitmapFont* GetFont(int id) const { return m_fonts ? m_fonts->GetFont(id) : nullptr; }

    int GetLeft() const { return m_left; }
    int GetTop() const { return m_top; }
    int GetRight() const { return m_right; }
    int GetBottom() const { return m_bottom; }
    // w + 1 for a button drawn w wide in the last frame, 0 for one not shown.
    const std::vector<int>& GetFixedWidths() const { return m_fixedWidths; }
    const std::vector<int>& GetDynamicWidths() const { return m_dynamicWidths; }

private:
    TarqDisplay* m_display;
    TarqButtonKinds& m_kinds;
    const TarqFontSource* m_fonts;
    // Empty until the first frame: no click is taken before it.
    int m_left = 0;
    int m_top = -1;
    int m_right = -1;
    int m_bottom = 0;
    std::vector<std::unique_ptr<TarqDisplayButton>> m_fixedButtons;
    std::vector<std::unique_ptr<TarqDisplayButton>> m_dynamicButtons;
    std::vector<int> m_fixedWidths;
    std::vector<int> m_dynamicWidths;
    bool m_inClick = false;
    bool m_rebuildPending = false;
};
