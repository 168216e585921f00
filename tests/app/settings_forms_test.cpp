// The settings dialogs' forms driven without windows: the general settings
// pages, and the profile import, export and merge on real INI files.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/general_settings_form.h"
#include "app/profile_transfer.h"
#include "foundation/ini_file.h"
#include "tests/foundation/profile_fixture.h"

namespace {

using namespace settings_pages;

class RecordingEffects : public TarqSettingsEffects {
public:
    bool LoadAliasFile(const std::string& path) override {
        calls.push_back("aliases " + path);
        return aliasLoads;
    }
    void LoadPositionFile() override { calls.push_back("pof"); }
    void RebuildDisplayLists(uint32_t mask) override { calls.push_back("lists " + std::to_string(mask)); }
    void RebuildControllerList() override { calls.push_back("controllers"); }
    void ApplyDisplaySettings() override { calls.push_back("displays"); }
    void RebuildAircraftList() override { calls.push_back("aircraft"); }
    void FitStripBay() override { calls.push_back("strips"); }
    void ShowError(const std::string& line) override { calls.push_back("error " + line); }
    std::vector<std::string> calls;
    bool aliasLoads = true;
};

class SettingsFormTest : public ProfileTest {
protected:
    void Open(const std::string& defaultSection) {
        PutIni("[:META]\nVersion=4\n[Default]\n" + defaultSection + "[:CP:Default]\n");
        profile = std::make_unique<TarqProfile>(IniPath());
        ASSERT_TRUE(profile->OpenIniFile());
        ASSERT_TRUE(profile->Load("Default"));
        profile->SetModified(false);
    }
    std::unique_ptr<TarqProfile> profile;
    RecordingEffects effects;
};

TEST_F(SettingsFormTest, AirspaceFieldsAndRangeRoundTrip) {
    Open("VisRange=303\nArrivalFields=KBOS\nTransLevel=18000\nRadarFloor=0\n");
    TarqGeneralSettingsForm form(*profile, effects);
    SettingsPageValues& page = form.Show(kAirspace);
    EXPECT_EQ(page.ints[1114], 60);
    EXPECT_EQ(TarqGeneralSettingsForm::RangeLabel(page.ints[1114]), "300 NM");
    EXPECT_EQ(page.texts[1159], "18000");
    page.texts[1188] = "kjfk,klga KEWR5";
    page.texts[1179] = "eddf, ,eddm";
    ASSERT_TRUE(form.Apply(nullptr));
    EXPECT_EQ(profile->GetListSetting("ArrivalFields"), (std::vector<std::string>{"KJFK", "KLGA", "KEWR"}));
    EXPECT_EQ(profile->GetListSetting("DepartureFields"), (std::vector<std::string>{"EDDF", "EDDM"}));
    EXPECT_EQ(profile->GetInt("VisRange"), 300);
    EXPECT_TRUE(profile->IsModified());
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"aircraft"}));

    TarqGeneralSettingsForm again(*profile, effects);
    EXPECT_EQ(again.Show(kAirspace).texts[1188], "KJFK,KLGA,KEWR");
}

TEST_F(SettingsFormTest, OnlyShownPagesAreApplied) {
    Open("VisRange=303\nVectorLength=7\nDispBtnClock=1\n");
    TarqGeneralSettingsForm form(*profile, effects);
    form.Show(kButtonBar).checks[1151] = false;
    ASSERT_TRUE(form.Apply(nullptr));
    EXPECT_FALSE(profile->GetBool("DispBtnClock"));
    EXPECT_EQ(profile->GetInt("VisRange"), 303) << "the Airspace page was never shown";
    EXPECT_TRUE(effects.calls.empty());
    EXPECT_TRUE(profile->IsModified()) << "an applied page marks the profile even unchanged";
}

