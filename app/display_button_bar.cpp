// Tested by tests/app/button_bar_test.cpp.
#include "app/display_button_bar.h"

#include "app/button_picture.h"
#include "scope/picture_hash.h"

TarqDisplayButtonBar::TarqDisplayButtonBar(TarqDisplay* display, TarqButtonKinds& kinds,
                                           const TarqFontSource* fonts)
    : m_display(display), m_kinds(kinds), m_fonts(fonts) {
    m_fixedButtons = m_kinds.CreateFixedButtons(*this);
    m_fixedWidths.assign(m_fixedButtons.size(), 0);
}

void TarqDisplayButtonBar::LayOut(int viewportX, int viewportY, int width, int height) {
    int x = viewportX + kMargin;
    int y = height - kMargin - kHeight;
    auto layOut = [&](std::vector<std::unique_ptr<TarqDisplayButton>>& buttons, std::vector<int>& widths) {
        for (size_t i = 0; i < buttons.size(); ++i) {
            int w = buttons[i]->Draw(x, y);
            widths[i] = w > 0 ? w + 1 : 0;
            if (w > 0) x += w + 1 + kGap;
        }
    };
    layOut(m_fixedButtons, m_fixedWidths);
    layOut(m_dynamicButtons, m_dynamicWidths);
    m_left = viewportX + kMargin;
    m_right = x - kGap;
    m_bottom = y;
    m_top = y + kHeight;
}

uint64_t TarqDisplayButtonBar::PictureKey(int viewportX, int /*viewportY*/, int /*width*/, int height) {
    // Keep in step with LayOut.
    PictureHash hash;
    int x = viewportX + kMargin;
    const int y = height - kMargin - kHeight;
    hash.Add(y);
    for (auto* buttons : {&m_fixedButtons, &m_dynamicButtons}) {
        hash.Add(buttons->size());
        for (const auto& button : *buttons) {
            ButtonPicture picture;
            const int w = button->Compose(x, y, picture);
            hash.Add(x).Add(w);
            for (const ButtonShape& shape : picture.Shapes()) {
                hash.Add(static_cast<int>(shape.kind)).Add(shape.color.r).Add(shape.color.g).Add(shape.color.b);
                hash.Add(shape.left).Add(shape.bottom).Add(shape.right).Add(shape.top).Add(shape.font);
                hash.Add(shape.text).Add(shape.alpha);
            }
            if (w > 0) x += w + 1 + kGap;
        }
    }
    return hash.Value();
}

bool TarqDisplayButtonBar::HitTest(int x, int y) {
    if (y < m_bottom || y > m_top || x < m_left || x > m_right) return false;
    int column = m_left;
    auto find = [&](std::vector<std::unique_ptr<TarqDisplayButton>>& buttons,
                    const std::vector<int>& widths) -> TarqDisplayButton* {
        for (size_t i = 0; i < buttons.size(); ++i) {
            int c = widths[i];
            if (c == 0) continue;
            if (x >= column && x <= column + c - 1) return buttons[i].get();
            column += c + kGap;
        }
        return nullptr;
    };
    TarqDisplayButton* button = find(m_fixedButtons, m_fixedWidths);
    if (!button) button = find(m_dynamicButtons, m_dynamicWidths);
    if (!button) return false;  // the gap between two buttons
    // A click may rebuild the bar (a weather station removed): the button
    // must not be destroyed under its own OnClick.
    m_inClick = true;
    button->OnClick(x, y);
    m_inClick = false;
    if (m_rebuildPending) {
        m_rebuildPending = false;
        Rebuild();
    }
    return true;
}

void TarqDisplayButtonBar::Rebuild() {
    if (m_inClick) {
        m_rebuildPending = true;
        return;
    }
    m_dynamicButtons.clear();
    m_dynamicButtons = m_kinds.CreateDynamicButtons(*this);
    m_dynamicWidths.assign(m_dynamicButtons.size(), 0);
}
