// Opening "Tarq.ini" and the session and colour-profile operations.
#include <filesystem>

#include "foundation/ini_file.h"
#include "foundation/settings_catalogue.h"
#include "platform/atomic_file.h"
#include "profile_fixture.h"

class ColorProfileTest : public ProfileTest {
protected:
    // A current-format file with two session profiles using colour profiles.
    void PutTwoProfiles() {
        PutIni(
            "[:META]\nVersion=4\n"
            "[Alpha]\nDisplayCount=2\nColorProfile1=Night\nColorProfile2=Day\n"
            "[Bravo]\nDisplayCount=3\nColorProfile1=night\nColorProfile2=Day\nColorProfile3=Night\n"
            "[:CP:Night]\nColorTracked=255\nNotAColorKey=5\n"
            "[:CP:Day]\n"
            "[:cp:Lower]\nColorTracked=1\n");
    }
};

TEST_F(ColorProfileTest, OpenIniFileLoadsColourSectionsAndListsSessionProfiles) {
    PutTwoProfiles();
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.OpenIniFile());
    EXPECT_TRUE(boxes.shown.empty());

    std::vector<std::string> names{"stale"};
    profile.GetColorProfileNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Day", "Night"}));  // ":cp:" is neither kind
    profile.GetProfileNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Bravo"}));
    EXPECT_TRUE(profile.ProfileExists("BRAVO"));
    EXPECT_FALSE(profile.HasColorProfile("night"));

    EXPECT_EQ(profile.GetColor("Night", "ColorTracked"), 255);
    EXPECT_EQ(profile.GetColor("Night", "ColorHandoff"), 0xFF0000);  // missing key: default colour
    EXPECT_EQ(profile.GetColor("Night", "NotAColorKey"), 0);         // not read from the section
    EXPECT_EQ(profile.GetColor("Nowhere", "ColorTracked"), 0xFFFFFF);
    EXPECT_EQ(profile.GetColor("Nowhere", "ColorBackground"), 0xFFFFFF);
}

// What a new user starts with, the seeded file or none at all, lists the
// built-in colour profiles with their colours, as an upgraded old file does.
TEST_F(ColorProfileTest, AFirstStartHasTheBuiltInColourProfiles) {
    std::string seed;
    ASSERT_TRUE(ReadWholeFile(TARQ_SEED_INI, seed));
    struct Case {
        const char* name;
        const std::string* contents;  // null: no file
    };
    const Case cases[] = {{"the seeded file", &seed}, {"no file", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(IniPath());
        if (c.contents) PutIni(*c.contents);
        TarqProfile profile(IniPath());
        EXPECT_EQ(profile.OpenIniFile(), c.contents != nullptr);
        std::vector<std::string> names;
        profile.GetColorProfileNames(names);
        EXPECT_EQ(names,
                  (std::vector<std::string>{"Default", "Park Air", "STARS R13", "STARS R14", "TAAATS"}));
        for (const BuiltInColorProfile& builtIn : BuiltInColorProfiles()) {
            for (const ColorEntry& entry : builtIn.colors) {
                // "ColorLeaderLine" is written but read by nobody.
                if (entry.key == "ColorLeaderLine") continue;
                EXPECT_EQ(profile.GetColor(std::string(builtIn.name), std::string(entry.key)), entry.color)
                    << builtIn.name << " " << entry.key;
            }
        }
    }
}

TEST_F(ColorProfileTest, AnUnreadableFileReportsFalse) {
    TarqProfile profile(IniPath());
    EXPECT_FALSE(profile.OpenIniFile());
    PutIni("");
    EXPECT_FALSE(profile.OpenIniFile());
}

TEST_F(ColorProfileTest, NewAndCopyKeepCountingForAFreeName) {
    TarqProfile profile(IniPath());
    EXPECT_EQ(profile.NewColorProfile(), "New Color Profile");
    EXPECT_EQ(profile.NewColorProfile(), "New Color Profile (2)");
    EXPECT_EQ(profile.GetColor("New Color Profile", "ColorBackground"), 0);
    EXPECT_EQ(profile.GetColor("New Color Profile", "ColorTracked"), 0x00FF00);
    EXPECT_TRUE(profile.IsModified());

    profile.SetColor("Night", "ColorTracked", 77);
    profile.SetColor("Copy of Night", "ColorTracked", 1);
    profile.SetColor("Copy of Night (2)", "ColorTracked", 2);
    EXPECT_EQ(profile.CopyColorProfile("Night"), "Copy of Night (3)");
    EXPECT_EQ(profile.GetColor("Copy of Night (3)", "ColorTracked"), 77);

    // Past the hundredth name the count goes on instead of reusing one.
    for (int n = 2; n <= 100; ++n)
        profile.SetColor("Copy of Night (" + std::to_string(n) + ")", "ColorTracked", n);
    EXPECT_EQ(profile.CopyColorProfile("Night"), "Copy of Night (101)");
    EXPECT_EQ(profile.GetColor("Copy of Night", "ColorTracked"), 1);
    EXPECT_EQ(profile.GetColor("Copy of Night (50)", "ColorTracked"), 50);

    // A name that differs only in case would share the file's section.
    profile.SetColor("new color profile (3)", "ColorTracked", 3);
    EXPECT_EQ(profile.NewColorProfile(), "New Color Profile (4)");
    EXPECT_GE(display.menuRebuilds, 4);
}

TEST_F(ColorProfileTest, RenameMovesEveryUseOfTheName) {
    PutTwoProfiles();
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.OpenIniFile());
    ASSERT_TRUE(profile.Load("Alpha"));
    const int rebuilds = display.menuRebuilds;

    EXPECT_TRUE(profile.RenameColorProfile("Night", "Dusk"));
    EXPECT_FALSE(profile.HasColorProfile("Night"));
    EXPECT_EQ(profile.GetColor("Dusk", "ColorTracked"), 255);
    EXPECT_EQ(display.replaced, std::vector<std::string>{"Night>Dusk"});
    EXPECT_EQ(profile.GetString("ColorProfile1"), "Dusk");
    EXPECT_TRUE(profile.IsModified());
    EXPECT_GT(display.menuRebuilds, rebuilds);
    CIniFile& ini = profile.GetIniFile();
    EXPECT_EQ(ini.GetText("Alpha", "ColorProfile1", ""), "Dusk");
    EXPECT_EQ(ini.GetText("Bravo", "ColorProfile1", ""), "night");  // another case is another name
    EXPECT_EQ(ini.GetText("Bravo", "ColorProfile3", ""), "Dusk");
    EXPECT_EQ(ini.FindSection(":CP:Night"), -1);
}

