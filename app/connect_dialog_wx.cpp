// The connect dialog: controls from the layout in resources/, values through
// ConnectDialog. Tested through tests/app/program_test.cpp.
#include "app/connect_dialog_wx.h"

#include <wx/timer.h>
#include <wx/valtext.h>
#include <wx/wx.h>

#include <map>

#include "app/connect_dialog.h"
#include "app/global_objects.h"
#include "app/wx_image.h"
#include "app/wx_text.h"
#include "foundation/profile.h"
#include "platform/message_box.h"
#include "resources/connect_dialog_layout.h"

namespace {

class ManagerForDialog final : public ConnectDialogNetwork {
public:
    explicit ManagerForDialog(TarqNetworkManager& manager) : m_manager(manager) {}
    bool IsServerListReady() const override { return m_manager.IsServerListReady(); }
    void FillServerList(std::vector<std::string>& names) const override { m_manager.FillServerList(names); }
    bool IsRequestingBreak() const override { return m_manager.IsRequestingBreak(); }
    void SetBreakRequest(bool on) override { m_manager.SetBreakRequest(on); }
    bool IsRequestingHelp() const override { return m_manager.IsRequestingHelp(); }
    void SetHelpRequest(bool on, const std::string& message) override { m_manager.SetHelpRequest(on, message); }
    void Connect() override { m_manager.Connect(); }

private:
    TarqNetworkManager& m_manager;
};

void ClearSeeAll() {
    if (g_displayManager) g_displayManager->ClearSeeAll();
}

class ConnectDialogWindow : public wxDialog {
public:
    ConnectDialogWindow(wxWindow* parent, ConnectDialog& logic)
        : wxDialog(parent, connect_dialog_layout::kLayout.id, connect_dialog_layout::kLayout.caption),
          m_logic(logic),
          m_timer(this, 1) {
        SetProgramIcon(*this);
        const DialogLayout& layout = connect_dialog_layout::kLayout;
        SetClientSize(ConvertDialogToPixels(wxSize(layout.width, layout.height)));
        for (size_t i = 0; i < layout.controlCount; ++i) Create(layout.controls[i]);

        const ConnectValues v = m_logic.InitialValues();
        Edit(ConnectDialog::kCallsignId)->ChangeValue(ToWx(v.callsign));
        Edit(ConnectDialog::kRealNameId)->ChangeValue(ToWx(v.realName));
        Edit(ConnectDialog::kCidId)->ChangeValue(ToWx(v.cid));
        Edit(ConnectDialog::kPasswordId)->ChangeValue(ToWx(v.password));
        Fill(Choice(ConnectDialog::kFacilityId), ConnectDialog::FacilityNames(), v.facility);
        Fill(Choice(ConnectDialog::kRatingId), ConnectDialog::RatingNames(), v.ratingIndex);
        FillServerCombo();
        if (!m_serversReady) m_timer.Start(ConnectDialog::kTimerPeriodMs);

        Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (!m_logic.ServerList().ready) return;
            m_timer.Stop();
            FillServerCombo();
        });
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnConnect(); }, ConnectDialog::kConnectId);
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CANCEL); }, ConnectDialog::kCancelId);
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
            if (event.GetKeyCode() == WXK_ESCAPE) {
                EndModal(wxID_CANCEL);
                return;
            }
            if ((event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) &&
                FindWindow(ConnectDialog::kConnectId)->IsEnabled()) {
                OnConnect();
                return;
            }
            event.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });
        CentreOnParent();
        Edit(ConnectDialog::kCallsignId)->SetFocus();
    }

