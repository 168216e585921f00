// CIniFile: one INI text file held whole in memory, sections and keys in file
// order, names compared without regard to ASCII case. "Tarq.ini" and the files
// of the profile import live in it.
// Tested by tests/foundation/ini_file_test.cpp and fuzzed by ini_file_fuzzer.cpp.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CIniFile {
public:
    explicit CIniFile(std::string path = {});
    virtual ~CIniFile() = default;

    void SetPath(std::string path);
    const std::string& GetPath() const { return m_path; }
    // Empties the contents; the path, and a refusal to write it, stay.
    void Clear();

    // Merges the file at the path into the contents; true when the object then
    // holds at least one section. A line that begins with a byte outside
    // printable ASCII (a tab, a byte-order mark) stops the read there.
    bool Read();
    // The same rules applied to text already in memory; the fuzzer and the
    // tests feed it directly. `origin` names the text in messages.
    bool ReadText(std::string_view text, const std::string& origin = "text");
    // Replaces the file at the path as a whole (temporary file, then rename).
    // Refused while the last read of this path stopped partway or could not
    // open an existing file: writing back would lose what was not read.
    bool Write();

    // Why the last Read or Write failed; empty after a success.
    const std::string& GetLastError() const { return m_lastError; }
    // True while Write would be refused for the reason above.
    bool IsWriteBlocked() const { return !m_writeBlock.empty(); }

    std::string FoldCase(std::string text) const;

    int SectionCount() const { return static_cast<int>(m_sections.size()); }
    int FindSection(std::string_view name) const;
    int FindEntry(int section, std::string_view key) const;
    std::string SectionName(int section) const;
    int EntryCount(std::string_view section) const;
    std::string EntryName(int section, int entry) const;
    std::string EntryName(std::string_view section, int entry) const;

    std::string GetText(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    double GetFloat(std::string_view section, std::string_view key, double defaultValue) const;
    bool GetBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // False when nothing was stored: missing section or key with create false,
    // or a line feed in a name or the value (it would split the line on disk).
    bool SetText(std::string_view section, std::string_view key, std::string_view value, bool create);
    bool SetInt(std::string_view section, std::string_view key, int value);
    bool SetFloat(std::string_view section, std::string_view key, double value);
    bool SetBool(std::string_view section, std::string_view key, bool value);

    // Appends without looking for a section of the same name; returns its index.
    int AddSection(std::string_view name);
    void AddHeaderComment(std::string_view text);
    bool AddSectionComment(int section, std::string_view text);
    bool AddSectionComment(std::string_view section, std::string_view text);
    bool DeleteSection(std::string_view name);
    bool DeleteEntry(std::string_view section, std::string_view key);

    // The whole file as Write produces it, lines ending in CR LF.
    std::string ToText() const;

private:
    struct Section {
        std::vector<std::string> keyNames;
        std::vector<std::string> values;  // same index as keyNames
        std::vector<std::string> comments;
        // Folded key name to its index: a profile load looks up every key.
        std::unordered_map<std::string, int> keyIndex;
    };

    void IndexSections();

    bool m_caseFold = true;
    std::string m_path;
    std::vector<Section> m_sections;
    std::vector<std::string> m_sectionNames;  // same index as m_sections
    // Folded section name to the first section of that name.
    std::unordered_map<std::string, int> m_sectionIndex;
    std::vector<std::string> m_headerComments;
    std::string m_lastError;
    // Non-empty while the file at m_path must not be overwritten; says why.
    std::string m_writeBlock;
};

// Locale-independent conversions shared by the INI file and the settings
// store: "%d" and "%f" forms, and the lenient readers of atoi and strtod.
std::string FormatIniInt(int value);
std::string FormatIniFloat(double value);
// Leading white space, an optional sign and digits; no digits gives 0; a
// number past the int range saturates.
int ParseIniInt(std::string_view text);
// What strtod reads in the C locale: leading white space, then a number with
// optional fraction and exponent; no number gives 0.0.
double ParseIniFloat(std::string_view text);
