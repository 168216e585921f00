// The "Save Profile As" dialog window, bound to the name checks of
// TarqSaveProfileAsForm. Tested through tests/app/program_test.cpp.
#pragma once

#include "platform/window_handle.h"

// Shows the dialog modally over parent; the runner the settings store calls.
int RunSaveProfileAsDialog(WindowHandle parent);
