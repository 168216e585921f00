// Tested by tests/app/settings_forms_test.cpp.
#include "app/profile_transfer.h"

#include <algorithm>
#include <filesystem>

#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "foundation/regex_match.h"
#include "foundation/text_helpers.h"
#include "platform/message_box.h"

namespace {

const std::string kColorPrefix = ":CP:";

bool IsColorSection(const std::string& name) { return name.rfind(kColorPrefix, 0) == 0; }
bool IsSessionSection(const std::string& name) { return !name.empty() && name[0] != ':'; }

void ShowError(const std::string& text, WindowHandle owner) {
    ShowMessageBox(text, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0}, owner);
}

void ShowDone(const std::string& text, const std::string& caption, WindowHandle owner) {
    ShowMessageBox(text, caption, {MessageBoxButtons::Ok, MessageBoxIcon::Information, 0}, owner);
}

// The program's INI file as it is on disk now; false (shown) when an existing
// file cannot be read whole, as writing it back would lose the rest.
bool ReadProgramIni(TarqProfile& profile, CIniFile& ini, WindowHandle owner) {
    ini.SetPath(profile.GetIniFile().GetPath());
    ini.Read();
    if (ini.IsWriteBlocked()) {
        ShowError("Could not read " + ini.GetPath() + ": " + ini.GetLastError(), owner);
        return false;
    }
    return true;
}

bool WriteChecked(CIniFile& ini, WindowHandle owner) {
    if (ini.Write()) return true;
    std::string why = ini.GetLastError();
    ShowError("Could not write " + ini.GetPath() + (why.empty() ? std::string(".") : ": " + why) +
                  "\r\n\r\nNothing was changed.",
              owner);
    return false;
}

}  // namespace

std::vector<std::string> ListTransferableProfiles(const std::string& path, ProfileTransferKind kind) {
    std::vector<std::string> names;
    CIniFile ini(path);
    if (!ini.Read()) return names;
    for (int i = 0; i < ini.SectionCount(); ++i) {
        const std::string section = ini.SectionName(i);
        if (kind == ProfileTransferKind::Color) {
            if (IsColorSection(section)) names.push_back(section.substr(kColorPrefix.size()));
        } else if (IsSessionSection(section) && section != "Default") {
            names.push_back(section);
        }
    }
    return names;
}

bool TarqProfileImport::Accept(const std::vector<std::string>& selected, WindowHandle dialog) {
    if (selected.empty()) {
        ShowError("You must select at least one session profile to import.", dialog);
        return false;
    }
    Import(selected, dialog);
    return true;
}

bool TarqProfileImport::Import(const std::vector<std::string>& selected, WindowHandle dialog) {
    m_status = "Importing profiles ...";
    m_importedAs.clear();
    CIniFile destination;
    if (!ReadProgramIni(m_profile, destination, dialog)) {
        m_status = "Import failed.";
        return false;
    }
    CIniFile source(m_sourcePath);
    source.Read();
    const std::string prefix = m_kind == ProfileTransferKind::Color ? kColorPrefix : "";
    if (m_kind == ProfileTransferKind::Color) {
        int have = 0;
        for (int i = 0; i < destination.SectionCount(); ++i)
            have += IsColorSection(destination.SectionName(i));
        if (have + static_cast<int>(selected.size()) > kMaxColorProfiles) {
            ShowError("You have reached the maximum number of color profiles.", dialog);
            m_status = "Import failed.";
            return false;
        }
    }
    const std::vector<std::string> obsolete = m_profile.GetRetiredKeys();
    std::vector<std::string> written;
    for (const std::string& name : selected) {
        const std::string from = prefix + name;
        std::string to = from;
        // Counts on until a name is free, so no section is ever written twice.
        for (int n = 2; destination.FindSection(to) >= 0; ++n) to = from + " (" + std::to_string(n) + ")";
        destination.AddSection(to);
        const int section = source.FindSection(from);
        const int count = section < 0 ? 0 : source.EntryCount(from);
        for (int i = 0; i < count; ++i) {
            const std::string key = source.EntryName(section, i);
            if (m_kind == ProfileTransferKind::Session &&
                std::find(obsolete.begin(), obsolete.end(), key) != obsolete.end())
                continue;
            destination.SetText(to, key, source.GetText(from, key, ""), true);
        }
        written.push_back(to.substr(prefix.size()));
    }
    if (!WriteChecked(destination, dialog)) {
        m_status = "Import failed.";
        return false;
    }
    m_importedAs = written;
    m_profile.OpenIniFile();
    m_status = "Import complete.";
    ShowDone("The selected profiles have been imported.", "Import Complete", dialog);
    return true;
}

