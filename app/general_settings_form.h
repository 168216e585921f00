// The "General Settings" sheet apart from its window: its seven pages as
// tables of controls, what each page shows from the profile when it is first
// shown, the checks of its number fields, and what OK or Apply stores and
// reloads. Values are kept per page, so a control id that several pages use
// always means the control of its own page. The window builds its controls
// from the layout in resources/ and binds them to these values.
// Tested by tests/app/settings_forms_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/window_handle.h"

class TarqProfile;

enum class SettingsControlKind {
    Check,
    Number,     // whole number within min..max, typed or stepped
    Text,       // a list setting: split at blanks and commas
    UpperText,  // the same, upper case, entries cut to four characters
    Path,       // a file chosen with "Select..."
    Slider,     // positions min..max, the setting is the position times step
    Radio,      // true when chosen; its partner (RadioOff) is the other choice
    RadioOff,
    Key,     // a captured virtual-key code
    Swatch,  // a colour stored at once when chosen
};

struct SettingsControl {
    int id;
    SettingsControlKind kind;
    const char* label;
    const char* key;  // nullptr for RadioOff
    int min = 0;
    int max = 0;
    int step = 1;
    const char* join = ",";  // Text: what the page shows between entries
    int maxLength = 0;       // Text and Path
};

struct SettingsPage {
    int resourceId;
    const char* caption;
    std::vector<SettingsControl> controls;
};

namespace settings_pages {
inline constexpr int kMiscellaneous = 176;
inline constexpr int kHotkeys = 387;
inline constexpr int kAirspace = 385;
inline constexpr int kDataTags = 383;
inline constexpr int kFlightStrips = 386;
inline constexpr int kConflictAlerts = 381;
inline constexpr int kButtonBar = 382;
}  // namespace settings_pages

// In sheet order.
const std::vector<SettingsPage>& GeneralSettingsPages();
const SettingsPage* FindSettingsPage(int resourceId);

struct SettingsPageValues {
    std::map<int, bool> checks;        // Check, Radio, RadioOff
    std::map<int, std::string> texts;  // Number, Text, UpperText, Path
    std::map<int, int> ints;           // Slider position, Key
};

// What applying a page does beyond the profile: reloads and rebuilds.
class TarqSettingsEffects {
public:
    virtual ~TarqSettingsEffects() = default;
    virtual bool LoadAliasFile(const std::string& path) = 0;
    virtual void LoadPositionFile() = 0;
    virtual void RebuildDisplayLists(uint32_t mask) = 0;
    virtual void RebuildControllerList() = 0;
    virtual void ApplyDisplaySettings() = 0;
    virtual void RebuildAircraftList() = 0;
    virtual void FitStripBay() = 0;
    // Every display that uses the colour profile takes its background colour.
    virtual void ApplyBackgroundColor(const std::string& colorProfile) = 0;
    virtual void ShowError(const std::string& line) = 0;
    // A new push-to-talk key was captured: the key poll takes the
    // transmitter back from the external push-to-talk.
    virtual void ClearPushToTalkByMessage() = 0;
};

// The effects on the program's global objects.
TarqSettingsEffects& ProgramSettingsEffects();

class TarqGeneralSettingsForm {
public:
    static constexpr uint32_t kRangeRingLists = 4;
    static constexpr uint32_t kCenterlineLists = 131072;

    TarqGeneralSettingsForm(TarqProfile& profile, TarqSettingsEffects& effects)
        : m_profile(profile), m_effects(effects) {}

    // The page's values, read from the profile the first time it is shown.
    SettingsPageValues& Show(int resourceId);
    bool IsShown(int resourceId) const { return m_pages.count(resourceId) != 0; }
    // A key field of a shown page captured a key (a virtual-key code).
    void CaptureKey(int resourceId, int controlId, int virtualKey);

    // OK and Apply: checks every shown page's number fields first; one out of
    // range or not a number is named in a message box and nothing is stored
    // (false). Otherwise stores each shown page in sheet order.
    bool Apply(WindowHandle owner);
    // Empty when the number text is acceptable, else the message that refuses it.
    static std::string CheckNumber(const SettingsControl& control, const std::string& text);

    static std::string VectorLabel(bool minutes);
    static std::string RangeLabel(int sliderPosition);

private:
    void Fill(const SettingsPage& page, SettingsPageValues& values);
    void Store(const SettingsPage& page, const SettingsPageValues& values);

    TarqProfile& m_profile;
    TarqSettingsEffects& m_effects;
    std::map<int, SettingsPageValues> m_pages;
};
