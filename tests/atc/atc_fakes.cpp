// The temporary directory of the ATC state tests.
#include "atc_fakes.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

TempDir::TempDir() {
    char pattern[] = "/tmp/tarq_atc_XXXXXX";
    const char* made = mkdtemp(pattern);
    m_path = made ? made : "/tmp";
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (m_path != "/tmp") std::filesystem::remove_all(m_path, ignored);
}

void TempDir::Write(const std::string& name, const std::string& contents) const {
    std::ofstream(m_path + "/" + name, std::ios::binary) << contents;
}
