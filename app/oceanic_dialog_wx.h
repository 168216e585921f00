// The modeless "Oceanic Tracks" dialog of a display: built from its layout in
// resources/, its owner-drawn track rows bound to OceanicDialogModel.
// Tested through tests/app/scope_program_test.cpp.
#pragma once

class TarqDisplayScope;
class wxWindow;

class OceanicDialogWindow {
public:
    // Shows the dialog of this owner, or brings the open one to the front.
    static void Show(wxWindow* owner, TarqDisplayScope& scope);
    // Refills the owner's dialog if it is open (the tracks changed).
    static void Refresh(wxWindow* owner);
    // Closes the owner's dialog if it is open.
    static void Close(wxWindow* owner);
    static bool IsOpen(wxWindow* owner);
};
