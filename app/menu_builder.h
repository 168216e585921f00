// Builds a menu bar from rows of the command table: top-level menus and
// submenus appear in the order their first item comes. Tested through
// tests/app/program_test.cpp.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/aircraft_actions.h"

class wxMenu;
class wxMenuBar;

// The menu bar of one place (a MenuPlace bit) from the command table; the
// caller owns it. The session-profile dialog's Exit gets wx's exit id.
wxMenuBar* BuildCommandMenuBar(int place);

// A pop-up menu from its item tree; the caller owns it.
wxMenu* BuildPopupMenu(const std::vector<PopupMenuItem>& items);

class MenuBarBuilder {
public:
    MenuBarBuilder();
    ~MenuBarBuilder();
    MenuBarBuilder(const MenuBarBuilder&) = delete;
    MenuBarBuilder& operator=(const MenuBarBuilder&) = delete;

    // Appends an item to the menu, or to its submenu when submenu is not
    // null; toolkitId 0 appends a separator.
    void Add(const char* menu, const char* submenu, int toolkitId, const char* label, bool checkable = false);

    // The bar built so far; the caller owns it (a frame takes it).
    wxMenuBar* Release();

private:
    wxMenuBar* m_bar;
    std::map<std::string, wxMenu*> m_menus;
    // Keyed by menu + "/" + submenu: two menus may hold submenus of one name.
    std::map<std::string, wxMenu*> m_submenus;
};
