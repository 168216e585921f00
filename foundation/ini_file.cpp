// CIniFile: reader, writer and lookups. Tested by tests/foundation/ini_file_test.cpp.
#include "foundation/ini_file.h"

#include <locale.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

#include "platform/atomic_file.h"

namespace {

char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The C locale's white space, as atoi and strtod skip it.
bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view SkipSpace(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    return text.substr(i);
}

bool HasLineFeed(std::string_view text) { return text.find('\n') != std::string_view::npos; }

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string FormatIniInt(int value) {
    char buffer[16];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::string FormatIniFloat(double value) {
    // "%f" of the largest double has 309 integer digits.
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (ec != std::errc()) return "0.000000";
    return std::string(buffer, end);
}

int ParseIniInt(std::string_view text) {
    text = SkipSpace(text);
    bool negative = false;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t magnitude = 0;
    constexpr int64_t kCap = int64_t{std::numeric_limits<int>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kCap) magnitude = kCap;
    }
    if (negative) return static_cast<int>(-magnitude);
    return static_cast<int>(std::min<int64_t>(magnitude, std::numeric_limits<int>::max()));
}

double ParseIniFloat(std::string_view text) {
    // strtod's own rules, in the C locale whatever the desktop's: a German
    // desktop must still read "0.500000" as one half.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    std::string copy(text);  // strtod_l wants a terminated string
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

CIniFile::CIniFile(std::string path) : m_path(std::move(path)) {}

void CIniFile::SetPath(std::string path) {
    // A refusal concerns the file at the old path only.
    if (path != m_path) m_writeBlock.clear();
    m_path = std::move(path);
}

void CIniFile::Clear() {
    m_sections.clear();
    m_sectionNames.clear();
    m_sectionIndex.clear();
    m_headerComments.clear();
}

bool CIniFile::Read() {
    std::string text;
    if (!ReadWholeFile(m_path, text)) {
        if (FileExists(m_path)) {
            m_lastError = m_path + ": the file exists but cannot be read";
            m_writeBlock = m_lastError;
        } else {
            // Nothing there to lose: writing may create the file.
            m_lastError = m_path + ": no such file";
            m_writeBlock.clear();
        }
        return false;
    }
    return ReadText(text, m_path);
}

bool CIniFile::ReadText(std::string_view text, const std::string& origin) {
    m_lastError.clear();
    m_writeBlock.clear();
    std::string currentSection;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(pos, end - pos);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        ++lineNumber;
        // CR LF, and stray CRs before it, all end the line; a text never ends
        // in CR, so what is written reads back the same.
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;

        unsigned char first = static_cast<unsigned char>(line[0]);
        if (first < 32 || first > 126) {
            int code = static_cast<signed char>(first);
            m_lastError = origin + ", line " + std::to_string(lineNumber) +
                          ": the line begins with character code " + std::to_string(code) +
                          " (not printable ASCII, such as a tab or a byte-order mark); reading stopped there";
            m_writeBlock = m_lastError;
            return false;
        }

        size_t p = line.find_first_of(";#[=");
        if (p == std::string_view::npos) continue;
        switch (line[p]) {
            case '[': {
                size_t close = line.rfind(']');
                if (close == std::string_view::npos || close < p) break;
                currentSection.assign(line.substr(p + 1, close - p - 1));
                AddSection(currentSection);
                break;
            }
            case '=':
                SetText(currentSection, line.substr(0, p), line.substr(p + 1), true);
                break;
            default:  // ';' or '#'
                if (m_sections.empty())
                    AddHeaderComment(line.substr(p + 1));
                else
                    AddSectionComment(std::string_view(currentSection), line.substr(p + 1));
                break;
        }
    }
    if (m_sections.empty()) {
        m_lastError = origin + ": no section found";
        return false;
    }
    return true;
}

std::string CIniFile::ToText() const {
    std::string out;
    auto line = [&out](std::string_view a, std::string_view b = {}, std::string_view c = {}) {
        out.append(a).append(b).append(c).append("\r\n");
    };
    for (const auto& comment : m_headerComments) line(";", comment);
    if (!m_headerComments.empty()) line("");
    for (size_t s = 0; s < m_sections.size(); ++s) {
        const Section& section = m_sections[s];
        line("[", m_sectionNames[s], "]");
        for (const auto& comment : section.comments) line(";", comment);
        for (size_t k = 0; k < section.keyNames.size(); ++k)
            line(section.keyNames[k], "=", section.values[k]);
        line("");
    }
    return out;
}

bool CIniFile::Write() {
    if (!m_writeBlock.empty()) {
        m_lastError = m_path + " was not written: " + m_writeBlock +
                      ", and writing it back would lose the rest of the file";
        return false;
    }
    if (m_path.empty()) {
        m_lastError = "no file to write to";
        return false;
    }
    // A line feed inside a text would split its line and could forge a section.
    auto refuse = [this](const std::string& what) {
        m_lastError = m_path + " was not written: " + what + " holds a line break";
        return false;
    };
    for (const auto& comment : m_headerComments)
        if (HasLineFeed(comment)) return refuse("a comment");
    for (size_t s = 0; s < m_sections.size(); ++s) {
        if (HasLineFeed(m_sectionNames[s])) return refuse("a section name");
        for (const auto& comment : m_sections[s].comments)
            if (HasLineFeed(comment)) return refuse("a comment of [" + m_sectionNames[s] + "]");
    }
    std::string error;
    if (!WriteFileAtomically(m_path, ToText(), &error)) {
        m_lastError = error;
        return false;
    }
    m_lastError.clear();
    return true;
}

std::string CIniFile::FoldCase(std::string text) const {
    if (m_caseFold)
        for (char& c : text) c = FoldChar(c);
    return text;
}

void CIniFile::IndexSections() {
    m_sectionIndex.clear();
    for (size_t i = 0; i < m_sectionNames.size(); ++i)
        m_sectionIndex.emplace(FoldCase(m_sectionNames[i]), static_cast<int>(i));
}

int CIniFile::FindSection(std::string_view name) const {
    auto found = m_sectionIndex.find(FoldCase(std::string(name)));
    return found == m_sectionIndex.end() ? -1 : found->second;
}

int CIniFile::FindEntry(int section, std::string_view key) const {
    if (section < 0 || section >= SectionCount()) return -1;
    const auto& index = m_sections[section].keyIndex;
    auto found = index.find(FoldCase(std::string(key)));
    return found == index.end() ? -1 : found->second;
}

std::string CIniFile::SectionName(int section) const {
    if (section < 0 || section >= SectionCount()) return {};
    return m_sectionNames[section];
}

int CIniFile::EntryCount(std::string_view section) const {
    int s = FindSection(section);
    return s < 0 ? 0 : static_cast<int>(m_sections[s].keyNames.size());
}

std::string CIniFile::EntryName(int section, int entry) const {
    if (section < 0 || section >= SectionCount()) return {};
    const auto& keys = m_sections[section].keyNames;
    if (entry < 0 || entry >= static_cast<int>(keys.size())) return {};
    return keys[entry];
}

std::string CIniFile::EntryName(std::string_view section, int entry) const {
    int s = FindSection(section);
    return s < 0 ? std::string() : EntryName(s, entry);
}

std::string CIniFile::GetText(std::string_view section, std::string_view key,
                              std::string_view defaultValue) const {
    int s = FindSection(section);
    int k = FindEntry(s, key);
    if (k < 0) return std::string(defaultValue);
    return m_sections[s].values[k];
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    return ParseIniInt(GetText(section, key, FormatIniInt(defaultValue)));
}

double CIniFile::GetFloat(std::string_view section, std::string_view key, double defaultValue) const {
    return ParseIniFloat(GetText(section, key, FormatIniFloat(defaultValue)));
}

bool CIniFile::GetBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return GetInt(section, key, defaultValue ? 1 : 0) != 0;
}

