// The oceanic tracks dialog window. Tested through tests/app/scope_program_test.cpp.
#include "app/oceanic_dialog_wx.h"

#include <wx/vlbox.h>
#include <wx/wx.h>

#include <map>

#include "app/wx_image.h"
#include "app/wx_text.h"
#include "resources/dialog_layouts.h"
#include "scope/oceanic_dialog.h"

namespace {

class OceanicDialog;
// One open dialog per owning display window; main thread only.
std::map<wxWindow*, OceanicDialog*>& OpenDialogs() {
    static std::map<wxWindow*, OceanicDialog*> dialogs;
    return dialogs;
}

// The owner-drawn rows: a placeholder line, or the track's columns.
class TrackList : public wxVListBox {
public:
    TrackList(wxWindow* parent, int id, wxPoint at, wxSize size, const OceanicDialogModel& model)
        : wxVListBox(parent, id, at, size, wxLB_MULTIPLE | wxWANTS_CHARS), m_model(model) {}

private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override {
        const std::vector<int>& items = m_model.Items();
        if (n >= items.size()) return;
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        const int top = rect.y + 1;
        if (items[n] == OceanicDialogModel::kDownloadingRow) {
            dc.DrawText("Downloading track data ...", rect.x + 3, top);
            return;
        }
        if (items[n] == OceanicDialogModel::kNoDataRow) {
            dc.DrawText("Click the Download button to download current track data.", rect.x + 3, top);
            return;
        }
        const OceanicTrackRow& row = m_model.Rows()[static_cast<size_t>(items[n])];
        const wxColour previous = dc.GetTextForeground();
        if (!row.current) dc.SetTextForeground(wxColour(0xa0, 0xa0, 0xa0));
        dc.DrawText(ToWx(row.texts[0]), rect.x + 3, top);
        dc.DrawText(OceanicDialogModel::DirectionText(row.direction), rect.x + 22, top);
        dc.DrawText(ToWx(row.texts[1]), rect.x + 42, top);
        dc.DrawText(ToWx(row.texts[2]), rect.x + 70, top);
        dc.DrawText(ToWx(row.texts[3]), rect.x + 385, top);
        dc.SetTextForeground(previous);
    }
    wxCoord OnMeasureItem(size_t) const override { return GetCharHeight() + 2; }

    const OceanicDialogModel& m_model;
};

class OceanicDialog : public wxDialog {
public:
    OceanicDialog(wxWindow* owner, TarqDisplayScope& scope, const DialogLayout& layout)
        : wxDialog(owner, wxID_ANY, layout.caption, wxDefaultPosition, wxDefaultSize,
                   wxCAPTION | wxCLOSE_BOX | wxFRAME_TOOL_WINDOW),
          m_owner(owner),
          m_model(scope) {
        SetProgramIcon(*this);
        SetClientSize(ConvertDialogToPixels(wxSize(layout.width, layout.height)));
        for (const DialogControl& c : layout.controls) {
            wxPoint at = ConvertDialogToPixels(wxPoint(c.x, c.y));
            wxSize size = ConvertDialogToPixels(wxSize(c.width, c.height));
            if (c.kind == DialogControlKind::ListBox) m_list = new TrackList(this, c.id, at, size, m_model);
            else if (c.kind == DialogControlKind::Button) new wxButton(this, c.id, c.text, at, size);
        }
        Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { m_model.OnSelection(Selection()); });
        Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { OnButton(event.GetId()); });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_ESCAPE) Close();
            else event.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
            OpenDialogs().erase(m_owner);
            Destroy();
        });
        Fill();
    }

    void Fill() {
        m_model.Fill();
        ShowRows();
        for (int item : m_model.SelectedItems()) m_list->Select(static_cast<size_t>(item), true);
        if (wxWindow* download = FindWindow(ScopeDialog::kDownload)) download->SetFocus();
    }

private:
    void OnButton(int id) {
        switch (id) {
            case ScopeDialog::kEastbound:
            case ScopeDialog::kWestbound:
                for (int item : m_model.SelectByDirection(id == ScopeDialog::kEastbound ? 4 : 5, Selection()))
                    m_list->Select(static_cast<size_t>(item), true);
                break;
            case ScopeDialog::kClearAll:
                m_list->DeselectAll();
                m_model.ClearAll();
                break;
            case ScopeDialog::kDownload:
                m_model.Download();
                ShowRows();
                FindWindow(ScopeDialog::kDownload)->Enable(false);
                break;
            default:  // OK
                Close();
                break;
        }
    }
    // The list's rows from the model, and input only while they are tracks.
    void ShowRows() {
        m_list->DeselectAll();
        m_list->SetItemCount(m_model.Items().size());
        m_list->Refresh();
        const bool tracks = m_model.HasTracks();
        m_list->Enable(tracks);
        for (int id : {ScopeDialog::kEastbound, ScopeDialog::kWestbound, ScopeDialog::kClearAll})
            if (wxWindow* button = FindWindow(id)) button->Enable(tracks);
        if (wxWindow* download = FindWindow(ScopeDialog::kDownload)) download->Enable(true);
    }
    std::vector<int> Selection() const {
        std::vector<int> rows;
        unsigned long cookie = 0;
        for (int item = m_list->GetFirstSelected(cookie); item != wxNOT_FOUND; item = m_list->GetNextSelected(cookie))
            rows.push_back(item);
        return rows;
    }

    wxWindow* m_owner;
    OceanicDialogModel m_model;
    TrackList* m_list = nullptr;
};

}  // namespace

void OceanicDialogWindow::Show(wxWindow* owner, TarqDisplayScope& scope) {
    if (auto it = OpenDialogs().find(owner); it != OpenDialogs().end()) {
        it->second->Raise();
        return;
    }
    const DialogLayout* layout = FindDialogLayout(ScopeDialog::kOceanic);
    if (!layout) return;
    auto* dialog = new OceanicDialog(owner, scope, *layout);
    OpenDialogs()[owner] = dialog;
    dialog->Show();
}

void OceanicDialogWindow::Refresh(wxWindow* owner) {
    if (auto it = OpenDialogs().find(owner); it != OpenDialogs().end()) it->second->Fill();
}

void OceanicDialogWindow::Close(wxWindow* owner) {
    if (auto it = OpenDialogs().find(owner); it != OpenDialogs().end()) it->second->Close(true);
}

bool OceanicDialogWindow::IsOpen(wxWindow* owner) { return OpenDialogs().count(owner) != 0; }
