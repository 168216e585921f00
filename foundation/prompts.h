// The two fixed questions that closing a session and disconnecting ask.
// Tested by tests/foundation/prompts_test.cpp.
#pragma once

#include "platform/message_box.h"

// "Confirm Disconnect", OK and Cancel, warning icon; true for OK.
bool ConfirmDisconnect(WindowHandle owner);

// "Save Profile", Yes, No and Cancel, question icon; the button chosen.
MessageBoxResult PromptSaveProfile(WindowHandle owner);
