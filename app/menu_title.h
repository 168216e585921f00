// The title of a pop-up menu: GTK menus cannot draw their own items, so a
// disabled item with the title, followed by a separator, stands in for the
// bold owner-drawn title. Tested by tests/app/program_test.cpp.
#pragma once

#include <string>

class wxMenu;

// Puts the title item and a separator at the top of the menu.
void InsertMenuTitle(wxMenu* menu, const std::string& title);
