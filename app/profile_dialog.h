// The session-profile dialog: the list of session profiles, OK and Exit, and
// its menu. Tested through tests/app/program_test.cpp.
#pragma once

#include <wx/frame.h>

#include "app/menu_table.h"
#include "app/session.h"

class wxListBox;

class ProfileDialog : public wxFrame {
public:
    explicit ProfileDialog(TarqSessionUi& session);

    void Refill();
    const ProfileList& List() const { return m_list; }
    // Selects the entry of that name; false when the list has none.
    bool Select(const std::string& name);
    // What OK, Enter, a double click and "Load Selected" do.
    void OpenSelected();
    void DeleteSelected();

private:
    void TakeSelection();
    void OnMenu(CommandId id);

    TarqSessionUi& m_session;
    wxListBox* m_listBox;
    ProfileList m_list;
};
