// The store's typed maps, flags and VFR codes, and loading a session profile.
#include "foundation/profile.h"

#include <algorithm>
#include <string_view>

#include "foundation/display_services.h"
#include "foundation/ini_file.h"
#include "foundation/settings_catalogue.h"
#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"

TarqProfile* g_profile = nullptr;

namespace {

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    SplitString(text, items, 0, std::string(1, kListSeparator));
    return items;
}

}  // namespace

int ClampDisplayCount(int stored) { return std::clamp(stored, 1, kMaxDisplays); }

TarqProfile::TarqProfile() : TarqProfile(PathInDirectory(StartDirectory, "Tarq.ini")) {}

TarqProfile::TarqProfile(const std::string& iniPath)
    : m_ini(std::make_unique<CIniFile>("")), m_retiredKeys(RetiredKeys()) {
    m_ini->SetPath(iniPath);
    for (const ColorEntry& entry : DefaultColors()) m_defaultColors[std::string(entry.key)] = entry.color;
}

TarqProfile::~TarqProfile() = default;

bool TarqProfile::GetBool(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boolSettings[key];
}

void TarqProfile::SetBool(const std::string& key, bool value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_boolSettings[key] = value;
}

int TarqProfile::GetInt(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_intSettings[key];
}

void TarqProfile::SetInt(const std::string& key, int value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_intSettings[key] = value;
}

float TarqProfile::GetFloat(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_floatSettings[key];
}

void TarqProfile::SetFloat(const std::string& key, float value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_floatSettings[key] = value;
}

std::string TarqProfile::GetString(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stringSettings[key];
}

void TarqProfile::SetString(const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stringSettings[key] = value;
}

std::vector<std::string> TarqProfile::GetListSetting(const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_listSettings[key];
}

void TarqProfile::SetListSetting(const std::string& key, const std::vector<std::string>& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listSettings[key] = value;
}

SettingsSnapshot TarqProfile::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_boolSettings, m_intSettings, m_floatSettings, m_stringSettings, m_listSettings};
}

int TarqProfile::GetDisplayCount() { return ClampDisplayCount(GetInt("DisplayCount")); }

bool TarqProfile::IsModified() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_modified;
}

void TarqProfile::SetModified(bool modified) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_modified = modified;
    }
    RebuildMenus();
}

void TarqProfile::RebuildMenus() {
    if (g_displayServices) g_displayServices->RebuildAllMenus();
}

std::string TarqProfile::GetProfileName() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_profileName;
}

std::string TarqProfile::GetLastError() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

void TarqProfile::SetLastError(const std::string& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lastError = error;
}

std::vector<std::string> TarqProfile::GetRetiredKeys() const { return m_retiredKeys; }

bool TarqProfile::IsVFRCode(uint16_t code) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_vfrCodes.count(code) != 0;
}

void TarqProfile::LoadVFRCodes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::vector<std::string> items = m_listSettings["VFRCodes"];
    m_vfrCodes.clear();
    for (const std::string& item : items) {
        if (item.size() == 9 && item[4] == '-') {
            // Each end is cut to 16 bits and read as signed; count in int so
            // a range ending at the top of the type still ends.
            int first = static_cast<int16_t>(ParseIniInt(std::string_view(item).substr(0, 4)));
            int last = static_cast<int16_t>(ParseIniInt(std::string_view(item).substr(5, 4)));
            for (int code = first; code <= last; ++code) m_vfrCodes.insert(static_cast<uint16_t>(code));
        } else {
            m_vfrCodes.insert(static_cast<uint16_t>(ParseIniInt(item)));
        }
    }
}

bool TarqProfile::Load(std::string name) {
    m_ini->Clear();
    if (!m_ini->Read()) {
        SetLastError("Could not read and/or parse Tarq.ini");
        return false;
    }
    if (m_ini->FindSection(name) < 0) {
        SetLastError("Specified profile not found in INI file!");
        return false;
    }

    // Build the new maps apart, so readers on other threads see either the
    // old profile or the new one, never half of each.
    SettingsSnapshot loaded;
    auto readInto = [&](const CatalogueEntry& item, const std::string& key) {
        switch (item.type) {
            case SettingType::Bool:
                loaded.bools[key] = m_ini->GetBool(name, key, item.intDefault != 0);
                break;
            case SettingType::Int:
                loaded.ints[key] = m_ini->GetInt(name, key, item.intDefault);
                break;
            case SettingType::Float:
                loaded.floats[key] = static_cast<float>(m_ini->GetFloat(name, key, item.floatDefault));
                break;
            case SettingType::Text:
                loaded.strings[key] = m_ini->GetText(name, key, item.textDefault);
                break;
            case SettingType::List:
                loaded.lists[key] = SplitList(m_ini->GetText(name, key, item.textDefault));
                break;
        }
    };
    for (const CatalogueEntry& item : FixedSettings()) readInto(item, item.key);
    const int displays = ClampDisplayCount(loaded.ints["DisplayCount"]);
    for (int display = 1; display <= displays; ++display)
        for (const CatalogueEntry& item : PerDisplaySettings())
            readInto(item, FormDisplayKey(item.key, display));

    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_profileName = std::move(name);
        m_boolSettings = std::move(loaded.bools);
        m_intSettings = std::move(loaded.ints);
        m_floatSettings = std::move(loaded.floats);
        m_stringSettings = std::move(loaded.strings);
        m_listSettings = std::move(loaded.lists);
    }
    LoadVFRCodes();
    SetModified(false);
    return true;
}
