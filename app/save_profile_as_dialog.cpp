// Tested through tests/app/program_test.cpp.
#include "app/save_profile_as_dialog.h"

#include <wx/wx.h>

#include "app/wx_image.h"
#include "app/wx_text.h"
#include "foundation/profile.h"
#include "foundation/save_profile_as.h"

namespace {

class SaveProfileAsDialog : public wxDialog {
public:
    explicit SaveProfileAsDialog(wxWindow* parent)
        : wxDialog(parent, 179, "Save Profile As", wxDefaultPosition, wxDefaultSize,
                   wxCAPTION | wxSYSTEM_MENU) {
        SetProgramIcon(*this);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(new wxStaticText(this, wxID_ANY, "Enter a name for the profile:"), 0, wxALL, 8);
        m_name = new wxTextCtrl(this, 1094, "", wxDefaultPosition, wxSize(260, -1));
        sizer->Add(m_name, 0, wxLEFT | wxRIGHT | wxEXPAND, 8);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        auto* ok = new wxButton(this, wxID_OK, "OK");
        ok->SetDefault();
        buttons->Add(ok, 0, wxALL, 4);
        buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALL, 4);
        sizer->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 4);
        SetSizerAndFit(sizer);
        CentreOnParent();
        m_name->SetFocus();
        Bind(wxEVT_BUTTON, &SaveProfileAsDialog::OnOk, this, wxID_OK);
    }

private:
    void OnOk(wxCommandEvent&) {
        if (!g_profile) {
            EndModal(wxID_CANCEL);
            return;
        }
        std::string text = FromWx(m_name->GetValue()).substr(0, TarqSaveProfileAsForm::kMaxNameLength);
        TarqSaveProfileAsForm form(*g_profile);
        if (form.Accept(text, this)) {
            EndModal(wxID_OK);
            return;
        }
        m_name->SelectAll();
        m_name->SetFocus();
    }

    wxTextCtrl* m_name;
};

}  // namespace

int RunSaveProfileAsDialog(WindowHandle parent) {
    SaveProfileAsDialog dialog(static_cast<wxWindow*>(parent));
    dialog.ShowModal();
    return 0;
}
