// The settings dialogs' windows: each is built from its layout in
// resources/settings_dialogs.xrc and binds its controls to the form that
// holds its behaviour. Tested through tests/app/settings_program_test.cpp.
#pragma once

#include "app/menu_table.h"

class TarqDisplay;
class wxWindow;

// The display window's Settings commands that open a dialog (modal, owned
// by parent); false for any other command.
bool OpenSettingsDialog(CommandId id, wxWindow* parent, TarqDisplay& display);

// The profile dialog's import, export and merge commands; false for others.
bool RunProfileTransfer(CommandId id, wxWindow* parent);
