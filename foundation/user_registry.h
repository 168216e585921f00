// TarqUserRegistry: the per-user store of small values that outlive a
// profile ("LastProfile", chat window places), in place of the Windows
// registry. One INI file: each registry key is a section, each value an entry.
// It lives above platform/ because it is written with CIniFile.
// Tested by tests/foundation/user_registry_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The program's registry key and the value that names the last saved profile.
inline constexpr std::string_view kTarqRegistryKey = "Software\\Fenwray\\Tarq";
inline constexpr std::string_view kLastProfileValue = "LastProfile";

class TarqUserRegistry {
public:
    // The store in the given file; its folder is created on the first write.
    explicit TarqUserRegistry(std::string path);

    // "$XDG_CONFIG_HOME/tarq/registry.ini", or "~/.config/tarq/registry.ini"
    // when that is unset or not absolute; empty when there is no home either.
    static std::string DefaultPath();

    const std::string& GetPath() const { return m_path; }

    // Each call reads the file afresh, so two running programs never undo
    // each other's writes; a missing file or value gives the default.
    std::string GetString(std::string_view key, std::string_view name, std::string_view defaultValue) const;
    int GetInt(std::string_view key, std::string_view name, int defaultValue) const;

    // Each call stores the value in the file at once. False, with the reason
    // in GetLastError, when it could not: the file is never replaced by one
    // that lost what could not be read.
    bool SetString(std::string_view key, std::string_view name, std::string_view value);
    bool SetInt(std::string_view key, std::string_view name, int value);

    // Every value of a key as (name, data), in file order; none when the key
    // or the file is missing.
    std::vector<std::pair<std::string, std::string>> GetValues(std::string_view key) const;
    // Deletes the named values of a key in one write; names that are not
    // there are skipped. False, with the reason, when the file could not be
    // written.
    bool DeleteValues(std::string_view key, const std::vector<std::string>& names);

    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string m_path;
    std::string m_lastError;
};
