// TarqToolWindowDialog: the native window of a tool window, a modeless
// wxDialog that serves TarqToolWindow through ToolWindowFrame and snaps to
// the other windows while it is moved or sized.
// Tested by tests/app/tool_window_wx_test.cpp.
#pragma once

#include <wx/dialog.h>

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