private:
    void Create(const DialogControl& c) {
        const wxPoint at = ConvertDialogToPixels(wxPoint(c.x, c.y));
        const wxSize size = ConvertDialogToPixels(wxSize(c.width, c.height));
        const int id = c.id == 0 ? wxID_ANY : c.id;
        switch (c.kind) {
            case DialogControlKind::Label:
                new wxStaticText(this, id, c.text, at, size);
                break;
            case DialogControlKind::Edit:
                new wxTextCtrl(this, id, "", at, size);
                break;
            case DialogControlKind::UpperCaseEdit: {
                auto* edit = new wxTextCtrl(this, id, "", at, size);
                // GTK has no upper-case style: the text is upper-cased as it is typed.
                edit->Bind(wxEVT_TEXT, [edit](wxCommandEvent&) {
                    const wxString text = edit->GetValue();
                    const wxString upper = text.Upper();
                    if (upper == text) return;
                    const long at = edit->GetInsertionPoint();
                    edit->ChangeValue(upper);
                    edit->SetInsertionPoint(at);
                });
                break;
            }
            case DialogControlKind::DigitsEdit:
                new wxTextCtrl(this, id, "", at, size, 0, wxTextValidator(wxFILTER_DIGITS));
                break;
            case DialogControlKind::PasswordEdit:
                new wxTextCtrl(this, id, "", at, size, wxTE_PASSWORD);
                break;
            case DialogControlKind::DropList:
            case DialogControlKind::SortedDropList:
                // The list's opened height does not apply to a GTK drop-down.
                new wxChoice(this, id, at, wxSize(size.x, -1), 0, nullptr,
                             c.kind == DialogControlKind::SortedDropList ? wxCB_SORT : 0);
                break;
            case DialogControlKind::DefaultButton:
                (new wxButton(this, id, c.text, at, size))->SetDefault();
                break;
            case DialogControlKind::Button:
                new wxButton(this, id, c.text, at, size);
                break;
        }
    }

    wxTextCtrl* Edit(int id) { return static_cast<wxTextCtrl*>(FindWindow(id)); }
    wxChoice* Choice(int id) { return static_cast<wxChoice*>(FindWindow(id)); }

    static void Fill(wxChoice* choice, const std::vector<std::string>& entries, int selected) {
        choice->Clear();
        for (const std::string& entry : entries) choice->Append(ToWx(entry));
        if (selected >= 0 && selected < static_cast<int>(entries.size())) choice->SetSelection(selected);
    }

    void FillServerCombo() {
        const ConnectDialog::ServerChoice servers = m_logic.ServerList();
        Fill(Choice(ConnectDialog::kServerId), servers.entries, servers.selected);
        m_serversReady = servers.ready;
        FindWindow(ConnectDialog::kConnectId)->Enable(servers.ready);
    }

    std::string ChoiceText(int id) {
        wxChoice* choice = Choice(id);
        return choice->GetSelection() == wxNOT_FOUND ? std::string() : FromWx(choice->GetStringSelection());
    }

    void OnConnect() {
        ConnectValues v;
        v.callsign = FromWx(Edit(ConnectDialog::kCallsignId)->GetValue());
        v.realName = FromWx(Edit(ConnectDialog::kRealNameId)->GetValue());
        v.facility = Choice(ConnectDialog::kFacilityId)->GetSelection();
        v.ratingIndex = Choice(ConnectDialog::kRatingId)->GetSelection();
        v.cid = FromWx(Edit(ConnectDialog::kCidId)->GetValue());
        v.password = FromWx(Edit(ConnectDialog::kPasswordId)->GetValue());
        v.server = ChoiceText(ConnectDialog::kServerId);
        if (auto failure = m_logic.Connect(v)) {
            ShowMessageBox(failure->message, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0}, this);
            wxTextCtrl* field = Edit(failure->control);
            field->SelectAll();
            field->SetFocus();
            return;
        }
        EndModal(wxID_OK);
    }

    ConnectDialog& m_logic;
    wxTimer m_timer;
    bool m_serversReady = false;
};

}  // namespace

void RunConnectDialog(WindowHandle parent) {
    if (!g_profile || !g_networkManager) return;
    ManagerForDialog network(*g_networkManager);
    ConnectDialog logic(*g_profile, network, ClearSeeAll);
    ConnectDialogWindow dialog(static_cast<wxWindow*>(parent), logic);
    dialog.ShowModal();
}
