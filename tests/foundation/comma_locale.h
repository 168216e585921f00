// Switches LC_NUMERIC to a German locale, whose decimal point is a comma, for
// one test, building the locale with localedef when none is installed.
// Used by ini_file_test.cpp and text_helpers_test.cpp.
#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

class CommaLocale {
public:
    CommaLocale() {
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
            m_active = true;
            return;
        }
        m_dir = std::filesystem::temp_directory_path() / ("tarq_locale_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        std::string command =
            "localedef -i de_DE -f UTF-8 '" + (m_dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            setenv("LOCPATH", m_dir.c_str(), 1);
            m_active = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        }
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        if (!m_dir.empty()) {
            unsetenv("LOCPATH");
            std::filesystem::remove_all(m_dir);
        }
    }
    // False when no such locale could be had; the test then skips.
    bool Active() const { return m_active; }

private:
    bool m_active = false;
    std::filesystem::path m_dir;
};
