// The connect dialog's window. Tested through tests/app/program_test.cpp.
#pragma once

#include "platform/window_handle.h"

// Runs the modal connect dialog over the window; on Connect the network
// manager signs on with what was entered.
void RunConnectDialog(WindowHandle parent);
