// The colour profile dialogs apart from their windows: the profiles list with
// its Add, Copy, Modify and Delete refusals, the editor's name checks, and the
// colour items with what choosing a colour for each rebuilds.
// Tested by tests/app/settings_forms_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_handle.h"

class TarqProfile;
class TarqSettingsEffects;

enum class ColorRebuild { Nothing, Background, Lists, StripBay };

struct ColorItem {
    int id;  // the swatch: in the editor, or on the Flight Strips page
    const char* label;
    const char* key;
    ColorRebuild rebuild;
    uint32_t mask = 0;  // Lists: the display-list classes to rebuild
};

// The editor's swatches, then the six strip colours (session settings).
const std::vector<ColorItem>& ColorItems();
const ColorItem* FindColorItem(int id, bool stripItem);

// What the colour chooser stores: the colour under the item's key, in the
// colour profile being edited or, for a strip item, in the session profile,
// then what the table asks to rebuild; the profile is marked modified.
void StoreItemColor(TarqProfile& profile, TarqSettingsEffects& effects, const std::string& colorProfile,
                    const ColorItem& item, int rgb);
int ItemColor(TarqProfile& profile, const std::string& colorProfile, const ColorItem& item);

class TarqColorProfilesForm {
public:
    static constexpr int kMaxProfiles = 30;

    explicit TarqColorProfilesForm(TarqProfile& profile) : m_profile(profile) {}

    std::vector<std::string> Names() const;  // sorted
    // The new profile's name, or empty when refused (the message was shown).
    std::string Add(WindowHandle owner);
    std::string Copy(const std::string& selected, WindowHandle owner);
    // False when there is nothing selected (the message was shown).
    bool CanModify(const std::string& selected, WindowHandle owner) const;
    // Asks first; true when the profile went.
    bool Delete(const std::string& selected, WindowHandle owner);

private:
    bool AtLimit(WindowHandle owner) const;

    TarqProfile& m_profile;
};

class TarqColorProfileEditorForm {
public:
    static constexpr size_t kMaxNameLength = 64;

    TarqColorProfileEditorForm(TarqProfile& profile, std::string name)
        : m_profile(profile), m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }
    // A new profile's name is selected, ready to be typed over.
    bool SelectNameAtStart() const { return m_name.rfind("New Color Profile", 0) == 0; }
    bool NameReadOnly() const { return !SelectNameAtStart() && m_name == "Default"; }
    // OK with the name field's text: false (message shown) keeps the editor
    // open; true after renaming, or at once for the unchanged name.
    bool Accept(const std::string& text, WindowHandle owner);

private:
    TarqProfile& m_profile;
    std::string m_name;
};
