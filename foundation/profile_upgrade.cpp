// Bringing "Tarq.ini" of format 1, 2 or 3 up to format 4.
#include <string>
#include <vector>

#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "foundation/settings_catalogue.h"
#include "platform/message_box.h"

namespace {

constexpr char kShortMessage[] = "Your INI file has been updated to the latest format.";
constexpr char kLongMessage[] =
    "Your INI file has been updated to the latest format. A color profile has\r\n"
    "been created for each unique set of colors in the file. You can edit,\r\n"
    "rename, or delete these color profiles by choosing \"Color Profiles...\"\r\n"
    "from the \"Settings\" menu.";

bool IsConvertedProfile(const std::string& name) {
    return !name.empty() && name[0] != ':' && name != "Default";
}
// An empty section name is a session profile as well.
bool IsConvertedSection(const std::string& name) { return name.empty() || IsConvertedProfile(name); }

int BuiltInColor(std::string_view key) {
    for (const ColorEntry& entry : DefaultColors())
        if (entry.key == key) return entry.color;
    return 0;
}

std::string Numbered(const char* stem, int n) { return stem + std::to_string(n); }

// Each section name once, in file order, comparing as the file's lookups do:
// a name that stands twice must not be converted twice over one section.
std::vector<std::string> DistinctSections(const CIniFile& ini, bool (*wanted)(const std::string&)) {
    std::vector<std::string> names;
    for (int i = 0; i < ini.SectionCount(); ++i) {
        std::string name = ini.SectionName(i);
        if (wanted(name) && ini.FindSection(name) == i) names.push_back(std::move(name));
    }
    return names;
}

bool IsColorSection(const std::string& name) { return name.rfind(":CP:", 0) == 0; }

}  // namespace

void TarqProfile::UpgradeIni(int version) {
    std::string message;
    if (version == 1) {
        ConvertVersion1();
        message = kLongMessage;
    } else if (version == 2) {
        ConvertColorProfilesFrom2();
        ConvertFrom3();
        message = kShortMessage;
    } else if (version == 3) {
        ConvertFrom3();
        message = kShortMessage;
    }

    if (m_ini->FindSection(":META") < 0) m_ini->AddSection(":META");
    m_ini->SetInt(":META", "Version", kCurrentVersion);

    std::string error;
    if (!WriteIni(&error)) {
        ShowMessageBox("Tarq.ini was converted to the latest format but could not be written: " + error +
                           " The conversion will run again at the next start.",
                       "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error});
        return;
    }
    if (!message.empty())
        ShowMessageBox(message, "INI File Updated", {MessageBoxButtons::Ok, MessageBoxIcon::Information});
}

void TarqProfile::ConvertColorProfilesFrom2() {
    for (const std::string& section : DistinctSections(*m_ini, IsColorSection)) {
        m_ini->SetInt(section, "ColorOceanicTracksWest",
                      m_ini->GetInt(section, "ColorOceanicTracks", BuiltInColor("ColorOceanicTracksWest")));
        m_ini->SetInt(section, "ColorOceanicTracksEast",
                      m_ini->GetInt(section, "ColorOceanicTracks", BuiltInColor("ColorOceanicTracksEast")));
        m_ini->DeleteEntry(section, "ColorOceanicTracks");
    }
}

void TarqProfile::ConvertFrom3() {
    for (const std::string& section : DistinctSections(*m_ini, IsConvertedSection)) {
        const bool hideTargets = m_ini->GetBool(section, "HideFilteredTarget", false);
        const bool hideTags = m_ini->GetBool(section, "HideFilteredTag", false);
        const int displays = ClampDisplayCount(m_ini->GetInt(section, "DisplayCount", 1));
        for (int d = 1; d <= displays; ++d) {
            m_ini->SetBool(section, Numbered("ShowTargetsAboveCeiling", d), !hideTargets);
            m_ini->SetBool(section, Numbered("ShowTagsAboveCeiling", d), !hideTags);
            m_ini->SetBool(section, Numbered("ShowTargetsBelowFloor", d), !hideTargets);
            m_ini->SetBool(section, Numbered("ShowTagsBelowFloor", d), !hideTags);
        }
        m_ini->DeleteEntry(section, "HideFilteredTarget");
        m_ini->DeleteEntry(section, "HideFilteredTag");
    }
}

void TarqProfile::ConvertVersion1() {
    const std::vector<ColorEntry>& defaults = DefaultColors();  // ascending key order
    std::vector<std::vector<int>> colorSets;

    for (const std::string& profile : DistinctSections(*m_ini, IsConvertedSection)) {
        const bool autoAdd = m_ini->GetBool(profile, "AutoAddStrips", false);
        m_ini->SetBool(profile, "AutoAddStripsArr", autoAdd);
        m_ini->SetBool(profile, "AutoAddStripsDep", autoAdd);
        m_ini->DeleteEntry(profile, "AutoAddStrips");
        m_ini->DeleteEntry(profile, "ColorRadioText");

        // Older files drew vectors and both symbols in the primary target colour.
        std::vector<int> colors;
        for (const ColorEntry& entry : defaults) {
            const bool fromPrimary = entry.key == "ColorVectorLine" || entry.key == "ColorPositionSymbol" ||
                                     entry.key == "ColorTargetSymbol";
            colors.push_back(m_ini->GetInt(
                profile, std::string(fromPrimary ? "ColorPrimaryTarget" : entry.key), entry.color));
        }
        size_t number = 0;
        while (number < colorSets.size() && colorSets[number] != colors) ++number;
        if (number == colorSets.size()) {
            colorSets.push_back(colors);
            const std::string section = Numbered(":CP:Imported ", static_cast<int>(colorSets.size()));
            m_ini->AddSection(section);
            for (size_t i = 0; i < defaults.size(); ++i)
                m_ini->SetInt(section, std::string(defaults[i].key), colors[i]);
        }
        const std::string colorProfile = Numbered("Imported ", static_cast<int>(number) + 1);
        for (const ColorEntry& entry : defaults) m_ini->DeleteEntry(profile, std::string(entry.key));

        const int displays = ClampDisplayCount(m_ini->GetInt(profile, "DisplayCount", 1));
        for (int d = 1; d <= displays; ++d)
            m_ini->SetText(profile, Numbered("ColorProfile", d), colorProfile, true);
        const int floor = m_ini->GetInt(profile, "AirspaceFloor", 0);
        const int ceiling = m_ini->GetInt(profile, "AirspaceCeiling", 0);
        for (int d = 1; d <= displays; ++d) {
            m_ini->SetInt(profile, Numbered("AirspaceFloor", d), floor);
            m_ini->SetInt(profile, Numbered("AirspaceCeiling", d), ceiling);
        }
        m_ini->DeleteEntry(profile, "AirspaceFloor");
        m_ini->DeleteEntry(profile, "AirspaceCeiling");
    }

    AddBuiltInColorProfiles();
}

void TarqProfile::AddBuiltInColorProfiles() {
    // Each only where the file has none of that name.
    if (m_ini->FindSection(":CP:Default") < 0) {
        m_ini->AddSection(":CP:Default");
        for (const ColorEntry& entry : DefaultColors())
            m_ini->SetInt(":CP:Default", std::string(entry.key), entry.color);
    }
    for (const BuiltInColorProfile& builtIn : BuiltInColorProfiles()) {
        const std::string section = ":CP:" + std::string(builtIn.name);
        if (m_ini->FindSection(section) >= 0) continue;
        m_ini->AddSection(section);
        for (const ColorEntry& entry : builtIn.colors)
            m_ini->SetInt(section, std::string(entry.key), entry.color);
    }
}