TEST_F(SettingsFormTest, MiscellaneousReloadsOnlyWhatChanged) {
    Open("AliasFile=alias.txt\nPOFFile=zny.pof\nRingSpacing=5\nCenterlineLength=10\n");
    struct Case {
        const char* name;
        const char* alias;
        const char* pof;
        const char* rings;
        bool aliasLoads;
        std::vector<std::string> calls;
    } cases[] = {
        {"unchanged", "alias.txt", "zny.pof", "5", true, {"controllers", "displays"}},
        {"alias path", "other.txt", "zny.pof", "5", true, {"controllers", "displays", "aliases other.txt"}},
        {"alias fails",
         "gone.txt",
         "zny.pof",
         "5",
         false,
         {"controllers", "displays", "aliases gone.txt", "error Error loading alias file!"}},
        {"position file and rings",
         "alias.txt",
         "zbw.pof",
         "6",
         true,
         {"controllers", "displays", "pof", "lists 4"}},
    };
    for (const Case& c : cases) {
        profile->SetString("AliasFile", "alias.txt");
        profile->SetString("POFFile", "zny.pof");
        profile->SetInt("RingSpacing", 5);
        effects.calls.clear();
        effects.aliasLoads = c.aliasLoads;
        TarqGeneralSettingsForm form(*profile, effects);
        SettingsPageValues& page = form.Show(kMiscellaneous);
        page.texts[1127] = c.alias;
        page.texts[1129] = c.pof;
        page.texts[1149] = c.rings;
        ASSERT_TRUE(form.Apply(nullptr)) << c.name;
        EXPECT_EQ(effects.calls, c.calls) << c.name;
        EXPECT_EQ(profile->GetString("AliasFile"), c.alias) << c.name << ": the new path stays stored";
    }
}

TEST_F(SettingsFormTest, BadNumberIsNamedAndNothingIsStored) {
    Open("RingSpacing=5\nCAFloor=1000\nDispBtnClock=0\n");
    struct Case {
        int page;
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {kMiscellaneous, 1149, "abc", "\"Range Ring Spacing (NM)\" must be a whole number from 1 to 50."},
        {kMiscellaneous, 1149, "51", "\"Range Ring Spacing (NM)\" must be a whole number from 1 to 50."},
        {kMiscellaneous, 1149, "", "\"Range Ring Spacing (NM)\" must be a whole number from 1 to 50."},
        {kConflictAlerts, 1121, "-100", "\"Conflict Alert Floor\" must be a whole number from 0 to 99999."},
        {kConflictAlerts, 1121, "12x", "\"Conflict Alert Floor\" must be a whole number from 0 to 99999."},
        {kConflictAlerts, 1121, "99999999999",
         "\"Conflict Alert Floor\" must be a whole number from 0 to 99999."},
    };
    for (const Case& c : cases) {
        boxes.shown.clear();
        TarqGeneralSettingsForm form(*profile, effects);
        form.Show(kButtonBar).checks[1151] = true;
        form.Show(c.page).texts[c.id] = c.text;
        EXPECT_FALSE(form.Apply(nullptr)) << c.text;
        EXPECT_EQ(boxes.shown, (std::vector<std::string>{std::string("Error: ") + c.message})) << c.text;
        EXPECT_FALSE(profile->GetBool("DispBtnClock")) << c.text << ": no page was stored";
        EXPECT_EQ(profile->GetInt("RingSpacing"), 5);
        EXPECT_EQ(profile->GetInt("CAFloor"), 1000);
        EXPECT_FALSE(profile->IsModified());
    }
    TarqGeneralSettingsForm form(*profile, effects);
    form.Show(kConflictAlerts).texts[1121] = " 2500 ";
    EXPECT_TRUE(form.Apply(nullptr));
    EXPECT_EQ(profile->GetInt("CAFloor"), 2500);
}

TEST_F(SettingsFormTest, PagesKeepTheirOwnValuesUnderSharedIds) {
    // Id 1136 is the VFR codes text on Data Tags and the radar floor's arrows on Airspace.
    Open("VFRCodes=1200\nScratchpadPresets=VFR\nPushStripOnInitHandoff=1\nTimeBasedVector=0\n");
    TarqGeneralSettingsForm form(*profile, effects);
    for (const SettingsPage& page : GeneralSettingsPages()) form.Show(page.resourceId);
    SettingsPageValues& tags = form.Show(kDataTags);
    EXPECT_EQ(tags.texts[1136], "1200");
    EXPECT_TRUE(tags.checks[1162]);
    EXPECT_FALSE(tags.checks[1163]);
    tags.texts[1136] = "1200,7000 0033";
    tags.checks[1163] = true;
    tags.checks[1162] = false;
    form.Show(kAirspace).texts[1223] = "2500";
    SettingsPageValues& strips = form.Show(kFlightStrips);
    EXPECT_TRUE(strips.checks[1211]);
    strips.checks[1211] = false;
    strips.checks[1212] = true;
    ASSERT_TRUE(form.Apply(nullptr));
    EXPECT_EQ(profile->GetListSetting("VFRCodes"), (std::vector<std::string>{"1200", "7000", "0033"}));
    EXPECT_EQ(profile->GetInt("RadarFloor"), 2500);
    EXPECT_TRUE(profile->GetBool("TimeBasedVector"));
    EXPECT_FALSE(profile->GetBool("PushStripOnInitHandoff"));
    EXPECT_EQ(TarqGeneralSettingsForm::VectorLabel(true), "Vector Length (Min):");
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"controllers", "displays", "aircraft", "strips"}));
}

