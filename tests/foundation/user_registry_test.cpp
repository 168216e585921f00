#include "foundation/user_registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/atomic_file.h"
#include "tests/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Sets or unsets an environment variable for one test and restores it.
class EnvGuard {
public:
    EnvGuard(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvGuard() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class UserRegistryTest : public ::testing::Test {
protected:
    TempDir m_tmp;
    fs::path m_dir{m_tmp.Path()};
};

}  // namespace

TEST_F(UserRegistryTest, DefaultPathFollowsXdg) {
    struct Case {
        const char* name;
        const char* config;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"config home set", "/cfg", "/home/u", "/cfg/tarq/registry.ini"},
        {"config home unset", nullptr, "/home/u", "/home/u/.config/tarq/registry.ini"},
        {"config home empty", "", "/home/u", "/home/u/.config/tarq/registry.ini"},
        {"relative config home ignored", "cfg", "/home/u", "/home/u/.config/tarq/registry.ini"},
        {"nothing to go by", nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnvGuard config("XDG_CONFIG_HOME", c.config);
        EnvGuard home("HOME", c.home);
        EXPECT_EQ(TarqUserRegistry::DefaultPath(), c.expected);
    }
}

TEST_F(UserRegistryTest, LastProfileSurvivesAndCreatesTheFolder) {
    EnvGuard config("XDG_CONFIG_HOME", m_dir.c_str());
    TarqUserRegistry registry(TarqUserRegistry::DefaultPath());
    EXPECT_EQ(registry.GetString(kTarqRegistryKey, kLastProfileValue, ""), "");
    ASSERT_TRUE(registry.SetString(kTarqRegistryKey, kLastProfileValue, "EGLL Tower"))
        << registry.GetLastError();

    TarqUserRegistry later(TarqUserRegistry::DefaultPath());
    EXPECT_EQ(later.GetString("software\\fenwray\\tarq", "lastprofile", ""), "EGLL Tower");
    std::string text;
    ASSERT_TRUE(ReadWholeFile((m_dir / "tarq" / "registry.ini").string(), text));
    EXPECT_EQ(text, "[Software\\Fenwray\\Tarq]\r\nLastProfile=EGLL Tower\r\n\r\n");
}

TEST_F(UserRegistryTest, StringsAndIntegersByName) {
    TarqUserRegistry registry((m_dir / "registry.ini").string());
    const std::string key = std::string(kTarqRegistryKey) + "\\Chat";
    ASSERT_TRUE(registry.SetInt(key, "Left", -1200));
    ASSERT_TRUE(registry.SetInt(key, "Top", 40));
    ASSERT_TRUE(registry.SetString(kTarqRegistryKey, kLastProfileValue, "A"));
    ASSERT_TRUE(registry.SetString(kTarqRegistryKey, kLastProfileValue, "B"));
    EXPECT_EQ(registry.GetInt(key, "Left", 0), -1200);
    EXPECT_EQ(registry.GetInt(key, "Top", 0), 40);
    EXPECT_EQ(registry.GetInt(key, "Width", 300), 300);
    EXPECT_EQ(registry.GetString(kTarqRegistryKey, kLastProfileValue, ""), "B");
    EXPECT_FALSE(registry.SetString(kTarqRegistryKey, kLastProfileValue, "two\nlines"));
    EXPECT_EQ(registry.GetString(kTarqRegistryKey, kLastProfileValue, ""), "B");
}

TEST_F(UserRegistryTest, DamagedFileIsReadButNotReplaced) {
    std::string path = (m_dir / "registry.ini").string();
    const std::string damaged =
        "[Software\\Fenwray\\Tarq]\r\nLastProfile=A\r\n\tBroken=1\r\n[Other]\r\nX=1\r\n";
    ASSERT_TRUE(WriteFileAtomically(path, damaged));
    TarqUserRegistry registry(path);
    testing::internal::CaptureStdout();
    EXPECT_EQ(registry.GetString(kTarqRegistryKey, kLastProfileValue, ""), "A");
    EXPECT_FALSE(registry.SetString(kTarqRegistryKey, kLastProfileValue, "B"));
    testing::internal::GetCapturedStdout();
    EXPECT_NE(registry.GetLastError().find("line 3"), std::string::npos) << registry.GetLastError();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(text, damaged);
}

TEST_F(UserRegistryTest, NowhereToWriteSaysSo) {
    TarqUserRegistry nowhere("");
    EXPECT_FALSE(nowhere.SetString(kTarqRegistryKey, kLastProfileValue, "A"));
    EXPECT_NE(nowhere.GetLastError().find("HOME"), std::string::npos);
    EXPECT_EQ(nowhere.GetString(kTarqRegistryKey, kLastProfileValue, "dflt"), "dflt");

    // A file where the folder should be.
    ASSERT_TRUE(WriteFileAtomically((m_dir / "tarq").string(), "x"));
    TarqUserRegistry blocked((m_dir / "tarq" / "registry.ini").string());
    EXPECT_FALSE(blocked.SetString(kTarqRegistryKey, kLastProfileValue, "A"));
    EXPECT_FALSE(blocked.GetLastError().empty());
}

namespace {

TEST(UserRegistryValues, ListsAKeysValuesAndDeletesSomeInOneWrite) {
    TempDir dir;
    TarqUserRegistry registry(dir.File("registry.ini"));
    EXPECT_TRUE(registry.GetValues("Software\\Fenwray\\Tarq\\ChatWindows").empty()) << "no file yet";
    const std::string key = "Software\\Fenwray\\Tarq\\ChatWindows";
    ASSERT_TRUE(registry.SetString(key, "EGLL_TWR", "1,2,3,4,5"));
    ASSERT_TRUE(registry.SetString(key, ":TEAM", "6,7,8,9,10"));
    ASSERT_TRUE(registry.SetString(key, "Incoming Chat Log", "11,12,13,14,15"));
    ASSERT_TRUE(registry.SetString("Software\\Fenwray\\Tarq", "LastProfile", "Tower"));
    using Values = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(registry.GetValues(key), (Values{{"EGLL_TWR", "1,2,3,4,5"},
                                               {":TEAM", "6,7,8,9,10"},
                                               {"Incoming Chat Log", "11,12,13,14,15"}}));
    EXPECT_TRUE(registry.DeleteValues(key, {"EGLL_TWR", "NOT_THERE", "Incoming Chat Log"}));
    EXPECT_EQ(registry.GetValues(key), (Values{{":TEAM", "6,7,8,9,10"}}));
    EXPECT_EQ(registry.GetString("Software\\Fenwray\\Tarq", "LastProfile", ""), "Tower") << "other keys stay";
}

}  // namespace
