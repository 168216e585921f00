// Opening "Tarq.ini", the lists of session and colour profiles, colour lookups
// and the colour-profile operations of TarqProfile.
#include <cctype>
#include <filesystem>

#include "foundation/display_services.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "platform/message_box.h"

namespace {

constexpr std::string_view kColorPrefix = ":CP:";

bool IsColorSection(const std::string& name) {
    return name.compare(0, kColorPrefix.size(), kColorPrefix) == 0;
}
bool IsSessionSection(const std::string& name) { return name.empty() || name[0] != ':'; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool TarqProfile::OpenIniFile() {
    m_ini->Clear();
    const bool read = m_ini->Read();
    std::error_code noFile;
    if (!read && !std::filesystem::exists(m_ini->GetPath(), noFile) && !noFile) {
        // A first start: the file to come has the built-in colour profiles
        // that an upgraded one has.
        AddBuiltInColorProfiles();
        AddMetaVersionIfMissing();
    }
    if (read) {
        if (m_ini->FindSection(":META") < 0) {
            // A file in the current layout that lacks the mark (colour
            // profiles came with format 2) only needs the mark; converting it
            // as format 1 would overwrite its settings.
            bool hasColorSections = false;
            for (int i = 0; i < m_ini->SectionCount(); ++i)
                hasColorSections = hasColorSections || IsColorSection(m_ini->SectionName(i));
            UpgradeIni(hasColorSections ? kCurrentVersion : 1);
        } else {
            const int version = m_ini->GetInt(":META", "Version", 1);
            if (version < kCurrentVersion) UpgradeIni(version);
        }
    }
    LoadColorProfiles();
    return read;
}

void TarqProfile::LoadColorProfiles() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < m_ini->SectionCount(); ++i) {
        const std::string section = m_ini->SectionName(i);
        if (!IsColorSection(section)) continue;
        std::map<std::string, int>& colors = m_colorProfiles[section.substr(kColorPrefix.size())];
        for (const auto& [key, color] : m_defaultColors) colors[key] = m_ini->GetInt(section, key, color);
    }
}

void TarqProfile::GetProfileNames(std::vector<std::string>& names) const {
    names.clear();
    for (int i = 0; i < m_ini->SectionCount(); ++i) {
        std::string section = m_ini->SectionName(i);
        if (IsSessionSection(section)) names.push_back(std::move(section));
    }
}

bool TarqProfile::ProfileExists(const std::string& name) const { return m_ini->FindSection(name) >= 0; }

bool TarqProfile::DeleteProfile(const std::string& name) {
    if (!IsSessionSection(name) || !m_ini->DeleteSection(name)) return false;
    std::string error;
    if (WriteIni(&error)) return true;
    ShowMessageBox("The session profile was removed here but Tarq.ini could not be written: " + error,
                   "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error});
    return false;
}

void TarqProfile::GetColorProfileNames(std::vector<std::string>& names) const {
    names.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : m_colorProfiles) names.push_back(entry.first);
}

bool TarqProfile::HasColorProfile(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_colorProfiles.count(name) != 0;
}

int TarqProfile::GetColor(const std::string& profile, const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_colorProfiles.find(profile);
    if (found == m_colorProfiles.end()) return 0xFFFFFF;
    auto color = found->second.find(key);
    if (color == found->second.end()) return m_defaultColors[key];
    return color->second;
}

void TarqProfile::SetColor(const std::string& profile, const std::string& key, int color) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_colorProfiles[profile][key] = color;
}

// Holds m_mutex. The file's section names ignore case, so a name differing
// from another only in case would share its section.
bool TarqProfile::ColorProfileNameTaken(const std::string& name) const {
    for (const auto& entry : m_colorProfiles)
        if (EqualIgnoringCase(entry.first, name)) return true;
    return false;
}

// Holds m_mutex. Counts on until a name is free, however many are taken.
std::string TarqProfile::FreeColorProfileName(const std::string& base) const {
    if (!ColorProfileNameTaken(base)) return base;
    for (int n = 2;; ++n) {
        std::string candidate = base + " (" + std::to_string(n) + ")";
        if (!ColorProfileNameTaken(candidate)) return candidate;
    }
}

std::string TarqProfile::NewColorProfile() {
    std::string name;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        name = FreeColorProfileName("New Color Profile");
        m_colorProfiles[name] = m_defaultColors;
        m_modified = true;
    }
    RebuildMenus();
    return name;
}

std::string TarqProfile::CopyColorProfile(const std::string& source) {
    std::string name;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        name = FreeColorProfileName("Copy of " + source);
        auto found = m_colorProfiles.find(source);
        m_colorProfiles[name] = found == m_colorProfiles.end() ? std::map<std::string, int>() : found->second;
        m_modified = true;
    }
    RebuildMenus();
    return name;
}

bool TarqProfile::RenameColorProfile(const std::string& oldName, const std::string& newName) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (newName.empty() || oldName == newName || m_colorProfiles.count(oldName) == 0) return false;
        for (const auto& entry : m_colorProfiles)
            if (entry.first != oldName && EqualIgnoringCase(entry.first, newName)) return false;
        std::map<std::string, int> colors = m_colorProfiles[oldName];
        m_colorProfiles.erase(oldName);
        m_colorProfiles[newName] = std::move(colors);
    }
    ReplaceColorProfileEverywhere(oldName, newName);
    return true;
}

bool TarqProfile::DeleteColorProfile(const std::string& name) {
    if (name == "Default") return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_colorProfiles.erase(name) == 0) return false;
    }
    ReplaceColorProfileEverywhere(name, "Default");
    return true;
}

// The displays and every session profile that use oldName switch to newName,
// and oldName's section leaves the file (in memory; it reaches the disk with
// the next write).
void TarqProfile::ReplaceColorProfileEverywhere(const std::string& oldName, const std::string& newName) {
    if (g_displayServices) g_displayServices->ReplaceColorProfile(oldName, newName);
    for (int i = 0; i < m_ini->SectionCount(); ++i) {
        const std::string section = m_ini->SectionName(i);
        if (!IsSessionSection(section)) continue;
        const int displays = ClampDisplayCount(m_ini->GetInt(section, "DisplayCount", 1));
        for (int d = 1; d <= displays; ++d) {
            const std::string key = "ColorProfile" + std::to_string(d);
            if (m_ini->GetText(section, key, "") == oldName) m_ini->SetText(section, key, newName, true);
        }
    }
    m_ini->DeleteSection(std::string(kColorPrefix) + oldName);
    {
        // The open profile's own entries too, or its next save would write
        // the old name back for displays that are not open.
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int d = 1; d <= kMaxDisplays; ++d) {
            auto entry = m_stringSettings.find("ColorProfile" + std::to_string(d));
            if (entry != m_stringSettings.end() && entry->second == oldName) entry->second = newName;
        }
        m_modified = true;
    }
    RebuildMenus();
}