// --- import, export, merge ---------------------------------------------------

class TransferTest : public SettingsFormTest {
protected:
    void OpenWith(const std::string& ini) {
        PutIni(ini);
        profile = std::make_unique<TarqProfile>(IniPath());
        ASSERT_TRUE(profile->OpenIniFile());
    }
    std::string Other(const std::string& text) {
        std::string path = (m_dir / "other.ini").string();
        EXPECT_TRUE(WriteFileAtomically(path, Crlf(text)));
        return path;
    }
    CIniFile Disk() {
        CIniFile ini(IniPath());
        ini.Read();
        return ini;
    }
};

TEST_F(TransferTest, ImportCountsOnForAFreeName) {
    std::string taken;
    for (int n = 2; n <= 100; ++n) taken += "[Tower (" + std::to_string(n) + ")]\n";
    struct Case {
        const char* name;
        std::string existing;
        ProfileTransferKind kind;
        const char* importedAs;
    } cases[] = {
        {"one", "[tower]\n", ProfileTransferKind::Session, "Tower (2)"},
        {"two", "[tower]\n[Tower (2)]\n", ProfileTransferKind::Session, "Tower (3)"},
        {"past 100", "[Tower]\n" + taken, ProfileTransferKind::Session, "Tower (101)"},
        {"colour", "[:CP:Night]\n", ProfileTransferKind::Color, "Night (2)"},
    };
    const std::string source = Other("[Tower]\nCallsign=ABC_TWR\n[:CP:Night]\nColorBackground=5\n");
    for (const Case& c : cases) {
        OpenWith("[:META]\nVersion=4\n[Default]\n[:CP:Default]\n" + c.existing);
        const std::string name = c.kind == ProfileTransferKind::Color ? "Night" : "Tower";
        TarqProfileImport import(*profile, c.kind, source);
        ASSERT_TRUE(import.Accept({name}, nullptr)) << c.name;
        EXPECT_EQ(import.ImportedAs(), (std::vector<std::string>{c.importedAs})) << c.name;
        CIniFile disk = Disk();
        const std::string prefix = c.kind == ProfileTransferKind::Color ? ":CP:" : "";
        int sections = 0;
        for (int i = 0; i < disk.SectionCount(); ++i)
            sections += disk.SectionName(i) == prefix + c.importedAs;
        EXPECT_EQ(sections, 1) << c.name;
        EXPECT_EQ(import.Status(), "Import complete.");
        if (c.kind == ProfileTransferKind::Color)
            EXPECT_TRUE(profile->HasColorProfile(c.importedAs)) << c.name;
        else
            EXPECT_TRUE(profile->ProfileExists(c.importedAs)) << c.name;
    }
}

