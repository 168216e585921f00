// Tested through tests/app/program_test.cpp.
#include "app/profile_dialog.h"

#include <wx/weakref.h>
#include <wx/wx.h>

#include "app/display_layout.h"
#include "app/menu_builder.h"
#include "app/menu_table.h"
#include "app/settings_dialogs_wx.h"
#include "app/wx_image.h"
#include "app/wx_text.h"
#include "platform/message_box.h"
#include "platform/url_open.h"

ProfileDialog::ProfileDialog(TarqSessionUi& session)
    : wxFrame(nullptr, 101, ToWx(std::string(" ") + kProgramName + " " + kProgramVersion), wxDefaultPosition,
              wxDefaultSize, wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
      m_session(session) {
    SetProgramIcon(*this);
    auto* panel = new wxPanel(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(panel, 1008, "Choose a Session Profile:"), 0, wxALL, 8);
    m_listBox = new wxListBox(panel, 1002, wxDefaultPosition, wxSize(260, 200), 0, nullptr, wxLB_SINGLE);
    sizer->Add(m_listBox, 1, wxLEFT | wxRIGHT | wxEXPAND, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(panel, wxID_OK, "OK");
    ok->SetDefault();
    buttons->Add(ok, 0, wxALL, 4);
    buttons->Add(new wxButton(panel, wxID_EXIT, "Exit"), 0, wxALL, 4);
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 4);
    panel->SetSizer(sizer);

    SetMenuBar(BuildCommandMenuBar(kProfileMenu));
    SetClientSize(panel->GetBestSize());

    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OpenSelected(); }, wxID_OK);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { m_session.PostQuit(); }, wxID_EXIT);
    m_listBox->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { TakeSelection(); });
    m_listBox->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) { OpenSelected(); });
    Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
        OnMenu(event.GetId() == wxID_EXIT ? CommandId::ProfileExit
                                          : static_cast<CommandId>(FromToolkitId(event.GetId())));
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        switch (event.GetKeyCode()) {
            case WXK_ESCAPE:
                m_session.PostQuit();
                return;
            case WXK_RETURN:
            case WXK_NUMPAD_ENTER:
                OpenSelected();
                return;
            case WXK_DELETE:
                if (FindFocus() == m_listBox) {
                    DeleteSelected();
                    return;
                }
                break;
            default:
                break;
        }
        event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        event.Veto();
        m_session.PostQuit();
    });
    Refill();
    m_listBox->SetFocus();
}

void ProfileDialog::Refill() {
    m_list = FillProfileList(true, true);
    m_listBox->Clear();
    for (const std::string& name : m_list.entries) m_listBox->Append(ToWx(name));
    if (m_list.selected >= 0) m_listBox->SetSelection(m_list.selected);
}

bool ProfileDialog::Select(const std::string& name) {
    for (size_t i = 0; i < m_list.entries.size(); ++i) {
        if (m_list.entries[i] == name) {
            m_list.selected = static_cast<int>(i);
            m_listBox->SetSelection(m_list.selected);
            return true;
        }
    }
    return false;
}

void ProfileDialog::TakeSelection() {
    int selection = m_listBox->GetSelection();
    m_list.selected = selection == wxNOT_FOUND ? -1 : selection;
}

void ProfileDialog::OpenSelected() {
    TakeSelection();
    // Opening destroys this dialog, and a message box during the open runs a
    // loop that deletes it at once: the open runs from the application's
    // queue, never inside one of the dialog's own handlers, and touches
    // nothing of the dialog once it has begun.
    wxWeakRef<ProfileDialog> self(this);
    wxTheApp->CallAfter([self, list = m_list, &session = m_session] {
        if (!self || self->IsBeingDeleted()) return;
        OpenSessionProfile(list, static_cast<wxWindow*>(self.get()), session);
    });
}

void ProfileDialog::DeleteSelected() {
    TakeSelection();
    if (DeleteSelectedProfile(m_list, static_cast<wxWindow*>(this))) Refill();
}

void ProfileDialog::OnMenu(CommandId id) {
    switch (id) {
        case CommandId::LoadSelected:
            OpenSelected();
            return;
        case CommandId::DeleteSelected:
            DeleteSelected();
            return;
        case CommandId::ProfileExit:
            m_session.PostQuit();
            return;
        case CommandId::About: {
            // Appended piece by piece: GCC 12 warns falsely (-Warray-bounds)
            // on a chain of + over literals in release builds.
            std::string text = "Tarqline\r\n\r\nVersion: ";
            text.append(kProgramVersion)
                .append("\r\n\r\nAn ATC client for the Peltan network, by the Tarq developers.\r\n\r\nSee ")
                .append(HelpPageUrl(CommandId::WebSite))
                .append(" for documentation or to\r\ndownload the latest version.");
            ShowMessageBox(text, std::string("About ").append(kProgramName),
                           {MessageBoxButtons::Ok, MessageBoxIcon::Information, 0},
                           static_cast<wxWindow*>(this));
            return;
        }
        default: {
            if (RunProfileTransfer(id, this)) {
                Refill();
                return;
            }
            std::string page = HelpPageUrl(id);
            if (!page.empty()) OpenUrl(page);
        }
    }
}
