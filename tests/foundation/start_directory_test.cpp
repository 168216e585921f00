#include "foundation/start_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(StartDirectoryTest, KeepsAPathLongerThanTheOldLimit) {
    fs::path base = fs::temp_directory_path() / ("tarq_start_" + std::to_string(getpid()));
    fs::path deep = base;
    while (deep.string().size() <= 300) deep /= std::string(40, 'd');
    fs::create_directories(deep);
    fs::path previous = fs::current_path();
    fs::current_path(deep);
    std::string saved = StartDirectory;
    EXPECT_TRUE(RecordStartDirectory());
    EXPECT_EQ(StartDirectory, fs::current_path().string());
    EXPECT_GT(StartDirectory.size(), 300u);
    fs::current_path(previous);
    StartDirectory = saved;
    fs::remove_all(base);
}

TEST(StartDirectoryTest, PathInDirectory) {
    struct Case {
        const char* name;
        const char* directory;
        const char* expected;
    } cases[] = {
        {"empty directory", "", "Tarq.ini"},
        {"plain", "/home/atc/tarq", "/home/atc/tarq/Tarq.ini"},
        {"trailing slash", "/", "/Tarq.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PathInDirectory(c.directory, "Tarq.ini"), c.expected);
    }
}
