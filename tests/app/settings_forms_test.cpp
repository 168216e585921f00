// The settings dialogs' forms driven without windows: the general settings
// pages, and the profile import, export and merge on real INI files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/audio_settings_form.h"
#include "app/color_profiles_form.h"
#include "app/filters_form.h"
#include "app/general_settings_form.h"
#include "app/profile_transfer.h"
#include "app/sounds_form.h"
#include "foundation/ini_file.h"
#include "foundation/text_helpers.h"
#include "scope/display_scope.h"
#include "tests/foundation/profile_fixture.h"
#include "tests/scope/fake_scope_host.h"

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
    void ApplyBackgroundColor(const std::string& name) override { calls.push_back("background " + name); }
    void ShowError(const std::string& line) override { calls.push_back("error " + line); }
    void ClearPushToTalkByMessage() override { calls.push_back("ptt by key"); }
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

// --- colour profiles ----------------------------------------------------------

TEST_F(SettingsFormTest, ColourProfilesListLimitsAndRefusals) {
    Open("");
    TarqColorProfilesForm form(*profile);
    EXPECT_EQ(form.Add(nullptr), "New Color Profile");
    EXPECT_EQ(form.Add(nullptr), "New Color Profile (2)");
    EXPECT_EQ(form.Copy("Default", nullptr), "Copy of Default");
    EXPECT_TRUE(boxes.shown.empty());

    EXPECT_EQ(form.Copy("", nullptr), "");
    EXPECT_FALSE(form.CanModify("", nullptr));
    EXPECT_FALSE(form.Delete("", nullptr));
    EXPECT_FALSE(form.Delete("Default", nullptr));
    boxes.answers = {MessageBoxResult::No, MessageBoxResult::Yes};
    EXPECT_FALSE(form.Delete("Copy of Default", nullptr));
    EXPECT_TRUE(form.Delete("Copy of Default", nullptr));
    EXPECT_EQ(boxes.shown[0], "Error: You must first select a color profile to copy.");
    EXPECT_EQ(boxes.shown[1], "Error: You must first select a color profile to modify.");
    EXPECT_EQ(boxes.shown[2], "Error: You must first select a color profile to delete.");
    EXPECT_EQ(boxes.shown[3], "Error: The default color profile cannot be deleted.");
    EXPECT_EQ(boxes.styles[3].icon, MessageBoxIcon::Warning);
    EXPECT_EQ(boxes.shown[4].rfind("Confirm Delete: Are you sure", 0), 0u);
    EXPECT_EQ(boxes.styles[4].defaultButton, 1) << "No is the default";
    EXPECT_EQ(form.Names(),
              (std::vector<std::string>{"Default", "New Color Profile", "New Color Profile (2)"}));

    while (form.Names().size() < 30) form.Add(nullptr);
    boxes.shown.clear();
    EXPECT_EQ(form.Add(nullptr), "");
    EXPECT_EQ(form.Copy("", nullptr), "") << "the limit comes before the selection";
    EXPECT_EQ(boxes.shown,
              (std::vector<std::string>(2, "Error: You have reached the maximum number of color profiles.")));
    EXPECT_EQ(form.Names().size(), 30u);
}

