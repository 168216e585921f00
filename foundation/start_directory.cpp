#include "foundation/start_directory.h"

#include <filesystem>
#include <system_error>

std::string StartDirectory;

bool RecordStartDirectory() {
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    if (error) return false;
    StartDirectory = current.string();
    return true;
}

std::string PathInDirectory(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}