bool CIniFile::SetText(std::string_view section, std::string_view key, std::string_view value, bool create) {
    if (HasLineFeed(section) || HasLineFeed(key) || HasLineFeed(value)) return false;
    int s = FindSection(section);
    if (s < 0) {
        if (!create) return false;
        s = AddSection(section);
    }
    int k = FindEntry(s, key);
    Section& target = m_sections[s];
    if (k < 0) {
        if (!create) return false;
        target.keyIndex.emplace(FoldCase(std::string(key)), static_cast<int>(target.keyNames.size()));
        target.keyNames.emplace_back(key);
        target.values.emplace_back(value);
        return true;
    }
    target.values[k].assign(value);
    return true;
}

bool CIniFile::SetInt(std::string_view section, std::string_view key, int value) {
    return SetText(section, key, FormatIniInt(value), true);
}

bool CIniFile::SetFloat(std::string_view section, std::string_view key, double value) {
    return SetText(section, key, FormatIniFloat(value), true);
}

bool CIniFile::SetBool(std::string_view section, std::string_view key, bool value) {
    return SetInt(section, key, value ? 1 : 0);
}

int CIniFile::AddSection(std::string_view name) {
    m_sectionIndex.emplace(FoldCase(std::string(name)), SectionCount());
    m_sectionNames.emplace_back(name);
    m_sections.emplace_back();
    return SectionCount() - 1;
}

void CIniFile::AddHeaderComment(std::string_view text) { m_headerComments.emplace_back(text); }

bool CIniFile::AddSectionComment(int section, std::string_view text) {
    if (section < 0 || section >= SectionCount()) return false;
    m_sections[section].comments.emplace_back(text);
    return true;
}

bool CIniFile::AddSectionComment(std::string_view section, std::string_view text) {
    return AddSectionComment(FindSection(section), text);
}

bool CIniFile::DeleteSection(std::string_view name) {
    int s = FindSection(name);
    if (s < 0) return false;
    m_sections.erase(m_sections.begin() + s);
    m_sectionNames.erase(m_sectionNames.begin() + s);
    IndexSections();
    return true;
}

bool CIniFile::DeleteEntry(std::string_view section, std::string_view key) {
    int s = FindSection(section);
    int k = FindEntry(s, key);
    if (k < 0) return false;
    Section& target = m_sections[s];
    target.keyNames.erase(target.keyNames.begin() + k);
    target.values.erase(target.values.begin() + k);
    target.keyIndex.erase(FoldCase(std::string(key)));
    for (auto& [name, index] : target.keyIndex)
        if (index > k) --index;
    return true;
}
