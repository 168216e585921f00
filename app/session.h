// Session profiles: the session-profile dialog's list, deleting a profile,
// opening a session from the chosen profile and closing it again.
// Tested by tests/app/session_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/display_settings.h"
#include "platform/window_handle.h"

class TarqProfile;
class TarqDisplayManager;

// The profile dialog's list box: sorted as the list control sorts (without
// regard to case), with at most one selected entry.
struct ProfileList {
    std::vector<std::string> entries;
    int selected = -1;
    std::string SelectedName() const;
};

// What a session needs of the windows around it.
class TarqSessionUi {
public:
    virtual ~TarqSessionUi() = default;
    virtual void DestroyProfileDialog() = 0;
    // Creates and shows the session-profile dialog; false when it could not.
    virtual bool ShowProfileDialog() = 0;
    virtual void ActivateMainDisplay() = 0;
    virtual void DisableSnapping() = 0;
    virtual void EnableSnapping() = 0;
    // Ends the message loop (exit code 0).
    virtual void PostQuit() = 0;
};

// The list for names (the session profiles in file order): "Default" left out
// unless includeDefault; the entry equal to lastProfile selected, or the
// first entry when there is no lastProfile or the list has none of its name.
ProfileList FillProfileList(const std::vector<std::string>& names, bool includeDefault,
                            const std::optional<std::string>& lastProfile);
// The same from the settings store and "LastProfile" in the user registry.
ProfileList FillProfileList(bool selectLast, bool includeDefault);

// Refuses the last entry and "Default", asks, deletes and refills the list.
// True when a profile was deleted.
bool DeleteSelectedProfile(ProfileList& list, WindowHandle dialog);

// The record of display `number` (from 1) from the loaded profile's keys.
TarqDisplaySettings ReadDisplaySettings(TarqProfile& profile, int number);
// Opens the loaded profile's displays, at least one; the first is the main one.
bool OpenDisplayWindows();

// The display manager's settings (the scope cursor) from the profile, the
// communications panel and the controller database.
void ApplyDisplaySettings();

// Opens a session from the selected entry. Nothing is loaded without a
// selection. False when nothing was opened (the dialog stays).
bool OpenSessionProfile(const ProfileList& list, WindowHandle dialog, TarqSessionUi& ui);

// Asks to disconnect and to save when the settings say so; false when the
// user cancelled. Otherwise empties the state, schedules every display for
// closing and shows the dialog again or ends the program.
bool CloseSession(WindowHandle displayWindow, bool exit, TarqSessionUi& ui);