TEST_F(TransferTest, ImportDropsObsoleteKeysAndKeepsToThirtyColourProfiles) {
    OpenWith("[:META]\nVersion=4\n[Default]\n[:CP:Default]\n");
    const std::string source =
        Other("[Old]\nCallsign=OLD_CTR\nColorAirport=255\nAutoAddStrips=1\nAirspaceFloor=3\n");
    TarqProfileImport import(*profile, ProfileTransferKind::Session, source);
    ASSERT_TRUE(import.Accept({"Old"}, nullptr));
    CIniFile disk = Disk();
    const int old = disk.FindSection("Old");
    ASSERT_GE(old, 0);
    EXPECT_EQ(disk.EntryCount("Old"), 1);
    EXPECT_EQ(disk.GetText("Old", "Callsign", ""), "OLD_CTR");
    EXPECT_EQ(boxes.shown.back(), "Import Complete: The selected profiles have been imported.");

    std::string colours = "[:META]\nVersion=4\n[Default]\n";
    for (int i = 0; i < 29; ++i) colours += "[:CP:P" + std::to_string(i) + "]\n";
    OpenWith(colours);
    const std::string two = Other("[:CP:A]\n[:CP:B]\n");
    boxes.shown.clear();
    TarqProfileImport tooMany(*profile, ProfileTransferKind::Color, two);
    EXPECT_TRUE(tooMany.Accept({"A", "B"}, nullptr));
    EXPECT_EQ(boxes.shown,
              (std::vector<std::string>{"Error: You have reached the maximum number of color profiles."}));
    EXPECT_LT(Disk().FindSection(":CP:A"), 0) << "nothing imported";
    TarqProfileImport one(*profile, ProfileTransferKind::Color, two);
    EXPECT_TRUE(one.Accept({"A"}, nullptr));
    EXPECT_GE(Disk().FindSection(":CP:A"), 0);

    boxes.shown.clear();
    EXPECT_FALSE(one.Accept({}, nullptr));
    EXPECT_EQ(boxes.shown,
              (std::vector<std::string>{"Error: You must select at least one session profile to import."}));
}

TEST_F(TransferTest, FailedWritesAreReportedNotCompleted) {
    const std::string source = Other("[Tower]\nCallsign=ABC_TWR\n");
    profile = std::make_unique<TarqProfile>((m_dir / "missing" / "Tarq.ini").string());
    TarqProfileImport import(*profile, ProfileTransferKind::Session, source);
    EXPECT_TRUE(import.Accept({"Tower"}, nullptr));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: Could not write ", 0), 0u) << boxes.shown[0];
    EXPECT_EQ(import.Status(), "Import failed.");

    boxes.shown.clear();
    TarqProfileMerge merge(*profile, source);
    EXPECT_TRUE(merge.Accept("Tower", "Tower", {1117}, nullptr));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: Could not write ", 0), 0u) << boxes.shown[0];
    EXPECT_EQ(merge.Status(), "Merge failed.");

    // The export file's place is taken by a directory.
    OpenWith("[:META]\nVersion=4\n[Default]\n[Tower]\n");
    std::filesystem::create_directories(m_dir / "busy.ini" / "inside");
    boxes.shown.clear();
    TarqProfileExport exporter(*profile, ProfileTransferKind::Session);
    EXPECT_TRUE(exporter.Accept({"Tower"}, "busy", nullptr));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: Could not write ", 0), 0u) << boxes.shown[0];
    EXPECT_EQ(exporter.Status(), "Export failed.");
}

TEST_F(TransferTest, ExportLeavesPersonalValuesAndColourProfilesBehind) {
    OpenWith(
        "[:META]\nVersion=4\n[Default]\nCID=1\n[Tower]\nCID=1234567\nPassword=secret\nRealName=Me\nCallsign="
        "A_TWR\n"
        "AudioInputDevice=Mic\nDisplayCount=3\nColorProfile1=Night\nColorProfile2=Day\n[Other]\n[:CP:Night]"
        "\n");
    TarqProfileExport exporter(*profile, ProfileTransferKind::Session);
    EXPECT_EQ(exporter.ListNames(), (std::vector<std::string>{"Other", "Tower"}));
    ASSERT_TRUE(exporter.Accept({"Tower"}, "my.profile", nullptr));
    EXPECT_EQ(exporter.ExportPath(), (m_dir / "my.profile.ini").string());
    CIniFile out(exporter.ExportPath());
    ASSERT_TRUE(out.Read());
    ASSERT_EQ(out.SectionCount(), 1);
    EXPECT_EQ(out.SectionName(0), "Tower");
    for (const std::string& key : TarqProfileExport::PersonalKeys())
        EXPECT_LT(out.FindEntry(0, key), 0) << key;
    EXPECT_EQ(out.GetText("Tower", "Callsign", ""), "A_TWR");
    for (const char* key : {"ColorProfile1", "ColorProfile2", "ColorProfile3"})
        EXPECT_EQ(out.GetText("Tower", key, ""), "Default") << key;
    EXPECT_EQ(Disk().GetText("Tower", "CID", ""), "1234567") << "the program's own file is untouched";

    TarqProfileExport colours(*profile, ProfileTransferKind::Color);
    ASSERT_TRUE(colours.Accept({"Night"}, "night", nullptr));
    CIniFile night(colours.ExportPath());
    ASSERT_TRUE(night.Read());
    ASSERT_EQ(night.SectionCount(), 1);
    EXPECT_EQ(night.SectionName(0), ":CP:Night");
}

