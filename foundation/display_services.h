// What the settings store needs from the display manager, as an interface the
// display manager implements and tests fake. Reached through g_displayServices,
// which is null while no display manager exists; callers then skip the call.
// Tested through tests/foundation/profile_*_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "foundation/display_settings.h"
#include "platform/window_handle.h"

class TarqDisplayServices {
public:
    virtual ~TarqDisplayServices() = default;
    // The main (first) display window, owner of modal dialogs; nullptr when none.
    virtual WindowHandle GetMainWindow() = 0;
    // One record per open display window: the main display first, then the
    // others by ascending display number. Only while the main display exists.
    virtual std::vector<TarqDisplaySettings> SaveLayout() = 0;
    // Every open display window rebuilds its menus; nothing when none is open.
    virtual void RebuildAllMenus() = 0;
    // Every open display window sets its title again.
    virtual void UpdateAllTitles() = 0;
    // An error line in the main display's radio history, with the error sound.
    virtual void ShowError(const std::string& line) = 0;
    // An information line in the main display's radio history.
    virtual void ShowMessage(const std::string& line) = 0;
    // Every display window using colour profile oldName switches to newName.
    virtual void ReplaceColorProfile(const std::string& oldName, const std::string& newName) = 0;
};

extern TarqDisplayServices* g_displayServices;