TEST_F(SettingsFormTest, ColourProfileEditorRenames) {
    Open("");
    const std::string invalid =
        "Error: Invalid profile name. It must consist of only letters, numbers, underscores and spaces. "
        "Maximum "
        "length is 64 characters.";
    const std::string taken = "Error: A color profile already exists with the name you entered.";
    TarqColorProfilesForm list(*profile);
    const std::string made = list.Add(nullptr);
    TarqColorProfileEditorForm editor(*profile, made);
    EXPECT_TRUE(editor.SelectNameAtStart());
    EXPECT_FALSE(editor.NameReadOnly());
    EXPECT_TRUE(TarqColorProfileEditorForm(*profile, "Default").NameReadOnly());
    struct Case {
        std::string name;
        std::string refusal;
    } cases[] = {{std::string(65, 'a'), invalid}, {"with-dash", invalid}, {"", invalid}, {"Default", taken},
                  {"DEFAULT", taken}, {"default", taken}};
    for (const Case& c : cases) {
        boxes.shown.clear();
        EXPECT_FALSE(editor.Accept(c.name, nullptr)) << c.name;
        EXPECT_EQ(boxes.shown, (std::vector<std::string>{c.refusal})) << c.name;
    }
    boxes.shown.clear();
    EXPECT_TRUE(editor.Accept(made, nullptr)) << "its own name closes without a check";
    EXPECT_TRUE(editor.Accept(ToUpper(made), nullptr)) << "its own name in another case is a rename";
    EXPECT_TRUE(profile->HasColorProfile(ToUpper(made)));
    EXPECT_TRUE(editor.Accept("Night Shift", nullptr));
    EXPECT_EQ(editor.Name(), "Night Shift");
    EXPECT_TRUE(profile->HasColorProfile("Night Shift"));
    EXPECT_FALSE(profile->HasColorProfile(made));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsFormTest, ChosenColourRebuildsWhatItsItemNeeds) {
    Open("");
    struct Case {
        int id;
        bool strip;
        std::vector<std::string> calls;
    } cases[] = {
        {1128, false, {"lists 4294967295"}},  // SIDs: every list
        {1114, false, {"lists 4"}},
        {1137, false, {}},  // Selected: read when drawing
        {1113, false, {"background Default"}},
        {1146, true, {"strips"}},  // the strip page's Arrivals, not the editor's 1146
    };
    for (const Case& c : cases) {
        effects.calls.clear();
        profile->SetModified(false);
        const ColorItem* item = FindColorItem(c.id, c.strip);
        ASSERT_NE(item, nullptr) << c.id;
        StoreItemColor(*profile, effects, "Default", *item, 0x0000FF);
        EXPECT_EQ(effects.calls, c.calls) << c.id;
        EXPECT_EQ(ItemColor(*profile, "Default", *item), 0x0000FF) << c.id;
        EXPECT_TRUE(profile->IsModified());
    }
    EXPECT_EQ(profile->GetInt("ColorStripArrivals"), 0x0000FF);
}

// --- filters, sounds, audio ----------------------------------------------------

TEST_F(SettingsFormTest, FiltersKeepTagBoxesBehindTheirSymbolBoxes) {
    Open("");
    FakeScopeHost host;
    TarqDisplayScope scope(host, TarqDisplaySettings{}, nullptr);
    scope.SetShowTargetsAboveCeiling(true);
    scope.SetShowTagsAboveCeiling(true);
    scope.SetShowTagsBelowFloor(true);  // shown disabled while its symbol box is off
    TarqFiltersForm form(scope, profile.get());
    EXPECT_TRUE(form.Ok(nullptr));
    EXPECT_FALSE(profile->IsModified()) << "OK at once stores nothing";
    EXPECT_TRUE(form.boxes.tagsBelow);
    EXPECT_FALSE(form.TagsBelowEnabled());

    form.boxes.symbolsAbove = false;
    form.OnBoxClicked();
    EXPECT_FALSE(form.TagsAboveEnabled());
    EXPECT_FALSE(form.boxes.tagsAbove);
    form.boxes.symbolsAbove = true;
    form.OnBoxClicked();
    EXPECT_TRUE(form.TagsAboveEnabled());
    EXPECT_FALSE(form.boxes.tagsAbove) << "enabled again, still unchecked";

    form.floor = "5000";
    form.ceiling = "3000";
    form.OnNumberEdited();
    ASSERT_TRUE(form.Ok(nullptr));
    EXPECT_EQ(scope.GetAirspaceFloor(), 5000);
    EXPECT_EQ(scope.GetAirspaceCeiling(), 3000);
    EXPECT_FALSE(scope.GetShowTagsBelowFloor());
    EXPECT_TRUE(profile->IsModified());
    EXPECT_FALSE(form.IsChanged());

    profile->SetModified(false);
    form.ceiling = "100000";
    form.OnNumberEdited();
    EXPECT_FALSE(form.Apply(nullptr));
    EXPECT_EQ(boxes.shown.back(), "Error: \"Airspace Ceiling\" must be a whole number from 0 to 99999.");
    EXPECT_EQ(scope.GetAirspaceCeiling(), 3000);
    EXPECT_FALSE(profile->IsModified());
}

