// TarqProfile: the one settings store. Holds the open session profile's
// settings in typed maps, the colour profiles, the VFR codes and the modified
// flag; loads and saves session profiles in "Tarq.ini", manages colour
// profiles and upgrades older file formats.
// Tested by tests/foundation/profile_store_test.cpp,
// profile_save_test.cpp, color_profile_test.cpp and profile_upgrade_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/window_handle.h"

class CIniFile;
class TarqUserRegistry;

// The most display windows a profile opens, whatever "DisplayCount" says.
inline constexpr int kMaxDisplays = 16;
// "DisplayCount" as it is used: at least 1, at most kMaxDisplays.
int ClampDisplayCount(int stored);

// Copies of the five settings maps, taken at once.
struct SettingsSnapshot {
    std::map<std::string, bool> bools;
    std::map<std::string, int> ints;
    std::map<std::string, float> floats;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::vector<std::string>> lists;
};

// Thread use: the getters, setters, IsVFRCode, GetColor and the name and flag
// accessors may be called from any thread; one lock guards the maps. Loading,
// saving, the INI file and the profile operations belong to the main thread.
// No lock is held while the store calls out (display manager, message boxes),
// so those calls may read settings again.
class TarqProfile {
public:
    // "Tarq.ini" in StartDirectory.
    TarqProfile();
    // Tests and tools: the INI file at iniPath.
    explicit TarqProfile(const std::string& iniPath);
    virtual ~TarqProfile();
    TarqProfile(const TarqProfile&) = delete;
    TarqProfile& operator=(const TarqProfile&) = delete;

    // Typed settings. A missing key is added with its type's zero value.
    bool GetBool(const std::string& key);
    void SetBool(const std::string& key, bool value);
    int GetInt(const std::string& key);
    void SetInt(const std::string& key, int value);
    float GetFloat(const std::string& key);
    void SetFloat(const std::string& key, float value);
    std::string GetString(const std::string& key);
    void SetString(const std::string& key, const std::string& value);
    std::vector<std::string> GetListSetting(const std::string& key);
    void SetListSetting(const std::string& key, const std::vector<std::string>& value);
    SettingsSnapshot Snapshot() const;
    // "DisplayCount" clamped for use; the stored value stays as it is.
    int GetDisplayCount();

    bool IsModified() const;
    // Stores the flag, then has every display window rebuild its menus.
    void SetModified(bool modified);
    std::string GetProfileName() const;
    std::string GetLastError() const;
    void SetLastError(const std::string& error);
    std::vector<std::string> GetRetiredKeys() const;
    bool IsVFRCode(uint16_t code) const;
    // Rebuilds the VFR codes from the list setting "VFRCodes".
    void LoadVFRCodes();

    // Reads "Tarq.ini", upgrades an older format, loads the colour profiles.
    // False when the file could not be read.
    bool OpenIniFile();
    // Names of the session profiles (sections not beginning with ":"), file order.
    void GetProfileNames(std::vector<std::string>& names) const;
    bool ProfileExists(const std::string& name) const;
    // Removes a session profile and writes the file; false (with a message
    // box) when the write failed, false without one for a name that is not a
    // session profile.
    bool DeleteProfile(const std::string& name);

    void GetColorProfileNames(std::vector<std::string>& names) const;
    bool HasColorProfile(const std::string& name) const;
    int GetColor(const std::string& profile, const std::string& key);
    void SetColor(const std::string& profile, const std::string& key, int color);
    // Both return the name of the new colour profile, which never replaces one.
    std::string NewColorProfile();
    std::string CopyColorProfile(const std::string& source);
    // False, changing nothing, when oldName does not exist, the names are
    // equal, or newName is empty or taken.
    bool RenameColorProfile(const std::string& oldName, const std::string& newName);
    // False for "Default", which cannot go, and for a name that does not exist.
    bool DeleteColorProfile(const std::string& name);

    // Opens the "Save Profile As" dialog through the installed runner; 0.
    static int ShowProfileDialog(WindowHandle parent);
    using ProfileDialogRunner = int (*)(WindowHandle parent);
    // The application installs the dialog window; returns the previous runner.
    static ProfileDialogRunner SetProfileDialogRunner(ProfileDialogRunner runner);
    // Renames the open profile and saves it; true when it was written. When
    // the write fails the profile keeps its old name.
    bool SaveProfileAs(const std::string& name);

    // Loads a session profile; false with GetLastError() set, and the profile
    // loaded before kept, when the file or the profile cannot be read.
    bool Load(std::string name);
    // Saves the open profile, its live windows and all colour profiles; true
    // when the file was written. A failed write is shown and keeps the
    // profile marked modified. "Default" is saved through the "Save Profile
    // As" dialog: true when the user saved it under a new name there.
    bool Save();
    // Brings an older file format up to the current one (4) and writes it.
    void UpgradeIni(int version);

    // Where a successful save records "LastProfile"; nullptr: nowhere.
    void SetUserRegistry(TarqUserRegistry* registry) { m_registry = registry; }

    // The INI file itself, for the profile import and merge (main thread).
    CIniFile& GetIniFile() { return *m_ini; }

    static constexpr int kCurrentVersion = 4;

private:
    void LoadColorProfiles();
    void RebuildMenus();
    void ReplaceColorProfileEverywhere(const std::string& oldName, const std::string& newName);
    std::string FreeColorProfileName(const std::string& base) const;
    bool ColorProfileNameTaken(const std::string& name) const;
    void ConvertVersion1();
    void ConvertColorProfilesFrom2();
    void ConvertFrom3();
    // ":CP:Default" and the four built-in colour profiles, where missing.
    void AddBuiltInColorProfiles();
    void AddMetaVersionIfMissing();
    bool WriteIni(std::string* error);
    void RecordLastProfile(const std::string& name);

    std::unique_ptr<CIniFile> m_ini;
    std::vector<std::string> m_retiredKeys;
    TarqUserRegistry* m_registry = nullptr;

    mutable std::mutex m_mutex;  // guards everything below
    std::string m_profileName;
    std::string m_lastError;
    bool m_modified = false;
    std::set<uint16_t> m_vfrCodes;
    std::map<std::string, bool> m_boolSettings;
    std::map<std::string, int> m_intSettings;
    std::map<std::string, float> m_floatSettings;
    std::map<std::string, std::string> m_stringSettings;
    std::map<std::string, std::vector<std::string>> m_listSettings;
    std::map<std::string, std::map<std::string, int>> m_colorProfiles;
    std::map<std::string, int> m_defaultColors;
};

extern TarqProfile* g_profile;
