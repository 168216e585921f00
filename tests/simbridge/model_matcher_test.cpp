// Tests of the model data text helpers and the model tables: every loader
// rule of the five files on the fixture folder data/model_data.
#include "simbridge/model_matcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "simbridge/model_data_text.h"
#include "tests/temp_dir.h"

namespace {

const std::string kFolder = TARQ_TEST_DATA_DIR "/model_data";

struct RecordingTableCallback : AircraftDBReadCallback {
    std::vector<std::string> progress;
    std::vector<std::pair<std::string, bool>> errors;
    void Progress(const std::string& text) override { progress.push_back(text); }
    bool Error(const std::string& text, bool fatal) override {
        errors.emplace_back(text, fatal);
        return false;  // the loaders must not care
    }
};

TEST(ModelDataText, TrimCommentAndSplit) {
    struct Row {
        const char* input;
        const char* stripped;
        std::vector<std::string> fields;
    };
    const Row rows[] = {
        {"  XAL  Example Air ; note", "XAL  Example Air", {"XAL", "Example", "Air"}},
        {"\t \t", "", {}},
        {"; all comment", "", {}},
        {"A;B;C", "A", {"A"}},
        {" \tone\t\ttwo  ", "one\t\ttwo", {"one", "two"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        std::string text = row.input;
        StripComment(text);
        EXPECT_EQ(text, row.stripped);
        std::vector<std::string> fields{"stale"};
        EXPECT_EQ(SplitFields(text, fields, " \t"), static_cast<int>(row.fields.size()));
        EXPECT_EQ(fields, row.fields);
    }
    std::vector<std::string> fields;
    EXPECT_EQ(SplitFields("XA1,,Maker,", fields, ","), 2) << "a doubled comma separates like one";
}

TEST(ModelDataText, ReadLineDropsCarriageReturnAndKeepsLastLine) {
    std::istringstream in("one\r\ntwo");
    std::string line;
    ASSERT_TRUE(ReadLine(in, line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(ReadLine(in, line));
    EXPECT_EQ(line, "two");
    EXPECT_TRUE(in.eof());
}

TEST(ModelDataText, FileNamesMatchWithoutCase) {
    EXPECT_EQ(FindFileNoCase(kFolder, "equipment.txt"), kFolder + "/Equipment.TXT");
    EXPECT_EQ(FindFileNoCase(kFolder, "missing.txt"), "");
    std::vector<std::string> names;
    ASSERT_TRUE(ListFilesWithExtension(kFolder, ".sms", names));
    EXPECT_EQ(names, (std::vector<std::string>{"example.SMS", "second.sms"}));
    EXPECT_FALSE(ListFilesWithExtension(kFolder + "/nowhere", ".sms", names));
}

class ModelTables : public ::testing::Test {
protected:
    void SetUp() override { loaded = tables.LoadTables(kFolder, &callback); }
    ModelMatcher tables;
    RecordingTableCallback callback;
    bool loaded = false;
};

TEST_F(ModelTables, RelatedGroupsAreFirstLineNumbers) {
    ASSERT_TRUE(loaded);
    const std::pair<const char*, int> rows[] = {
        {"XA1", 3}, {"XA2", 3}, {"XA3", 3}, {"XB7", 4}, {"XH5", 5}, {"XP2", -1}, {"xa1", -1}};
    for (const auto& [type, group] : rows) {
        SCOPED_TRACE(type);
        EXPECT_EQ(tables.GetRelatedGroup(type), group);
    }
}

TEST_F(ModelTables, EquipmentClassesDescriptionsAndRejectedLines) {
    const std::pair<const char*, int32_t> classes[] = {
        {"XA1", kModelClassJet},    {"XA3", kModelClassOther},   {"XH5", kModelClassRotor},
        {"XG1", kModelClassRotor},  {"XP2", kModelClassOther},   {"xa1", kModelClassOther},
        {"XF6", kModelClassJet},    {"XQ9", kModelClassJet},     {"XZ", kModelClassUnknown},
        {"XLONG", kModelClassUnknown}, {"XE1", kModelClassUnknown}, {"XNONE", kModelClassUnknown},
    };
    for (const auto& [type, modelClass] : classes) {
        SCOPED_TRACE(type);
        EXPECT_EQ(tables.GetModelClass(type), modelClass);
    }
    EXPECT_EQ(tables.GetTypeDescription("XA1"), "Maker Alpha 100") << "the first of two lines";
    EXPECT_EQ(tables.GetTypeDescription("XQ9"), "Maker Last line") << "a last line without line feed";
    EXPECT_EQ(tables.GetTypeDescription("XZ"), "");
}

TEST_F(ModelTables, AirlinesKeepFirstNameAndLiveriesTheirOwnKeys) {
    EXPECT_EQ(tables.GetAirlineName("XAL"), "Example Air Lines");
    EXPECT_EQ(tables.GetAirlineName("XBB"), " Double Blank Air");
    EXPECT_EQ(tables.GetAirlineName("XCC"), "Carrier C");
    EXPECT_EQ(tables.GetAirlineName("XFI"), "Fictional Air");
    EXPECT_EQ(tables.GetAirlineName("BAD"), "");
    EXPECT_EQ(tables.GetAirlineName(""), "");
    EXPECT_EQ(tables.GetLiveryText("C2", "XAL"), "Centenary colours 2");
    EXPECT_EQ(tables.GetLiveryText("LC2", "XA"), "Shares no key");
    EXPECT_EQ(tables.GetLiveryText("D4", "XAL"), "Dark");
    EXPECT_EQ(tables.GetLiveryText("E5", "XBB"), "");
    EXPECT_EQ(tables.GetLiveryText("F6", "XCC"), "Foxtrot");
    EXPECT_EQ(tables.GetLiveryText("C2", "XBB"), "");
}

TEST_F(ModelTables, MalformedLinesAreReportedWithFileAndLineAndTheRestLoads) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Equipment.TXT", ": line 10: "}, {"Equipment.TXT", ": line 11: "}, {"Equipment.TXT", ": line 12: "},
        {"Equipment.TXT", ": line 13: "}, {"airlines.txt", ": line 5: "},   {"liveries.txt", ": line 6: "},
    };
    ASSERT_EQ(callback.errors.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(callback.errors[i].first);
        EXPECT_NE(callback.errors[i].first.find(expected[i].first + expected[i].second), std::string::npos);
        EXPECT_FALSE(callback.errors[i].second);
    }
    EXPECT_EQ(callback.progress.size(), 5u);
}

TEST(ModelTablesMissing, AMissingFileEndsTheLoadAndKeepsWhatWasRead) {
    namespace fs = std::filesystem;
    struct Row {
        const char* missing;
        bool reported;
        const char* airline;  // XAL's name afterwards
    };
    const Row rows[] = {{"related.txt", false, ""},
                        {"airlines.txt", true, ""},
                        {"fictional.txt", true, "Example Air Lines"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.missing);
        TempDir dir;
        for (const auto& entry : fs::directory_iterator(kFolder))
            if (entry.path().filename() != row.missing) fs::copy(entry.path(), dir.Path());
        ModelMatcher tables;
        RecordingTableCallback callback;
        EXPECT_FALSE(tables.LoadTables(dir.Path(), &callback));
        EXPECT_EQ(tables.GetAirlineName("XAL"), row.airline);
        EXPECT_EQ(tables.GetLiveryText("C2", "XAL"), "");
        ASSERT_EQ(callback.errors.size() > 4, row.reported);
        if (row.reported) {
            EXPECT_TRUE(callback.errors.back().second) << "a missing file is fatal";
            EXPECT_NE(callback.errors.back().first.find(row.missing), std::string::npos);
            EXPECT_EQ(tables.GetModelClass("XA1"), kModelClassJet) << "equipment read before stays";
        }
    }
}

}  // namespace
