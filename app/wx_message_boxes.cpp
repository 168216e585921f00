// Tested through tests/app/program_test.cpp.
#include "app/wx_message_boxes.h"

#include <wx/msgdlg.h>

#include "app/wx_text.h"

MessageBoxResult WxMessageBoxHandler::Show(const std::string& text, const std::string& caption,
                                           MessageBoxStyle style, WindowHandle owner) {
    long flags = 0;
    switch (style.buttons) {
        case MessageBoxButtons::Ok:
            flags = wxOK;
            break;
        case MessageBoxButtons::OkCancel:
            flags = wxOK | wxCANCEL | (style.defaultButton == 1 ? wxCANCEL_DEFAULT : 0);
            break;
        case MessageBoxButtons::YesNo:
            flags = wxYES_NO | (style.defaultButton == 1 ? wxNO_DEFAULT : 0);
            break;
        case MessageBoxButtons::YesNoCancel:
            flags = wxYES_NO | wxCANCEL | (style.defaultButton == 1 ? wxNO_DEFAULT : 0) |
                    (style.defaultButton == 2 ? wxCANCEL_DEFAULT : 0);
            break;
    }
    switch (style.icon) {
        case MessageBoxIcon::Error:
            flags |= wxICON_ERROR;
            break;
        case MessageBoxIcon::Warning:
            flags |= wxICON_WARNING;
            break;
        case MessageBoxIcon::Information:
            flags |= wxICON_INFORMATION;
            break;
        case MessageBoxIcon::Question:
            flags |= wxICON_QUESTION;
            break;
        case MessageBoxIcon::None:
            break;
    }
    wxMessageDialog dialog(static_cast<wxWindow*>(owner), ToWx(text), ToWx(caption), flags);
    switch (dialog.ShowModal()) {
        case wxID_YES:
            return MessageBoxResult::Yes;
        case wxID_NO:
            return MessageBoxResult::No;
        case wxID_CANCEL:
            return MessageBoxResult::Cancel;
        default:
            return MessageBoxResult::Ok;
    }
}
