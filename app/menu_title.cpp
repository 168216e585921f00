// Tested by tests/app/program_test.cpp.
#include "app/menu_title.h"

#include <wx/menu.h>

#include "app/wx_text.h"

void InsertMenuTitle(wxMenu* menu, const std::string& title) {
    if (!menu) return;
    menu->InsertSeparator(0);
    // The title must not be taken for a mnemonic or a command.
    wxString label = ToWx(title);
    label.Replace("&", "&&");
    wxMenuItem* item = menu->Insert(0, wxID_ANY, label);
    item->Enable(false);
}