TEST_F(ColorProfileTest, RenameThatWouldLoseOrMergeAProfileChangesNothing) {
    PutTwoProfiles();
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.OpenIniFile());
    struct Case {
        const char* name;
        const char* from;
        const char* to;
    } cases[] = {
        {"own name", "Night", "Night"},
        {"name in use", "Night", "Day"},
        {"name in use in another case", "Night", "DAY"},
        {"no such profile", "Ghost", "Spirit"},
        {"empty name", "Night", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(profile.RenameColorProfile(c.from, c.to));
        EXPECT_TRUE(profile.HasColorProfile("Night"));
        EXPECT_EQ(profile.GetColor("Night", "ColorTracked"), 255);
        EXPECT_GE(profile.GetIniFile().FindSection(":CP:Night"), 0);
    }
    EXPECT_FALSE(profile.IsModified());
    EXPECT_TRUE(display.replaced.empty());
    // Changing only the letter case is a rename.
    EXPECT_TRUE(profile.RenameColorProfile("Night", "NIGHT"));
    EXPECT_EQ(profile.GetColor("NIGHT", "ColorTracked"), 255);
}

TEST_F(ColorProfileTest, DeleteFallsBackToDefaultAndDefaultStays) {
    PutTwoProfiles();
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.OpenIniFile());
    profile.SetColor("Default", "ColorTracked", 9);

    EXPECT_FALSE(profile.DeleteColorProfile("Default"));
    EXPECT_TRUE(profile.HasColorProfile("Default"));
    EXPECT_FALSE(profile.DeleteColorProfile("Ghost"));

    EXPECT_TRUE(profile.DeleteColorProfile("Night"));
    EXPECT_FALSE(profile.HasColorProfile("Night"));
    EXPECT_EQ(display.replaced, std::vector<std::string>{"Night>Default"});
    CIniFile& ini = profile.GetIniFile();
    EXPECT_EQ(ini.GetText("Alpha", "ColorProfile1", ""), "Default");
    EXPECT_EQ(ini.GetText("Alpha", "ColorProfile2", ""), "Day");
    EXPECT_EQ(ini.GetText("Bravo", "ColorProfile1", ""), "night");
    EXPECT_EQ(ini.GetText("Bravo", "ColorProfile3", ""), "Default");
    EXPECT_EQ(ini.FindSection(":CP:Night"), -1);
    EXPECT_TRUE(profile.IsModified());
}

TEST_F(ColorProfileTest, DeleteProfileRemovesTheSectionAndWritesTheFile) {
    PutTwoProfiles();
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.OpenIniFile());
    EXPECT_TRUE(profile.DeleteProfile("alpha"));
    EXPECT_EQ(IniText().find("[Alpha]"), std::string::npos);
    EXPECT_NE(IniText().find("[Bravo]"), std::string::npos);
    EXPECT_FALSE(profile.DeleteProfile(":META"));
    EXPECT_FALSE(profile.DeleteProfile("Ghost"));
    EXPECT_NE(IniText().find("[:META]"), std::string::npos);

    // The section is gone in memory; a write that fails says so.
    std::filesystem::remove(IniPath());
    std::filesystem::create_directory(IniPath());
    EXPECT_FALSE(profile.DeleteProfile("Bravo"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: ", 0), 0u);
}
