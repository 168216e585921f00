// A fresh directory under /tmp for tests that read and write files, removed
// with everything in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/tarq_test_XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made ? made : "/tmp";
    }
    ~TempDir() {
        if (m_path == "/tmp") return;
        std::error_code ignored;
        // Tests that take our own rights away must not leave the directory behind.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    void Write(const std::string& name, const std::string& contents) const {
        std::ofstream(File(name), std::ios::binary) << contents;
    }

private:
    std::string m_path;
};
