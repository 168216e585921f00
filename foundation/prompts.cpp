// Tested by tests/foundation/prompts_test.cpp.
#include "foundation/prompts.h"

bool ConfirmDisconnect(WindowHandle owner) {
    MessageBoxStyle style{MessageBoxButtons::OkCancel, MessageBoxIcon::Warning, 0};
    return ShowMessageBox("You are still connected to the network. Press OK to disconnect.",
                          "Confirm Disconnect", style, owner) == MessageBoxResult::Ok;
}

MessageBoxResult PromptSaveProfile(WindowHandle owner) {
    MessageBoxStyle style{MessageBoxButtons::YesNoCancel, MessageBoxIcon::Question, 0};
    return ShowMessageBox(
        "The currently active session profile contains unsaved changes. Would you like to save the session "
        "profile now?",
        "Save Profile", style, owner);
}
