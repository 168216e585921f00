// Tested by tests/app/tool_window_wx_test.cpp.
#include "app/window_snap_wx.h"

#include <wx/display.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <memory>

#include "foundation/window_snap.h"

namespace {

ScreenRect ToScreenRect(const wxRect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// The manager's view of the wx windows. While one window's move is snapped
// it answers that window's rectangle with the place from before the move.
class WxSnapSystem final : public SnapWindowSystem {
public:
    ScreenRect WorkArea() const override {
        wxDisplay primary(0u);
        return ToScreenRect(primary.IsOk() ? primary.GetClientArea() : wxGetClientDisplayRect());
    }
    bool IsControlDown() const override { return wxGetKeyState(WXK_CONTROL); }
    bool GetWindowRect(WindowHandle window, ScreenRect* rect) const override {
        if (window == m_moving) {
            *rect = m_movingFrom;
            return true;
        }
        *rect = ToScreenRect(static_cast<wxTopLevelWindow*>(window)->GetRect());
        return true;
    }
    bool IsWindowVisible(WindowHandle window) const override {
        return static_cast<wxTopLevelWindow*>(window)->IsShown();
    }
    void SetMoving(WindowHandle window, const ScreenRect& from) {
        m_moving = window;
        m_movingFrom = from;
    }

private:
    WindowHandle m_moving = nullptr;
    ScreenRect m_movingFrom;
};

WxSnapSystem& System() {
    static WxSnapSystem* system = new WxSnapSystem;
    return *system;
}

struct SnapState {
    ScreenRect last;  // the window's place after the last move we saw
    std::function<int()> fixedWidth;
};

void OnMovedOrSized(wxTopLevelWindow* window, SnapState& state) {
    if (window->IsIconized() || window->IsMaximized()) {
        state.last = ToScreenRect(window->GetRect());
        return;
    }
    wxRect now = window->GetRect();
    WindowPlacement pos{window, now.x, now.y, now.width, now.height};
    System().SetMoving(window, state.last);
    WindowSnapManager::GetInstance()->SnapWindow(&pos);
    System().SetMoving(nullptr, {});
    if (state.fixedWidth) {
        int width = state.fixedWidth();
        if (width > 0) pos.cx = width;
    }
    state.last = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    // The correction comes back as one more move, which finds the window
    // where it was put and leaves it there.
    if (pos.x != now.x || pos.y != now.y || pos.cx != now.width || pos.cy != now.height)
        window->SetSize(pos.x, pos.y, pos.cx, pos.cy);
}

}  // namespace

void AttachWindowSnapping(wxTopLevelWindow* window, std::function<int()> fixedWidth) {
    WindowSnapManager* manager = WindowSnapManager::GetInstance();
    manager->SetSystem(&System());
    manager->RegisterWindow(window);
    auto state = std::make_shared<SnapState>();
    state->last = ToScreenRect(window->GetRect());
    state->fixedWidth = std::move(fixedWidth);
    window->Bind(wxEVT_MOVE, [window, state](wxMoveEvent& event) {
        event.Skip();
        OnMovedOrSized(window, *state);
    });
    window->Bind(wxEVT_SIZE, [window, state](wxSizeEvent& event) {
        event.Skip();
        OnMovedOrSized(window, *state);
    });
    window->Bind(wxEVT_DESTROY, [window](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() == window) WindowSnapManager::GetInstance()->UnregisterWindow(window);
    });
}
