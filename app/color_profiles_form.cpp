// Tested by tests/app/settings_forms_test.cpp.
#include "app/color_profiles_form.h"

#include <algorithm>

#include "app/general_settings_form.h"
#include "foundation/profile.h"
#include "foundation/regex_match.h"
#include "foundation/text_helpers.h"
#include "platform/message_box.h"

namespace {

void Refuse(const std::string& text, WindowHandle owner, MessageBoxIcon icon = MessageBoxIcon::Error) {
    ShowMessageBox(text, "Error", {MessageBoxButtons::Ok, icon, 0}, owner);
}

bool IsStripItem(const ColorItem& item) { return item.rebuild == ColorRebuild::StripBay; }

}  // namespace

const std::vector<ColorItem>& ColorItems() {
    using R = ColorRebuild;
    constexpr uint32_t kAll = 0xFFFFFFFF;
    static const std::vector<ColorItem> items = {
        {1113, "Background:", "ColorBackground", R::Background},
        {1114, "Range Rings:", "ColorRangeRings", R::Lists, 4},
        {1115, "Airports:", "ColorAirport", R::Lists, 1},
        {1118, "Runways:", "ColorRunway", R::Lists, 65536},
        {1119, "Centerlines:", "ColorCenterlines", R::Lists, 131072},
        {1120, "Fixes:", "ColorFix", R::Lists, 128},
        {1121, "VORs:", "ColorVOR", R::Lists, 8},
        {1122, "NDBs:", "ColorNDB", R::Lists, 32},
        {1123, "Low Airways:", "ColorLowAirway", R::Lists, 256},
        {1124, "High Airways:", "ColorHighAirway", R::Lists, 512},
        {1125, "ARTCC Boundaries:", "ColorARTCCBound", R::Lists, 1024},
        {1126, "Low Boundaries:", "ColorLowBound", R::Lists, 2048},
        {1127, "High Boundaries:", "ColorHighBound", R::Lists, 4096},
        {1128, "SIDs:", "ColorSID", R::Lists, kAll},
        {1129, "STARs:", "ColorSTAR", R::Lists, kAll},
        {1137, "Selected:", "ColorSelected", R::Nothing},
        {1135, "Tracked:", "ColorTracked", R::Nothing},
        {1116, "Untracked:", "ColorUntracked", R::Nothing},
        {1136, "Handoff:", "ColorHandoff", R::Nothing},
        {1117, "Limited Data Block:", "ColorLDB", R::Nothing},
        {1130, "Filtered:", "ColorFiltered", R::Nothing},
        {1131, "In Conflict:", "ColorConflict", R::Nothing},
        {1132, "Emergency:", "ColorEmergency", R::Nothing},
        {1133, "Coasting:", "ColorCoasting", R::Nothing},
        {1207, "Position Symbol:", "ColorPositionSymbol", R::Nothing},
        {1206, "Target Symbol:", "ColorTargetSymbol", R::Nothing},
        {1134, "Primary Target:", "ColorPrimaryTarget", R::Nothing},
        {1138, "History Trail:", "ColorHistoryTrail", R::Nothing},
        {1139, "Anchor Lines:", "ColorAnchorLines", R::Nothing},
        {1140, "Tool Lines:", "ColorToolLines", R::Nothing},
        {1143, "Vector Lines:", "ColorVectorLine", R::Nothing},
        {1221, "W", "ColorOceanicTracksWest", R::Nothing},
        {1141, "E", "ColorOceanicTracksEast", R::Nothing},
        {1147, "Text:", "ColorStickyText", R::Nothing},
        {1148, "Border:", "ColorStickyBorder", R::Nothing},
        {1146, "Arrivals:", "ColorStripArrivals", R::StripBay},
        {1144, "Departures:", "ColorStripDepartures", R::StripBay},
        {1198, "Overflights:", "ColorStripOverflights", R::StripBay},
        {1197, "Local Traffic:", "ColorStripLocal", R::StripBay},
        {1142, "VFR:", "ColorStripVFR", R::StripBay},
        {1199, "Separators:", "ColorStripSeparators", R::StripBay},
    };
    return items;
}

