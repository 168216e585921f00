// TarqToolWindowDialog: the native window of a tool window, a modeless
// wxDialog that serves TarqToolWindow through ToolWindowFrame, snaps to the
// other windows while it is moved or sized, and rolls up to its caption and
// back by Ctrl+U or its menu item.
// Tested by tests/app/tool_window_wx_test.cpp.
#pragma once

#include <wx/dialog.h>

class wxMenu;

#include <functional>
#include <vector>

#include "foundation/tool_window.h"

class TarqToolWindowDialog : public wxDialog, public ToolWindowFrame {
public:
    // Attaches itself to the tool window, which must outlive it or detach.
    TarqToolWindowDialog(TarqToolWindow& tool, wxWindow* parent, const wxString& title,
                         long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    ~TarqToolWindowDialog() override;

    ScreenRect GetWindowRect() const override;
    int GetClientHeight() const override;
    bool IsShown() const override;
    void ShowAndRaise() override;
    void HideWindow() override;
    void Activate() override;
    void Place(int x, int y, int width, int height, bool activate) override;
    bool HasSizingFrame() const override;
    void SetSizingFrame(bool sizing) override;
    bool IsPointOnMonitor(int x, int y) const override;
    void ActivateMainDisplay() override;

    // The application says how the main display window is brought forward.
    static void SetMainDisplayActivator(std::function<void()> activate);
    // And which screen areas a window shown for the first time must leave
    // clear (the main display's menu bar and command line).
    static void SetKeepClearAreas(std::function<std::vector<ScreenRect>()> areas);

    // GTK reports no double-click on the caption, so the roll-up has a key,
    // taken wherever the focus is inside the window, and a menu item that
    // every menu of the window carries.
    static constexpr int kRollUpCommand = 9001;
    void AppendRollUpItem(wxMenu& menu) const;
    // Rolls up or down when the chosen command is the item's; true then.
    bool RunRollUpItem(int command);
    // The menu of the window itself, for a right-click that no control of
    // the window takes; `at` in screen pixels.
    void ShowWindowMenu(wxPoint at);

    // The main display's window takes its children with it: the owner's
    // pointer to this dialog is cleared when it goes that way.
    void ForgetOnDestroy(wxDialog** holder) { m_holder = holder; }

private:
    // Puts a window about to be shown for the first time wholly on a monitor
    // and clear of the keep-clear areas.
    void FitOnFirstShow();

    TarqToolWindow& m_tool;
    wxDialog** m_holder = nullptr;
    bool m_shownBefore = false;
};
