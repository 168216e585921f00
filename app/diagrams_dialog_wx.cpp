// The diagrams dialog window. Tested through tests/app/scope_program_test.cpp.
#include "app/diagrams_dialog_wx.h"

#include <wx/listbox.h>
#include <wx/wx.h>

#include <map>

#include "app/wx_image.h"
#include "app/wx_text.h"
#include "resources/dialog_layouts.h"
#include "scope/diagrams_dialog.h"

namespace {

class DiagramsDialog;
// One open dialog per owning display window; main thread only.
std::map<wxWindow*, DiagramsDialog*>& OpenDialogs() {
    static std::map<wxWindow*, DiagramsDialog*> dialogs;
    return dialogs;
}

std::vector<int> SelectedRows(wxListBox* list) {
    wxArrayInt rows;
    list->GetSelections(rows);
    return std::vector<int>(rows.begin(), rows.end());
}

class DiagramsDialog : public wxDialog {
public:
    DiagramsDialog(wxWindow* owner, TarqDisplayScope& scope, const DialogLayout& layout)
        : wxDialog(owner, wxID_ANY, layout.caption, wxDefaultPosition, wxDefaultSize,
                   wxCAPTION | wxCLOSE_BOX | wxFRAME_TOOL_WINDOW),
          m_owner(owner),
          m_model(scope) {
        SetProgramIcon(*this);
        SetClientSize(ConvertDialogToPixels(wxSize(layout.width, layout.height)));
        for (const DialogControl& c : layout.controls) {
            wxPoint at = ConvertDialogToPixels(wxPoint(c.x, c.y));
            wxSize size = ConvertDialogToPixels(wxSize(c.width, c.height));
            switch (c.kind) {
                case DialogControlKind::Label:
                    new wxStaticText(this, wxID_ANY, c.text, at, size);
                    break;
                case DialogControlKind::Button:
                    new wxButton(this, c.id, c.text, at, size);
                    break;
                case DialogControlKind::ListBox: {
                    auto* list = new wxListBox(this, c.id, at, size, 0, nullptr,
                                               c.multiSelect ? wxLB_MULTIPLE : wxLB_SINGLE);
                    (c.id == ScopeDialog::kSidList ? m_sids : m_stars) = list;
                    break;
                }
            }
        }
        Fill();
        Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) {
            if (event.GetId() == ScopeDialog::kSidList) m_model.OnSidSelection(SelectedRows(m_sids));
            else m_model.OnStarSelection(SelectedRows(m_stars));
        });
        Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
            if (event.GetId() == ScopeDialog::kClearSids) {
                m_model.ClearSids();
                m_sids->DeselectAll();
            } else if (event.GetId() == ScopeDialog::kClearStars) {
                m_model.ClearStars();
                m_stars->DeselectAll();
            } else {
                Close();
            }
        });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_ESCAPE) Close();
            else event.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
            OpenDialogs().erase(m_owner);
            Destroy();
        });
        if (m_sids) m_sids->SetFocus();
    }

private:
    void Fill() {
        auto fill = [](wxListBox* list, const DiagramListRows& rows) {
            if (!list) return;
            for (const std::string& name : rows.names) list->Append(ToWx(name));
            for (int row : rows.selected) list->SetSelection(row);
        };
        fill(m_sids, m_model.SidRows());
        fill(m_stars, m_model.StarRows());
    }

    wxWindow* m_owner;
    DiagramsDialogModel m_model;
    wxListBox* m_sids = nullptr;
    wxListBox* m_stars = nullptr;
};

}  // namespace

void DiagramsDialogWindow::Show(wxWindow* owner, TarqDisplayScope& scope) {
    if (auto it = OpenDialogs().find(owner); it != OpenDialogs().end()) {
        it->second->Raise();
        return;
    }
    const DialogLayout* layout = FindDialogLayout(ScopeDialog::kDiagrams);
    if (!layout) return;
    auto* dialog = new DiagramsDialog(owner, scope, *layout);
    OpenDialogs()[owner] = dialog;
    dialog->Show();
}

void DiagramsDialogWindow::Close(wxWindow* owner) {
    if (auto it = OpenDialogs().find(owner); it != OpenDialogs().end()) it->second->Close(true);
}
