// Tested by tests/app/tool_window_wx_test.cpp.
#include "app/window_snap_wx.h"

#include <wx/display.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <map>
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
    bool placing = false;  // a move of the program's own is on its way
    ScreenRect placed;     // where it goes
};

std::map<wxTopLevelWindow*, std::shared_ptr<SnapState>>& States() {
    static auto* states = new std::map<wxTopLevelWindow*, std::shared_ptr<SnapState>>;
    return *states;
}

void SnapAndFix(wxTopLevelWindow* window, SnapState& state, WindowPlacement* pos) {
    System().SetMoving(window, state.last);
    WindowSnapManager::GetInstance()->SnapWindow(pos);
    System().SetMoving(nullptr, {});
    if (state.fixedWidth) {
        int width = state.fixedWidth();
        if (width > 0) pos->cx = width;
    }
}

void OnMovedOrSized(wxTopLevelWindow* window, SnapState& state) {
    if (window->IsIconized() || window->IsMaximized()) {
        state.last = ToScreenRect(window->GetRect());
        return;
    }
    wxRect now = window->GetRect();
    ScreenRect nowRect = ToScreenRect(now);
    if (state.placing) {
        // The program's own placement was snapped when it was asked for.
        bool arrived = nowRect.left == state.placed.left && nowRect.top == state.placed.top &&
                       nowRect.right == state.placed.right && nowRect.bottom == state.placed.bottom;
        if (arrived) state.placing = false;
        state.last = nowRect;
        return;
    }
    WindowPlacement pos{window, now.x, now.y, now.width, now.height};
    SnapAndFix(window, state, &pos);
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
    States()[window] = state;
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
        if (event.GetEventObject() != window) return;
        WindowSnapManager::GetInstance()->UnregisterWindow(window);
        States().erase(window);
    });
}

void PlaceWindow(wxTopLevelWindow* window, int x, int y, int width, int height) {
    wxRect now = window->GetRect();
    WindowPlacement pos{window, x, y, width < 0 ? now.width : width, height < 0 ? now.height : height};
    auto it = States().find(window);
    if (it != States().end()) {
        SnapState& state = *it->second;
        state.last = ToScreenRect(now);
        SnapAndFix(window, state, &pos);
        state.placed = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
        state.placing = pos.x != now.x || pos.y != now.y || pos.cx != now.width || pos.cy != now.height;
    }
    window->SetSize(pos.x, pos.y, pos.cx, pos.cy);
}

bool IsPointOnAnyMonitor(int x, int y) {
    return wxDisplay::GetFromPoint(wxPoint(x + 15, y + 15)) != wxNOT_FOUND;
}