TEST_F(SettingsFormTest, SoundsWorkOnTheirOwnListUntilOk) {
    Open("SoundConnect=connect.wav\nSoundError=error.wav\nUseSounds=0\n");
    {
        TarqSoundsForm form(*profile);
        EXPECT_EQ(form.Field(), "connect.wav");
        EXPECT_TRUE(form.PlayAndClearEnabled());
        form.Select(2);
        EXPECT_EQ(form.Field(), "");
        EXPECT_FALSE(form.PlayAndClearEnabled()) << "a profile without the key gives an empty field";
        form.Choose("/sounds/handoff.wav");
        form.Select(14);
        form.Clear();
        EXPECT_TRUE(form.PlayAndClearEnabled()) << "kept until the next selection";
        form.Select(2);
        EXPECT_EQ(form.Field(), "/sounds/handoff.wav");
        form.soundsActive = true;
        // Cancel: nothing stored, the working list keeps the edits.
    }
    EXPECT_EQ(profile->GetString("SoundError"), "error.wav");
    EXPECT_EQ(TarqSoundsForm::WorkingList()[2], "/sounds/handoff.wav");
    EXPECT_FALSE(profile->IsModified());

    TarqSoundsForm form(*profile);
    EXPECT_EQ(TarqSoundsForm::WorkingList()[2], "") << "each opening starts from the profile";
    form.Select(14);
    form.Clear();
    form.soundsActive = true;
    form.Ok();
    EXPECT_EQ(profile->GetString("SoundError"), "");
    EXPECT_EQ(profile->GetString("SoundConnect"), "connect.wav");
    EXPECT_TRUE(profile->GetBool("UseSounds"));
    EXPECT_TRUE(profile->IsModified());
    EXPECT_EQ(SoundEvents().size(), 16u);
}

class RecordingVoice : public TarqVoiceSettings {
public:
    AudioDeviceLists GetDeviceLists() override { return {{"Mic A", "Mic B"}, {"Out A", "Out B"}, 0, 1, 0}; }
    void SetInputDevice(int i) override { calls.push_back("input " + std::to_string(i)); }
    void SetHeadsetDevice(int i) override { calls.push_back("headset " + std::to_string(i)); }
    void SetSpeakerDevice(int i) override { calls.push_back("speaker " + std::to_string(i)); }
    void SetHeadsetVolume(int v) override { calls.push_back("headset volume " + std::to_string(v)); }
    void SetSpeakerVolume(int v) override { calls.push_back("speaker volume " + std::to_string(v)); }
    void SetVhfSimulation(bool h, bool s) override {
        calls.push_back(std::string("vhf ") + (h ? "1" : "0") + (s ? "1" : "0"));
    }
    void StartNoiseMeasurement() override { calls.push_back("noise start"); }
    void EndNoiseMeasurement() override { calls.push_back("noise end"); }
    void StartLevelMeasurement() override { calls.push_back("level start"); }
    int EndLevelMeasurement() override {
        calls.push_back("level end");
        return flags;
    }
    void StartMicTestRecording() override { calls.push_back("record"); }
    void StopMicTestRecording() override { calls.push_back("record stop"); }
    void StartMicTestPlayback() override { calls.push_back("play"); }
    void StopMicTestPlayback() override { calls.push_back("play stop"); }
    float GetInputSquelch() override { return 0.25f; }
    std::vector<std::string> calls;
    int flags = 0;
};

