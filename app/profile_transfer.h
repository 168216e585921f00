// Copying profiles between INI files: the import of session or colour
// profiles from another file, the export of chosen profiles to a file of
// their own, and the merge of chosen groups of settings from one session
// profile into another. Each reads the files afresh, changes the program's
// INI file (or writes the export file) once through the atomic writer and
// reloads the settings store; a failed write is shown and nothing is
// reported as done. The dialogs only bind their lists and buttons to these.
// Tested by tests/app/settings_forms_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "platform/window_handle.h"

class TarqProfile;

enum class ProfileTransferKind { Session = 1, Color = 2 };

// The names an import or merge dialog lists from an INI file, in file order:
// session profiles other than "Default", or colour profiles without their
// prefix. Empty for a file that cannot be read.
std::vector<std::string> ListTransferableProfiles(const std::string& path, ProfileTransferKind kind);

class TarqProfileImport {
public:
    static constexpr int kMaxColorProfiles = 30;

    TarqProfileImport(TarqProfile& profile, ProfileTransferKind kind, std::string sourcePath)
        : m_profile(profile), m_kind(kind), m_sourcePath(std::move(sourcePath)) {}

    // The Import button: refuses an empty selection, then imports. True when
    // the dialog may close (done, or failed with the reason shown).
    bool Accept(const std::vector<std::string>& selected, WindowHandle dialog);
    const std::string& Status() const { return m_status; }
    // The names the profiles were written under, in order.
    const std::vector<std::string>& ImportedAs() const { return m_importedAs; }

private:
    bool Import(const std::vector<std::string>& selected, WindowHandle dialog);

    TarqProfile& m_profile;
    ProfileTransferKind m_kind;
    std::string m_sourcePath;
    std::string m_status;
    std::vector<std::string> m_importedAs;
};

class TarqProfileExport {
public:
    static constexpr size_t kMaxFileNameLength = 127;
    // The values that stay with the user: never exported.
    static const std::vector<std::string>& PersonalKeys();

    TarqProfileExport(TarqProfile& profile, ProfileTransferKind kind) : m_profile(profile), m_kind(kind) {}

    // Names the export dialog lists, sorted: session profiles without
    // "Default", or colour profiles.
    std::vector<std::string> ListNames() const;
    // Nullptr when the file name (without extension) may be used, else the
    // message that refuses it.
    static const char* CheckFileName(const std::string& name, const std::string& iniFileName);
    // The Export button. False while the dialog stays open (a refusal was shown).
    bool Accept(const std::vector<std::string>& selected, const std::string& fileName, WindowHandle dialog);
    const std::string& Status() const { return m_status; }
    // Where the last export went.
    const std::string& ExportPath() const { return m_exportPath; }

private:
    TarqProfile& m_profile;
    ProfileTransferKind m_kind;
    std::string m_status;
    std::string m_exportPath;
};

struct MergeGroup {
    int id;  // the check box
    const char* label;
    std::vector<std::string> keys;
};

class TarqProfileMerge {
public:
    // In the order the groups are merged.
    static const std::vector<MergeGroup>& Groups();

    // sourcePath: another INI file, or the program's own (Merge Existing).
    TarqProfileMerge(TarqProfile& profile, std::string sourcePath)
        : m_profile(profile), m_sourcePath(std::move(sourcePath)) {}

    std::vector<std::string> SourceNames() const;
    std::vector<std::string> TargetNames() const;
    // The Merge button with the checked group ids. False while the dialog
    // stays open (a refusal was shown).
    bool Accept(const std::string& from, const std::string& into, const std::vector<int>& groups,
                WindowHandle dialog);
    const std::string& Status() const { return m_status; }

private:
    TarqProfile& m_profile;
    std::string m_sourcePath;
    std::string m_status;
};