const ColorItem* FindColorItem(int id, bool stripItem) {
    for (const ColorItem& item : ColorItems()) {
        if (item.id == id && IsStripItem(item) == stripItem) return &item;
    }
    return nullptr;
}

int ItemColor(TarqProfile& profile, const std::string& colorProfile, const ColorItem& item) {
    return IsStripItem(item) ? profile.GetInt(item.key) : profile.GetColor(colorProfile, item.key);
}

void StoreItemColor(TarqProfile& profile, TarqSettingsEffects& effects, const std::string& colorProfile,
                    const ColorItem& item, int rgb) {
    if (IsStripItem(item))
        profile.SetInt(item.key, rgb);
    else
        profile.SetColor(colorProfile, item.key, rgb);
    switch (item.rebuild) {
        case ColorRebuild::Background:
            effects.ApplyBackgroundColor(colorProfile);
            break;
        case ColorRebuild::Lists:
            effects.RebuildDisplayLists(item.mask);
            break;
        case ColorRebuild::StripBay:
            effects.FitStripBay();
            break;
        case ColorRebuild::Nothing:
            break;
    }
    profile.SetModified(true);
}

std::vector<std::string> TarqColorProfilesForm::Names() const {
    std::vector<std::string> names;
    m_profile.GetColorProfileNames(names);
    std::sort(names.begin(), names.end());
    return names;
}

bool TarqColorProfilesForm::AtLimit(WindowHandle owner) const {
    if (static_cast<int>(Names().size()) < kMaxProfiles) return false;
    Refuse("You have reached the maximum number of color profiles.", owner);
    return true;
}

std::string TarqColorProfilesForm::Add(WindowHandle owner) {
    if (AtLimit(owner)) return {};
    return m_profile.NewColorProfile();
}

std::string TarqColorProfilesForm::Copy(const std::string& selected, WindowHandle owner) {
    if (AtLimit(owner)) return {};
    if (selected.empty()) {
        Refuse("You must first select a color profile to copy.", owner);
        return {};
    }
    return m_profile.CopyColorProfile(selected);
}

bool TarqColorProfilesForm::CanModify(const std::string& selected, WindowHandle owner) const {
    if (!selected.empty()) return true;
    Refuse("You must first select a color profile to modify.", owner);
    return false;
}

bool TarqColorProfilesForm::Delete(const std::string& selected, WindowHandle owner) {
    if (selected.empty()) {
        Refuse("You must first select a color profile to delete.", owner);
        return false;
    }
    if (selected == "Default") {
        Refuse("The default color profile cannot be deleted.", owner, MessageBoxIcon::Warning);
        return false;
    }
    if (Names().size() == 1) {
        Refuse("You cannot delete the last color profile!", owner);
        return false;
    }
    const MessageBoxResult answer = ShowMessageBox(
        "Are you sure you want to delete the selected color profile? This action cannot be undone. If the "
        "selected color profile is in use by any configuration profiles, it will be replaced by the Default "
        "color "
        "profile.",
        "Confirm Delete", {MessageBoxButtons::YesNo, MessageBoxIcon::Question, 1}, owner);
    return answer == MessageBoxResult::Yes && m_profile.DeleteColorProfile(selected);
}

bool TarqColorProfileEditorForm::Accept(const std::string& text, WindowHandle owner) {
    if (text == m_name) return true;
    // Sections of the file are found without regard to case, so a case
    // variant of another profile's name would share that profile's section.
    std::vector<std::string> names;
    m_profile.GetColorProfileNames(names);
    const bool taken = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return name != m_name && ToUpper(name) == ToUpper(text);
    });
    if (taken) {
        Refuse("A color profile already exists with the name you entered.", owner);
        return false;
    }
    if (!RegexMatch(text, "^[\\w ]+$", kMaxNameLength)) {
        Refuse(
            "Invalid profile name. It must consist of only letters, numbers, underscores and spaces. Maximum "
            "length is 64 characters.",
            owner);
        return false;
    }
    if (!m_profile.RenameColorProfile(m_name, text)) return false;
    m_name = text;
    return true;
}