TEST_F(SettingsFormTest, AudioDevicesApplyInOrderOnlyWhenChanged) {
    Open("OutputVolumeHDST=80\nOutputVolumeSPKR=120\nVHFSimHeadset=1\n");
    RecordingVoice voice;
    TarqAudioDevicesForm form(*profile, voice);
    EXPECT_EQ(form.headsetVolume, 80);
    EXPECT_EQ(TarqAudioDevicesForm::VolumeLabel(form.speakerVolume), "120%");
    form.Ok();
    EXPECT_TRUE(voice.calls.empty());
    EXPECT_FALSE(profile->IsModified());

    form.lists.input = 1;
    form.speakerVolume = 150;
    form.vhfSpeaker = true;
    form.OnChanged();
    form.Apply();
    EXPECT_EQ(voice.calls, (std::vector<std::string>{"input 1", "headset 1", "speaker 0", "headset volume 80",
                                                     "speaker volume 150", "vhf 11"}));
    EXPECT_EQ(profile->GetString("AudioInputDevice"), "Mic B");
    EXPECT_EQ(profile->GetString("AudioOutputHeadsetDevice"), "Out B");
    EXPECT_EQ(profile->GetInt("OutputVolumeSPKR"), 150);
    EXPECT_TRUE(profile->IsModified());
    voice.calls.clear();
    form.Ok();
    EXPECT_TRUE(voice.calls.empty()) << "already applied";
}

class RecordingCalibrationHost : public TarqCalibrationHost {
public:
    WindowHandle Owner() override { return nullptr; }
    void StartTimer(int ms) override { calls.push_back("timer " + std::to_string(ms)); }
    void StopTimer() override { calls.push_back("timer stop"); }
    void SetMenuEnabled(bool on) override { calls.push_back(on ? "menu on" : "menu off"); }
    std::vector<std::string> calls;
};

TEST_F(SettingsFormTest, CalibrationVerdicts) {
    struct Case {
        int flags;
        const char* verdict;
    } cases[] = {
        {0, "Your microphone level is set correctly."},
        {1, "Your background noise is too loud. "},
        {2, "Your background noise is too loud. "},
        {5, "Your background noise is too loud. Your microphone level is too high. "},
        {8, "Your microphone level is too low."},
        {12, "Your microphone level is too high. Your microphone level is too low."},
    };
    for (const Case& c : cases) EXPECT_EQ(TarqMicCalibration::Verdict(c.flags), c.verdict) << c.flags;
}

TEST_F(SettingsFormTest, CalibrationStepsAndReset) {
    Open("");
    RecordingVoice voice;
    RecordingCalibrationHost host;
    TarqMicCalibration calibration;
    boxes.answers = {MessageBoxResult::Cancel};
    calibration.Start(host, voice, *profile);
    EXPECT_FALSE(calibration.IsRunning());
    EXPECT_TRUE(host.calls.empty()) << "declined: menu and engine untouched";
    EXPECT_TRUE(voice.calls.empty());

    voice.flags = 4;
    calibration.Start(host, voice, *profile);
    EXPECT_EQ(calibration.GetStep(), TarqMicCalibration::kNoise);
    calibration.OnTimer();
    EXPECT_EQ(calibration.GetStep(), TarqMicCalibration::kLevel);
    calibration.OnTimer();
    EXPECT_EQ(calibration.GetStep(), TarqMicCalibration::kPlayback);
    EXPECT_FLOAT_EQ(profile->GetFloat("InputSquelch"), 0.25f);
    EXPECT_TRUE(profile->IsModified()) << "stored although the level is wrong";
    EXPECT_EQ(boxes.styles.back().icon, MessageBoxIcon::Error);
    EXPECT_EQ(boxes.shown.back(),
              "Results: Your microphone level is too high. \r\n\r\nPress OK to hear a playback of your "
              "recording.\r\n\r\nSquelch level: 0.250000");
    calibration.OnTimer();
    EXPECT_FALSE(calibration.IsRunning());
    EXPECT_EQ(boxes.shown.back(), "Finished: Microphone calibration is complete.");
    calibration.OnTimer();  // idle: nothing
    EXPECT_EQ(voice.calls, (std::vector<std::string>{"noise start", "noise end", "level start", "record",
                                                     "record stop", "level end", "play", "play stop"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"menu off", "timer 5000", "timer stop", "timer 5000",
                                                    "timer stop", "timer 5000", "timer stop", "menu on"}));

    // The session closes in the middle of the speech step.
    voice.calls.clear();
    host.calls.clear();
    calibration.Start(host, voice, *profile);
    calibration.OnTimer();
    calibration.Reset();
    EXPECT_FALSE(calibration.IsRunning());
    EXPECT_EQ(voice.calls.back(), "level end");
    EXPECT_EQ(host.calls.back(), "menu on");
    host.calls.clear();
    calibration.OnTimer();
    EXPECT_TRUE(host.calls.empty()) << "a late timer does nothing";
    calibration.Start(host, voice, *profile);
    EXPECT_EQ(calibration.GetStep(), TarqMicCalibration::kNoise) << "the next session starts afresh";
}

