// The modeless "Diagrams" dialog of a display: built from its layout in
// resources/, bound to DiagramsDialogModel. Tested through
// tests/app/scope_program_test.cpp.
#pragma once

class TarqDisplayScope;
class wxWindow;

class DiagramsDialogWindow {
public:
    // Shows the dialog of this owner, or brings the open one to the front.
    static void Show(wxWindow* owner, TarqDisplayScope& scope);
    // Closes the owner's dialog if it is open.
    static void Close(wxWindow* owner);
};
