// The per-user value store. Tested by tests/foundation/user_registry_test.cpp.
#include "foundation/user_registry.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "foundation/ini_file.h"

TarqUserRegistry::TarqUserRegistry(std::string path) : m_path(std::move(path)) {}

std::string TarqUserRegistry::DefaultPath() {
    // XDG says a relative XDG_CONFIG_HOME is invalid and is to be ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/tarq/registry.ini";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.config/tarq/registry.ini";
    return {};
}

std::string TarqUserRegistry::GetString(std::string_view key, std::string_view name,
                                        std::string_view defaultValue) const {
    CIniFile ini(m_path);
    ini.Read();  // values read before a bad line still count
    return ini.GetText(key, name, defaultValue);
}

int TarqUserRegistry::GetInt(std::string_view key, std::string_view name, int defaultValue) const {
    CIniFile ini(m_path);
    ini.Read();
    return ini.GetInt(key, name, defaultValue);
}

bool TarqUserRegistry::SetString(std::string_view key, std::string_view name, std::string_view value) {
    if (m_path.empty()) {
        m_lastError = "no place for the user's settings: neither XDG_CONFIG_HOME nor HOME is set";
        return false;
    }
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) {
        m_lastError = "cannot create " + folder.string() + ": " + error.message();
        return false;
    }
    CIniFile ini(m_path);
    ini.Read();
    if (!ini.SetText(key, name, value, true)) {
        m_lastError = "a registry name or value cannot hold a line break";
        return false;
    }
    if (!ini.Write()) {
        m_lastError = ini.GetLastError();
        return false;
    }
    m_lastError.clear();
    return true;
}

bool TarqUserRegistry::SetInt(std::string_view key, std::string_view name, int value) {
    return SetString(key, name, FormatIniInt(value));
}

std::vector<std::pair<std::string, std::string>> TarqUserRegistry::GetValues(std::string_view key) const {
    std::vector<std::pair<std::string, std::string>> values;
    CIniFile ini(m_path);
    ini.Read();
    const int section = ini.FindSection(key);
    if (section < 0) return values;
    const int count = ini.EntryCount(key);
    for (int i = 0; i < count; ++i) {
        std::string name = ini.EntryName(section, i);
        std::string data = ini.GetText(key, name, "");
        values.emplace_back(std::move(name), std::move(data));
    }
    return values;
}

bool TarqUserRegistry::DeleteValues(std::string_view key, const std::vector<std::string>& names) {
    CIniFile ini(m_path);
    ini.Read();
    bool changed = false;
    for (const std::string& name : names) changed = ini.DeleteEntry(key, name) || changed;
    if (!changed) return true;
    if (!ini.Write()) {
        m_lastError = ini.GetLastError();
        return false;
    }
    m_lastError.clear();
    return true;
}