// --- layouts -------------------------------------------------------------------

// The part of the layout file from the object named `name` to the next
// object of the same class level (a page up to the next page).
std::string LayoutPart(const std::string& xrc, const std::string& name, const std::string& next) {
    const size_t from = xrc.find("name=\"" + name + "\"");
    if (from == std::string::npos) return {};
    const size_t to = next.empty() ? std::string::npos : xrc.find("name=\"" + next + "\"", from);
    return xrc.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

TEST(SettingsLayouts, EveryFormControlIsLaidOutOnItsOwnPage) {
    std::ifstream file(std::string(TARQ_RESOURCES_DIR) + "/settings_dialogs.xrc");
    std::stringstream text;
    text << file.rdbuf();
    const std::string xrc = text.str();
    ASSERT_FALSE(xrc.empty());
    const std::vector<SettingsPage>& pages = GeneralSettingsPages();
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string next =
            i + 1 < pages.size() ? "page" + std::to_string(pages[i + 1].resourceId) : "ColorProfiles";
        const std::string page = LayoutPart(xrc, "page" + std::to_string(pages[i].resourceId), next);
        ASSERT_FALSE(page.empty()) << pages[i].caption;
        for (const SettingsControl& control : pages[i].controls) {
            const std::string name = "name=\"c" + std::to_string(control.id) + "\"";
            const size_t at = page.find(name);
            EXPECT_NE(at, std::string::npos) << pages[i].caption << " " << control.id;
            EXPECT_EQ(page.find(name, at + 1), std::string::npos)
                << pages[i].caption << " " << control.id << " twice";
            if (control.kind == SettingsControlKind::Number) {
                EXPECT_NE(page.find("name=\"c" + std::to_string(control.id) + "_arrows\""), std::string::npos)
                    << control.id;
            }
        }
    }
    const std::string editor = LayoutPart(xrc, "ColorProfileEditor", "Filters");
    for (const ColorItem& item : ColorItems()) {
        if (item.rebuild == ColorRebuild::StripBay) continue;
        const std::string name = "name=\"c" + std::to_string(item.id) + "\"";
        const size_t at = editor.find(name);
        EXPECT_NE(at, std::string::npos) << item.label;
        EXPECT_EQ(editor.find(name, at + 1), std::string::npos) << item.label << " twice";
    }
    const std::string merge = LayoutPart(xrc, "MergeProfiles", "");
    for (const MergeGroup& group : TarqProfileMerge::Groups())
        EXPECT_NE(merge.find("name=\"c" + std::to_string(group.id) + "\""), std::string::npos) << group.label;
}

}  // namespace
