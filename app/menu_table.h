// The display window's menu and accelerator table, declared once as data:
// the window builds its menu bar and accelerators from it.
// Tested by tests/app/menu_table_test.cpp.
#pragma once

#include <string>
#include <vector>

enum class MenuScope { Both, MainOnly, SecondaryOnly };

struct MenuCommand {
    const char* menu;     // top-level menu
    const char* submenu;  // nullptr: directly in the menu
    int id;               // 0: a separator
    const char* label;
    MenuScope scope;
    bool checkable;
};

// Menu order: File, Settings, View, Tools, Help; items in their order.
const std::vector<MenuCommand>& DisplayMenuCommands();

// The ids of the colour-profile submenu items: 2000 + index, at most 30.
inline constexpr int kFirstColorProfileId = 2000;
inline constexpr int kLastColorProfileId = 2029;
inline constexpr int kModifyColorProfileId = 40062;

enum AcceleratorModifier { kAccelAlt = 1, kAccelCtrl = 2, kAccelShift = 4 };

struct Accelerator {
    int modifiers;   // AcceleratorModifier bits
    int virtualKey;  // Windows virtual-key code
    int id;
};

// The accelerator table of the main display.
const std::vector<Accelerator>& DisplayAccelerators();

// The text an accelerator puts into the main display's command line, or
// nullptr when the id prefills nothing.
const char* CommandLinePrefill(int id);

// Commands of the session-profile dialog's menu.
struct ProfileMenuCommand {
    const char* menu;
    const char* submenu;
    int id;
    const char* label;
};
const std::vector<ProfileMenuCommand>& ProfileDialogMenuCommands();

// The help page of a Help item (quick start, commands, documentation,
// forums, home), empty for other ids.
std::string HelpPageUrl(int id);

// wx takes menu ids below 0x7FFF only: the 40000 range moves to 20000.
inline int ToToolkitId(int id) { return id >= 40000 ? id - 20000 : id; }
inline int FromToolkitId(int id) { return id >= 20000 && id < 30000 ? id + 20000 : id; }
