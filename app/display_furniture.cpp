// Tested by tests/app/display_furniture_test.cpp. Draw is in furniture_gl.cpp.
#include "app/display_furniture.h"

#include "scope/picture_hash.h"

TarqDisplayFurniture::TarqDisplayFurniture(TarqDisplay* display, RadioHistoryHost& host,
                                           TarqButtonKinds& kinds, TarqProfile& profile, const Clock& clock)
    : m_history(host, profile, clock), m_buttonBar(display, kinds, &host) {}

void TarqDisplayFurniture::AddRadioLine(RadioMessageKind kind, const std::string& text) {
    m_history.AddMessage(text, kind);
}

uint64_t TarqDisplayFurniture::PictureKey(int showMask, int viewportX, int viewportY, int width, int height) {
    // Keep in step with Draw (furniture_gl.cpp).
    PictureHash hash;
    hash.Add(showMask & (kShowButtonBar | kShowRadioHistory));
    if (showMask & kShowButtonBar) hash.Add(m_buttonBar.PictureKey(viewportX, viewportY, width, height));
    if (showMask & kShowRadioHistory) {
        RadioHistoryFrame frame = m_history.Layout(viewportX, viewportY, width, height, false);
        hash.Add(frame.left).Add(frame.top).Add(frame.right).Add(frame.bottom);
        hash.Add(frame.border.r).Add(frame.border.g).Add(frame.border.b);
        for (const RadioHistoryFrame::Line& line : frame.lines) {
            hash.Add(line.text).Add(line.x).Add(line.y);
            hash.Add(line.color.r).Add(line.color.g).Add(line.color.b);
        }
    }
    return hash.Value();
}

bool TarqDisplayFurniture::OnLeftButtonDown(int showMask, int x, int y, int viewportHeight) {
    // GL rows count upward: the canvas's top row is the viewport's last.
    int up = viewportHeight - 1 - y;
    if ((showMask & kShowButtonBar) && m_buttonBar.HitTest(x, up)) return true;
    return (showMask & kShowRadioHistory) && m_history.HitTest(x, up);
}

bool TarqDisplayFurniture::OnCommandLineKey(int virtualKey, bool ctrl) {
    switch (virtualKey) {
        case kVkPageUp:
            m_history.ScrollOlder();
            return true;
        case kVkPageDown:
            m_history.ScrollNewer();
            return true;
        case kVkEnd:
            if (!ctrl) return false;
            m_history.ScrollToNewest();
            return true;
        case kVkTab:
            if (!ctrl) return false;
            m_history.ToggleExpanded();
            return true;
        case kVkUp:
        case kVkDown:
            if (!ctrl) return false;
            m_history.ChangeSize(virtualKey == kVkUp ? 1 : -1);
            return true;
        default:
            return false;
    }
}
