// What a display window's menu and key commands do, and the state they
// change (radar mode, show mask, colour profile, filters, quicklook), without
// the toolkit: the window forwards its menu events here and applies the menu
// states and the title this class computes.
// Tested by tests/app/display_commands_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "app/display_layout.h"
#include "app/menu_table.h"
#include "foundation/display_settings.h"
#include "platform/window_handle.h"

class TarqDisplay;
class TarqSessionUi;

// What the commands ask of the window they belong to.
class TarqDisplayCommandHost {
public:
    virtual ~TarqDisplayCommandHost() = default;
    virtual WindowHandle GetWindow() const = 0;
    // Applies MenuStates and ColorProfileNames to the menu bar.
    virtual void RebuildMenus() = 0;
    virtual void UpdateTitle() = 0;
    virtual void Redraw() = 0;
    // Main display: the command line's text, the caret at its end, the focus in it.
    virtual void PrefillCommandLine(const std::string& text) = 0;
    // Main display: the radio history's message-waiting state ends.
    virtual void ClearMessageWaiting() = 0;
    // False when no browser could be started for the address.
    virtual bool OpenUrl(const std::string& url) = 0;
    // Modal; on Connect the network manager signs on with what was entered.
    virtual void ShowConnectDialog() = 0;
    // The scope's clear colour, for the colour profile the display now uses.
    virtual void SetBackgroundColor(const std::string& colorProfile, int rgb) = 0;
    // The scope's zoom keys; fast with the modifier.
    virtual void ZoomIn(bool fast) = 0;
    virtual void ZoomOut(bool fast) = 0;
};

struct MenuItemState {
    CommandId id;
    bool checked;
    bool enabled;
};

class TarqDisplayCommands {
public:
    // display is the window's display (for New Window); the main display's
    // commands reach the main display through the display manager.
    TarqDisplayCommands(const TarqDisplaySettings& settings, bool isMain, TarqDisplay& display,
                        TarqDisplayCommandHost& host, TarqSessionUi& session);

    // A menu or key command, by its toolkit-free id (command or colour
    // profile item); false for ids it does not know.
    bool OnMenuCommand(int id);
    bool OnMenuCommand(CommandId id) { return OnMenuCommand(static_cast<int>(id)); }
    // The window's close box: the session closes on the main display, a
    // secondary display goes at the next full redraw.
    void OnCloseRequest();
    // True when connected; else the error line "Not connected.".
    static bool CheckConnected();

    TarqDisplaySettings& Settings() { return m_settings; }
    const TarqDisplaySettings& Settings() const { return m_settings; }
    bool IsMainDisplay() const { return m_isMain; }
    void SetColorProfile(const std::string& name);
    // What the title shows for display number n.
    TitleState Title(int displayNumber) const;
    // Check marks and enabled states of the items whose state changes.
    std::vector<MenuItemState> MenuStates() const;
    // The colour profile submenu's items in order: item i has id
    // kFirstColorProfileId + i; the checked one is the display's.
    std::vector<std::string> ColorProfileNames() const;

private:
    void ShowAbout();
    void StartMpSession();
    // On the target display's scope; without one, on this object's own state.
    void ToggleFilters(TarqDisplay* target);
    void ToggleQuicklook(TarqDisplay* target);
    void Zoom(CommandId id);
    bool FiltersEnabled() const;
    bool QuicklookEnabled() const;
    // Asks first when the profile says so; the traffic and controllers go.
    void Disconnect();

    TarqDisplaySettings m_settings;
    bool m_isMain;
    TarqDisplay& m_display;
    TarqDisplayCommandHost& m_host;
    TarqSessionUi& m_session;
    bool m_filtersEnabled = false;
    bool m_quicklook = false;
};
