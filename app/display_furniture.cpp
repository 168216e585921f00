// Tested by tests/app/display_furniture_test.cpp. Draw is in furniture_gl.cpp.
#include "app/display_furniture.h"

TarqDisplayFurniture::TarqDisplayFurniture(TarqDisplay* display, RadioHistoryHost& host,
                                           TarqButtonKinds& kinds, TarqProfile& profile, const Clock& clock)
    : m_history(host, profile, clock), m_buttonBar(display, kinds, &host) {}

void TarqDisplayFurniture::AddRadioLine(RadioMessageKind kind, const std::string& text) {
    m_history.AddMessage(text, kind);
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