TEST_F(TransferTest, ExportNamesAreChecked) {
    const std::string invalid =
        "Invalid export file name. It must consist of only letters, numbers, underscores and periods. "
        "Maximum "
        "length is 128 characters.";
    const std::string standard =
        "Invalid export file name. You cannot overwrite the standard INI file. Please choose another name.";
    struct Case {
        std::string name;
        std::string refusal;
    } cases[] = {
        {"my.profile", ""},       {"tower_2", ""},    {"with blank", invalid},
        {"with-hyphen", invalid}, {"", invalid},      {std::string(128, 'a'), invalid},
        {"TARQ", standard},       {"tarq", standard},
    };
    for (const Case& c : cases) {
        const char* refusal = TarqProfileExport::CheckFileName(c.name, "Tarq.ini");
        EXPECT_EQ(refusal ? std::string(refusal) : std::string(), c.refusal) << c.name;
    }
}

TEST_F(TransferTest, MergeChangesExactlyTheGroupsKeys) {
    OpenWith(
        "[:META]\nVersion=4\n[Default]\n[A]\nSoundConnect=a.wav\nSoundError=err.wav\nUseSounds=1\nPTTKey=17\n"
        "[B]\nSoundConnect=b.wav\nSoundPointout=keep.wav\nUseSounds=0\nPTTKey=20\nCallsign=B_APP\n");
    int soundKeys = 0;
    for (const MergeGroup& group : TarqProfileMerge::Groups()) {
        if (group.id == 1117) soundKeys = static_cast<int>(group.keys.size());
    }
    EXPECT_EQ(soundKeys, 16);
    size_t all = 0;
    for (const MergeGroup& group : TarqProfileMerge::Groups()) all += group.keys.size();
    EXPECT_EQ(all, 141u);

    TarqProfileMerge merge(*profile, IniPath());
    EXPECT_EQ(merge.SourceNames(), (std::vector<std::string>{"A", "B"}));
    const CIniFile before = Disk();
    ASSERT_TRUE(merge.Accept("A", "B", {1117}, nullptr));
    EXPECT_EQ(merge.Status(), "Merge complete.");
    CIniFile after = Disk();
    EXPECT_EQ(after.GetText("B", "SoundConnect", ""), "a.wav");
    EXPECT_EQ(after.GetText("B", "SoundError", ""), "err.wav");
    EXPECT_EQ(after.GetText("B", "SoundPointout", ""), "keep.wav") << "A never saved it";
    EXPECT_EQ(after.GetText("B", "UseSounds", ""), "0");
    EXPECT_EQ(after.GetText("B", "PTTKey", ""), "20");
    EXPECT_EQ(after.EntryCount("B"), before.EntryCount("B") + 1) << "only SoundError was added";
    EXPECT_EQ(after.ToText().find("SoundChatMsg"), std::string::npos) << "no key made up empty";
    EXPECT_EQ(boxes.shown.back(), "Merge Complete: Profile merge complete.");
}

TEST_F(TransferTest, MergeRefusalsInOrder) {
    OpenWith("[:META]\nVersion=4\n[Default]\n[A]\n[B]\n");
    TarqProfileMerge merge(*profile, IniPath());
    EXPECT_FALSE(merge.Accept("", "", {}, nullptr));
    EXPECT_FALSE(merge.Accept("A", "", {}, nullptr));
    EXPECT_FALSE(merge.Accept("A", "B", {}, nullptr));
    EXPECT_EQ(boxes.shown,
              (std::vector<std::string>{"Error: You must select a profile to merge settings from.",
                                        "Error: You must select a profile to merge the settings into.",
                                        "Error: You must select at least one section to merge."}));
}

}  // namespace
