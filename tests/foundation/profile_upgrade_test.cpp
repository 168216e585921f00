// Upgrading "Tarq.ini" from formats 1, 2 and 3 to golden files, and when an
// upgrade runs, what it tells the user and what a failed write does.
#include "foundation/ini_file.h"
#include "profile_fixture.h"

namespace {

const char kShort[] = "INI File Updated: Your INI file has been updated to the latest format.";
const char kLong[] =
    "INI File Updated: Your INI file has been updated to the latest format. A color profile has\r\n"
    "been created for each unique set of colors in the file. You can edit,\r\n"
    "rename, or delete these color profiles by choosing \"Color Profiles...\"\r\n"
    "from the \"Settings\" menu.";

}  // namespace

class ProfileUpgradeTest : public ProfileTest {};

TEST_F(ProfileUpgradeTest, EachOldFormatToItsGoldenFile) {
    struct Case {
        const char* name;
        const char* input;
        const char* golden;
        const char* message;
        std::vector<std::string> colorProfiles;
    } cases[] = {
        {"format 1",
         "upgrade_v1.ini",
         "upgrade_v1_golden.ini",
         kLong,
         {"Default", "Imported 1", "Imported 2", "Park Air", "STARS R13", "STARS R14", "TAAATS"}},
        {"format 2", "upgrade_v2.ini", "upgrade_v2_golden.ini", kShort, {"Night", "Plain"}},
        {"format 3", "upgrade_v3.ini", "upgrade_v3_golden.ini", kShort, {"Night"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        PutIni(DataFile(c.input));
        TarqProfile profile(IniPath());
        ASSERT_TRUE(profile.OpenIniFile());
        EXPECT_EQ(IniText(), DataFile(c.golden));
        EXPECT_EQ(boxes.shown, std::vector<std::string>{c.message});
        EXPECT_EQ(boxes.styles[0].icon, MessageBoxIcon::Information);
        std::vector<std::string> names;
        profile.GetColorProfileNames(names);
        EXPECT_EQ(names, c.colorProfiles);

        // The converted file is current: opening it again changes nothing.
        boxes.shown.clear();
        TarqProfile again(IniPath());
        ASSERT_TRUE(again.OpenIniFile());
        EXPECT_EQ(IniText(), DataFile(c.golden));
        EXPECT_TRUE(boxes.shown.empty());
    }
}

TEST_F(ProfileUpgradeTest, WhichVersionRunsWhat) {
    struct Case {
        const char* name;
        std::string file;
        bool written;
        std::string message;  // empty: no message box
    } cases[] = {
        {"current version", "# hand-written\n[:META]\nVersion=4\n[A]\nk=v\n", false, ""},
        {"newer version", "[:META]\nVersion=7\n[A]\nk=v\n", false, ""},
        {"mark without version is format 1", "[:META]\n[A]\nk=v\n", true, kLong},
        {"version that is no number", "[:META]\nVersion=abc\n[A]\nk=v\n", true, ""},
        {"negative version", "[:META]\nVersion=-2\n[A]\nk=v\n", true, ""},
        // Colour-profile sections came with format 2: such a file lacks only
        // the mark, and converting it as format 1 would overwrite its settings.
        {"current layout without mark",
         "[A]\nAutoAddStripsArr=1\nColorProfile1=Night\n[:CP:Night]\nColorTracked=5\n", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        PutIni(c.file);
        const std::string before = IniText();
        TarqProfile profile(IniPath());
        ASSERT_TRUE(profile.OpenIniFile());
        if (c.written) {
            CIniFile written(IniPath());
            ASSERT_TRUE(written.Read());
            EXPECT_EQ(written.GetInt(":META", "Version", 0), 4);
        } else {
            EXPECT_EQ(IniText(), before);
        }
        EXPECT_EQ(boxes.shown,
                  c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    }
    // The file in the current layout kept its settings.
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.OpenIniFile());
    ASSERT_TRUE(profile.Load("A"));
    EXPECT_TRUE(profile.GetBool("AutoAddStripsArr"));
    EXPECT_EQ(profile.GetString("ColorProfile1"), "Night");
    EXPECT_EQ(profile.GetColor("Night", "ColorTracked"), 5);
}

TEST_F(ProfileUpgradeTest, AFailedWriteIsReportedInsteadOfTheUpdateMessage) {
    PutIni(DataFile("upgrade_v3.ini"));
    TarqProfile profile(IniPath());
    CIniFile& ini = profile.GetIniFile();
    ASSERT_TRUE(ini.Read());
    std::filesystem::remove(IniPath());
    std::filesystem::create_directory(IniPath());
    profile.UpgradeIni(3);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind(
                  "Error: Tarq.ini was converted to the latest format but could not be written", 0),
              0u)
        << boxes.shown[0];
    EXPECT_EQ(boxes.styles[0].icon, MessageBoxIcon::Error);
    // The conversion stands in memory all the same.
    EXPECT_EQ(ini.GetInt(":META", "Version", 0), 4);
    EXPECT_EQ(ini.GetText("Alpha", "ShowTargetsAboveCeiling1", ""), "0");
}

TEST_F(ProfileUpgradeTest, Format1AddsBuiltInColourProfilesOnlyWhereNoneOfThatNameExists) {
    PutIni("[Alpha]\nColorTracked=1\n[:CP:Park Air]\nColorTracked=42\n[:CP:default]\nColorTracked=43\n");
    TarqProfile profile(IniPath());
    CIniFile& ini = profile.GetIniFile();
    ASSERT_TRUE(ini.Read());
    profile.UpgradeIni(1);
    int parkAir = 0, defaults = 0, taaats = 0;
    for (int i = 0; i < ini.SectionCount(); ++i) {
        parkAir += ini.SectionName(i) == ":CP:Park Air";
        defaults += ini.FoldCase(ini.SectionName(i)) == ":cp:default";
        taaats += ini.SectionName(i) == ":CP:TAAATS";
    }
    EXPECT_EQ(parkAir, 1);
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(taaats, 1);
    EXPECT_EQ(ini.GetInt(":CP:Park Air", "ColorTracked", 0), 42);
    EXPECT_EQ(ini.GetInt(":CP:Park Air", "ColorBackground", -1), -1);
    EXPECT_EQ(ini.GetText("Alpha", "ColorProfile1", ""), "Imported 1");
}
