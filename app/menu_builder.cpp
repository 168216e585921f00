// Tested through tests/app/program_test.cpp.
#include "app/menu_builder.h"

#include <wx/menu.h>

#include "app/menu_table.h"

wxMenuBar* BuildCommandMenuBar(int place) {
    MenuBarBuilder menus;
    for (const CommandRow& row : CommandTable()) {
        if (!row.menu || !(row.places & place)) continue;
        if (row.separatorBefore) menus.Add(row.menu, row.submenu, 0, nullptr);
        int id = row.id == CommandId::ProfileExit ? wxID_EXIT : ToToolkitId(row.id);
        menus.Add(row.menu, row.submenu, id, row.label, row.checkable);
    }
    return menus.Release();
}

wxMenu* BuildPopupMenu(const std::vector<PopupMenuItem>& items) {
    auto* menu = new wxMenu;
    for (const PopupMenuItem& item : items) {
        if (item.columnBreak) menu->Break();
        if (!item.submenu.empty()) {
            menu->AppendSubMenu(BuildPopupMenu(item.submenu), wxString::FromUTF8(item.label));
        } else if (item.id == 0 && item.label.empty()) {
            menu->AppendSeparator();
        } else {
            menu->Append(item.id, wxString::FromUTF8(item.label))->Enable(item.enabled);
        }
    }
    return menu;
}

MenuBarBuilder::MenuBarBuilder() : m_bar(new wxMenuBar) {}

MenuBarBuilder::~MenuBarBuilder() { delete m_bar; }

void MenuBarBuilder::Add(const char* menu, const char* submenu, int toolkitId, const char* label,
                         bool checkable) {
    wxMenu*& top = m_menus[menu];
    if (!top) {
        top = new wxMenu;
        m_bar->Append(top, menu);
    }
    wxMenu* target = top;
    if (submenu) {
        wxMenu*& sub = m_submenus[std::string(menu) + "/" + submenu];
        if (!sub) {
            sub = new wxMenu;
            top->AppendSubMenu(sub, submenu);
        }
        target = sub;
    }
    if (toolkitId == 0) {
        target->AppendSeparator();
    } else if (checkable) {
        target->AppendCheckItem(toolkitId, label);
    } else {
        target->Append(toolkitId, label);
    }
}

wxMenuBar* MenuBarBuilder::Release() {
    wxMenuBar* bar = m_bar;
    m_bar = nullptr;
    m_menus.clear();
    m_submenus.clear();
    return bar;
}