const std::vector<std::string>& TarqProfileExport::PersonalKeys() {
    static const std::vector<std::string> keys = {"CID",
                                                  "RealName",
                                                  "Password",
                                                  "Rating",
                                                  "OutputVolumeHDST",
                                                  "OutputVolumeSPKR",
                                                  "InputSquelch",
                                                  "AudioInputDevice",
                                                  "AudioOutputHeadsetDevice",
                                                  "AudioOutputSpeakerDevice"};
    return keys;
}

std::vector<std::string> TarqProfileExport::ListNames() const {
    std::vector<std::string> names;
    if (m_kind == ProfileTransferKind::Color) {
        m_profile.GetColorProfileNames(names);
    } else {
        m_profile.GetProfileNames(names);
        names.erase(std::remove(names.begin(), names.end(), "Default"), names.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const char* TarqProfileExport::CheckFileName(const std::string& name, const std::string& iniFileName) {
    if (name.size() > kMaxFileNameLength || !RegexMatch(name, "^[\\w\\.]+$", 128))
        return "Invalid export file name. It must consist of only letters, numbers, underscores and periods. "
               "Maximum length is 128 characters.";
    if (ToUpper(name) + ".INI" == ToUpper(iniFileName))
        return "Invalid export file name. You cannot overwrite the standard INI file. Please choose another "
               "name.";
    return nullptr;
}

bool TarqProfileExport::Accept(const std::vector<std::string>& selected, const std::string& fileName,
                               WindowHandle dialog) {
    if (selected.empty()) {
        ShowError("You must select at least one profile to export.", dialog);
        return false;
    }
    const std::filesystem::path iniPath(m_profile.GetIniFile().GetPath());
    if (const char* refusal = CheckFileName(fileName, iniPath.filename().string())) {
        ShowError(refusal, dialog);
        return false;
    }
    m_status = "Exporting profiles ...";
    CIniFile ini;
    if (!ReadProgramIni(m_profile, ini, dialog)) {
        m_status = "Export failed.";
        return true;
    }
    const std::string directory = iniPath.parent_path().string();
    m_exportPath = (directory.empty() ? std::string(".") : directory) + "/" + fileName + ".ini";
    auto isSelected = [&](const std::string& name) {
        return std::find(selected.begin(), selected.end(), name) != selected.end();
    };
    std::vector<std::string> drop;
    for (int i = 0; i < ini.SectionCount(); ++i) {
        const std::string section = ini.SectionName(i);
        if (m_kind == ProfileTransferKind::Color) {
            if (!IsColorSection(section) || !isSelected(section.substr(kColorPrefix.size())))
                drop.push_back(section);
            continue;
        }
        if (!IsSessionSection(section) || !isSelected(section)) {
            drop.push_back(section);
            continue;
        }
        for (const std::string& key : PersonalKeys()) ini.DeleteEntry(section, key);
        // Its colour profiles stay behind: the receiver has "Default".
        const int displays = ini.GetInt(section, "DisplayCount", 1);
        for (int d = 1; d <= ClampDisplayCount(displays); ++d)
            ini.SetText(section, "ColorProfile" + std::to_string(d), "Default", true);
    }
    for (const std::string& section : drop) ini.DeleteSection(section);
    ini.SetPath(m_exportPath);
    if (!WriteChecked(ini, dialog)) {
        m_status = "Export failed.";
        return true;
    }
    m_status = "Export complete.";
    ShowDone("The selected profiles have been exported to:\r\n\r\n" + m_exportPath, "Export Complete",
             dialog);
    return true;
}

const std::vector<MergeGroup>& TarqProfileMerge::Groups() {
    static const std::vector<MergeGroup> groups = [] {
        auto numbered = [](std::vector<std::string>& keys, const char* stem, int first, int last) {
            for (int i = first; i <= last; ++i) keys.push_back(stem + std::to_string(i));
        };
        std::vector<MergeGroup> list;
        list.push_back(
            {1126,
             "3D Camera Location",
             {"DisplayCameraAlt1", "DisplayTerrainAlt1", "DisplayCameraLon1", "DisplayCameraLat1"}});
        list.push_back({1122,
                        "ATISMaker Settings",
                        {"ATISMakerICAO", "ATISMakerTemplate", "ATISMakerRunways", "VoxATISFreq",
                         "VoxATISTemplate", "VoxATISServer"}});
        MergeGroup bookmarks{1121, "Bookmarks", {}};
        for (const char* stem :
             {"BookmarkLon", "BookmarkLat", "BookmarkRingLon", "BookmarkRingLat", "BookmarkZoom"})
            numbered(bookmarks.keys, stem, 1, 9);
        list.push_back(bookmarks);
        list.push_back({1115,
                        "Flight Strip Colors",
                        {"ColorStripArrivals", "ColorStripDepartures", "ColorStripLocal",
                         "ColorStripOverflights", "ColorStripSeparators", "ColorStripVFR"}});
        MergeGroup comms{1116, "Comms Panel Entries", {}};
        for (const char* stem :
             {"CommsEntryFreq", "CommsEntryName", "CommsEntryVoxChan", "CommsEntryVoxServer"})
            numbered(comms.keys, stem, 0, 11);
        list.push_back(comms);
        list.push_back({1123, "Hotkeys (PTT, CSEL, ASEL)", {"PTTKey", "ASELKey", "CSELKey"}});
        list.push_back({1125,
                        "Sector File && Center Point",
                        {"DisplaySectorFile1", "DisplayCenterLon1", "DisplayCenterLat1", "DisplayZoom1"}});
        list.push_back({1119,
                        "Visible Sector Items",
                        {"VisibleSIDs1", "VisibleSTARs1", "VisibleAirports1", "VisibleAirways1",
                         "VisibleCenterlines1", "VisibleFixes1", "VisibleNDBs1", "VisibleVORs1"}});
        list.push_back({1117,
                        "Sounds",
                        {"SoundATCMsg", "SoundBcastMsg", "SoundChatMsg", "SoundConflict", "SoundConnect",
                         "SoundDisconnect", "SoundError", "SoundGuardMsg", "SoundHandoffAcc",
                         "SoundHandoffReq", "SoundIntercomCall", "SoundOverrideCall", "SoundPointout",
                         "SoundRadioMsg", "SoundReminder", "SoundStripReceived"}});
        list.push_back({1118, "View Menu Selections", {"DisplayToggles1"}});
        return list;
    }();
    return groups;
}

std::vector<std::string> TarqProfileMerge::SourceNames() const {
    return ListTransferableProfiles(m_sourcePath, ProfileTransferKind::Session);
}

std::vector<std::string> TarqProfileMerge::TargetNames() const {
    std::vector<std::string> names;
    m_profile.GetProfileNames(names);
    names.erase(std::remove(names.begin(), names.end(), "Default"), names.end());
    return names;
}

bool TarqProfileMerge::Accept(const std::string& from, const std::string& into,
                              const std::vector<int>& groups, WindowHandle dialog) {
    if (from.empty()) {
        ShowError("You must select a profile to merge settings from.", dialog);
        return false;
    }
    if (into.empty()) {
        ShowError("You must select a profile to merge the settings into.", dialog);
        return false;
    }
    if (groups.empty()) {
        ShowError("You must select at least one section to merge.", dialog);
        return false;
    }
    m_status = "Merging session profiles ...";
    CIniFile destination;
    if (!ReadProgramIni(m_profile, destination, dialog)) {
        m_status = "Merge failed.";
        return true;
    }
    CIniFile source = destination;
    if (m_sourcePath != destination.GetPath()) {
        source = CIniFile(m_sourcePath);
        source.Read();
    }
    const int section = source.FindSection(from);
    for (const MergeGroup& group : Groups()) {
        if (std::find(groups.begin(), groups.end(), group.id) == groups.end()) continue;
        for (const std::string& key : group.keys) {
            // A key the source never saved leaves the target's value alone.
            if (section < 0 || source.FindEntry(section, key) < 0) continue;
            destination.SetText(into, key, source.GetText(from, key, ""), true);
        }
    }
    if (!WriteChecked(destination, dialog)) {
        m_status = "Merge failed.";
        return true;
    }
    m_profile.OpenIniFile();
    m_status = "Merge complete.";
    ShowDone("Profile merge complete.", "Merge Complete", dialog);
    return true;
}
