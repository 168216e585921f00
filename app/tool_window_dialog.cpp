// Tested by tests/app/tool_window_wx_test.cpp.
#include "app/tool_window_dialog.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "app/window_snap_wx.h"
#include "app/wx_image.h"
#include "foundation/window_fit.h"

namespace {

std::function<void()>& MainDisplayActivator() {
    static std::function<void()> activate;
    return activate;
}

std::function<std::vector<ScreenRect>()>& KeepClearAreas() {
    static std::function<std::vector<ScreenRect>()> areas;
    return areas;
}

}  // namespace

TarqToolWindowDialog::TarqToolWindowDialog(TarqToolWindow& tool, wxWindow* parent, const wxString& title,
                                           long style)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, style), m_tool(tool) {
    SetProgramIcon(*this);
    m_tool.AttachFrame(this);
    // The five fixed-width windows keep their width field while being sized.
    AttachWindowSnapping(this, [this] { return m_tool.GetWidth(); });
    // The window's own handlers, bound later, see the key first and pass it on.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        if (e.GetModifiers() == wxMOD_CONTROL && (e.GetKeyCode() == 'U' || e.GetKeyCode() == 'u')) {
            m_tool.ToggleCollapse();
            return;
        }
        e.Skip();
    });
    Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& e) {
        // An edit box keeps its own menu of cut, copy and paste.
        if (dynamic_cast<wxTextCtrl*>(e.GetEventObject())) {
            e.Skip();
            return;
        }
        wxPoint at = e.GetPosition();
        if (at == wxDefaultPosition) at = ClientToScreen(wxPoint(0, 0));
        ShowWindowMenu(at);
    });
    // After the size event: GTK may still be inside its own size allocation.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        e.Skip();
        CallAfter([this] { m_tool.FrameSized(); });
    });
}

TarqToolWindowDialog::~TarqToolWindowDialog() {
    if (m_holder && *m_holder == this) *m_holder = nullptr;
    if (m_tool.GetFrame() == this) m_tool.AttachFrame(nullptr);
}

ScreenRect TarqToolWindowDialog::GetWindowRect() const {
    wxRect r = GetRect();
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

int TarqToolWindowDialog::GetClientHeight() const { return GetClientSize().y; }

bool TarqToolWindowDialog::IsShown() const { return wxDialog::IsShown(); }

void TarqToolWindowDialog::FitOnFirstShow() {
    if (m_shownBefore) return;
    m_shownBefore = true;
    std::vector<ScreenRect> monitors;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxRect r = wxDisplay(i).GetClientArea();
        monitors.push_back({r.x, r.y, r.x + r.width, r.y + r.height});
    }
    const std::vector<ScreenRect> keepClear =
        KeepClearAreas() ? KeepClearAreas()() : std::vector<ScreenRect>{};
    const ScreenRect now = GetWindowRect();
    const ScreenRect fit = FitNewWindow(now, monitors, keepClear);
    if (fit.left != now.left || fit.top != now.top || fit.right != now.right || fit.bottom != now.bottom)
        PlaceWindow(this, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top);
}

void TarqToolWindowDialog::ShowAndRaise() {
    FitOnFirstShow();
    ShowWithoutActivating();
    Raise();
    Refresh();
    Update();
}

void TarqToolWindowDialog::HideWindow() { wxDialog::Hide(); }

void TarqToolWindowDialog::Activate() {
    Raise();
    SetFocus();
}

void TarqToolWindowDialog::Place(int x, int y, int width, int height, bool activate) {
    PlaceWindow(this, x, y, width, height);
    // GTK's raise presents the window: a hidden one would show. A move
    // without activation keeps the window's place in the stack.
    if (!activate || !wxDialog::IsShown()) return;
    Raise();
    SetFocus();
}

bool TarqToolWindowDialog::HasSizingFrame() const { return HasFlag(wxRESIZE_BORDER); }

void TarqToolWindowDialog::SetSizingFrame(bool sizing) {
    long style = GetWindowStyleFlag();
    SetWindowStyleFlag(sizing ? (style | wxRESIZE_BORDER) : (style & ~wxRESIZE_BORDER));
}

bool TarqToolWindowDialog::IsPointOnMonitor(int x, int y) const {
    return wxDisplay::GetFromPoint(wxPoint(x, y)) != wxNOT_FOUND;
}

void TarqToolWindowDialog::ActivateMainDisplay() {
    if (MainDisplayActivator()) MainDisplayActivator()();
}

void TarqToolWindowDialog::AppendRollUpItem(wxMenu& menu) const {
    if (menu.GetMenuItemCount() > 0) menu.AppendSeparator();
    menu.Append(kRollUpCommand, m_tool.IsCollapsed() ? "Roll Down\tCtrl+U" : "Roll Up\tCtrl+U");
}

bool TarqToolWindowDialog::RunRollUpItem(int command) {
    if (command != kRollUpCommand) return false;
    // Not while the menu's own loop unwinds.
    CallAfter([this] { m_tool.ToggleCollapse(); });
    return true;
}

void TarqToolWindowDialog::ShowWindowMenu(wxPoint at) {
    wxMenu menu;
    AppendRollUpItem(menu);
    RunRollUpItem(GetPopupMenuSelectionFromUser(menu, ScreenToClient(at)));
}

void TarqToolWindowDialog::SetMainDisplayActivator(std::function<void()> activate) {
    MainDisplayActivator() = std::move(activate);
}

void TarqToolWindowDialog::SetKeepClearAreas(std::function<std::vector<ScreenRect>()> areas) {
    KeepClearAreas() = std::move(areas);
}
