// Tested by tests/simbridge/model_matcher_test.cpp.
#include "simbridge/model_data_text.h"

#include <algorithm>
#include <filesystem>

#include "foundation/text_helpers.h"

namespace fs = std::filesystem;

bool ReadLine(std::istream& in, std::string& line) {
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return !in.bad();
}

void TrimBlanks(std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    const size_t last = text.find_last_not_of(" \t");
    text = text.substr(first, last - first + 1);
}

void StripComment(std::string& text) {
    const size_t semicolon = text.find(';');
    if (semicolon != std::string::npos) text.resize(semicolon);
    TrimBlanks(text);
}

int SplitFields(const std::string& text, std::vector<std::string>& out, const std::string& delimiters) {
    SplitString(text, out, 0, delimiters);
    return static_cast<int>(out.size());
}

std::string EnsureTrailingSlash(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

std::string FindFileNoCase(const std::string& folder, const std::string& name) {
    const std::string dir = EnsureTrailingSlash(folder);
    std::error_code error;
    if (fs::is_regular_file(dir + name, error)) return dir + name;
    const std::string wanted = ToLower(name);
    std::vector<std::string> matches;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string found = it->path().filename().string();
        if (ToLower(found) == wanted && it->is_regular_file(error)) matches.push_back(found);
    }
    if (matches.empty()) return {};
    // Two names that differ only in case: take one the same way every run.
    std::sort(matches.begin(), matches.end());
    return dir + matches.front();
}

bool ListFilesWithExtension(const std::string& folder, const std::string& extension,
                            std::vector<std::string>& names) {
    names.clear();
    std::error_code error;
    fs::directory_iterator it(EnsureTrailingSlash(folder), error);
    if (error) return false;
    const std::string wanted = ToLower(extension);
    for (fs::directory_iterator end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= wanted.size()) continue;
        if (ToLower(name.substr(name.size() - wanted.size())) != wanted) continue;
        if (it->is_regular_file(error)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return true;
}
