// Tests of the model sets: the loader's rules, the score table, the search
// order, the visiting order of the sets and the tie-break.
#include "simbridge/model_set.h"

#include <gtest/gtest.h>

#include "simbridge/model_matcher.h"
#include "tests/temp_dir.h"

namespace {

const std::string kFolder = TARQ_TEST_DATA_DIR "/model_data";

// Groups of the fixture's related table: XA1, XA2, XA3 are 3; XB7 is 4.
ModelIdentifier Entry(const char* type, const char* airline = "", const char* livery = "") {
    int32_t group = -1;
    const std::string t = type;
    if (t == "XA1" || t == "XA2" || t == "XA3") group = 3;
    if (t == "XB7") group = 4;
    return ModelIdentifier(type, airline, livery, group);
}

TEST(ModelIdentifier, ScoreTable) {
    struct Row {
        ModelIdentifier entry;
        int32_t withAirline;     // wanted XA1 / XAL / C2
        int32_t withoutAirline;  // wanted XA1 alone
    };
    const Row rows[] = {
        {Entry("XA1", "XAL", "C2"), 10, 2}, {Entry("XA1", "XAL"), 8, 2}, {Entry("XA1", "XAL", "D4"), 6, 2},
        {Entry("XA1"), 4, 4},               {Entry("XA1", "XBB"), 2, 2}, {Entry("XA2", "XAL", "C2"), 9, 2},
        {Entry("XA2", "XAL"), 7, 2},        {Entry("XA2", "XAL", "D4"), 5, 2}, {Entry("XA2"), 3, 3},
        {Entry("XA2", "XBB"), 2, 2},        {Entry("XB7", "XAL", "C2"), 0, 0}, {Entry("XP2"), 0, 0},
    };
    const ModelIdentifier wanted = Entry("XA1", "XAL", "C2");
    const ModelIdentifier bare = Entry("XA1");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry.type + "/" + row.entry.airline + "/" + row.entry.livery);
        EXPECT_EQ(row.entry.Score(wanted), row.withAirline);
        EXPECT_EQ(row.entry.Score(bare), row.withoutAirline);
    }
    EXPECT_EQ(Entry("XP2").Score(Entry("XP2")), 4) << "ungrouped types match themselves";
}

struct Search {
    const char* name;
    ModelIdentifier wanted;
    const char* model;  // "" for none
    int32_t score;
};

void ExpectSearches(const ModelSet& set, const std::vector<Search>& searches) {
    for (const Search& s : searches) {
        SCOPED_TRACE(s.name);
        std::string model;
        int32_t score = -1;
        const bool found = set.FindBest(s.wanted, model, score, nullptr);
        EXPECT_EQ(found, *s.model != 0);
        if (found) {
            EXPECT_EQ(model, s.model);
            EXPECT_EQ(score, s.score);
        }
    }
}

TEST(ModelSet, SearchFindsTheBestOfTheWantedGroupOrType) {
    ModelSet set("XYZ");
    set.AddModel(Entry("XB7"), "B7");
    set.AddModel(Entry("XP2"), "P2");
    set.AddModel(Entry("XA1", "XBB"), "A1_XBB");
    set.AddModel(Entry("XA2", "XAL", "C2"), "A2_XAL_C2");
    set.AddModel(Entry("XA1"), "A1");
    set.AddModel(Entry("XQ9"), "Q9");
    set.AddModel(Entry("XA3", "XAL"), "A3_XAL");
    set.BuildIndex();
    ExpectSearches(set, {
        {"related with airline and livery beats own type", Entry("XA1", "XAL", "C2"), "A2_XAL_C2", 9},
        {"own type without airline", Entry("XA1", "XCC"), "A1", 4},
        {"a related type stands in", Entry("XA3"), "A1", 3},
        {"related type with the airline", Entry("XA3", "XBB"), "A1_XBB", 7},
        {"other group", Entry("XB7", "XAL"), "B7", 4},
        {"ungrouped type matches only itself", Entry("XP2"), "P2", 4},
        {"last ungrouped entry in search order", Entry("XQ9"), "Q9", 4},
        {"unknown ungrouped type", Entry("XP1"), "", 0},
        {"group without entries", ModelIdentifier("XZ", "", "", 7), "", 0},
    });
}

TEST(ModelSet, EqualScoresFollowTheExchangeSortOrThePick) {
    // The exchange sort puts entry 1 before entry 0: [XB7, A1_second, A1_first].
    ModelSet set("XYZ");
    set.AddModel(Entry("XA1"), "A1_first");
    set.AddModel(Entry("XA1"), "A1_second");
    set.AddModel(ModelIdentifier("XB0", "", "", 2), "B0");
    set.BuildIndex();
    ExpectSearches(set, {{"first in search order", Entry("XA1"), "A1_second", 4}});
    // Seed 2 draws an odd first value, seed 3 an even one.
    const std::pair<uint32_t, const char*> picks[] = {{2, "A1_first"}, {3, "A1_second"}};
    for (const auto& [seed, model] : picks) {
        Random15 random(seed);
        std::string name;
        int32_t score = 0;
        ASSERT_TRUE(set.FindBest(Entry("XA1"), name, score, &random));
        EXPECT_EQ(name, model) << "seed " << seed;
    }
}

class ModelSetFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tables.LoadTables(kFolder, nullptr)); }

    struct Answering : ModelSetReadCallback {
        bool answer = true;
        std::vector<std::string> errors;
        std::vector<bool> fatal;
        void Progress(const std::string&) override {}
        bool Error(const std::string& text, bool isFatal) override {
            errors.push_back(text);
            fatal.push_back(isFatal);
            return answer;
        }
    };

    ModelMatcher tables;
    TempDir dir;
};

TEST_F(ModelSetFiles, LoaderRules) {
    const std::string header = "XYZ\nName\nthree\nfour\n";
    struct Row {
        const char* name;
        std::string text;
        bool loaded;
        size_t models;
        std::vector<const char*> errors;  // a fragment of each error, in order
        bool fatal;
    };
    const std::vector<Row> rows = {
        {"three header lines", "XYZ\nName\nthree\n", false, 0, {"header"}, true},
        {"fourth line without line feed", "XYZ\nName\nthree\nfour", false, 0, {"header"}, true},
        {"four lines only", header, false, 0, {}, false},
        {"code of four characters", "XYZW\nName\nthree\nfour\nXYZW_A XA1\n", false, 0, {"code"}, true},
        {"good entries", header + "XYZ_A1 XA1 ; comment\n\n; only comment\nXYZ XP2\nXYZ_A1_XAL XA1 XAL\n",
         true, 3, {}, false},
        {"five valid fields", header + "XYZ_A1 XA1 XAL C2 C2\nXYZ_A XA1\n", true, 1, {"line 5:"}, false},
        {"one field", header + "XYZ_A1\nXYZ_A XA1\n", true, 1, {"line 5:"}, false},
        {"code differs in case", header + "xyz_A1 XA1\n", false, 0, {"xyz_A1"}, false},
        {"short model name", header + "XY XA1\n", false, 0, {"XY"}, false},
        {"one field, wrong code", header + "AB\n", false, 0, {"line 5:", "line 5:"}, false},
        {"unknown type", header + "\nXYZ_Q XQQ\nXYZ_A XA1\n", true, 1, {"line 6: unknown aircraft type (XQQ)"}, false},
        {"unknown airline and livery",
         header + "XYZ_A XA1 XNO\nXYZ_B XA1 XAL Z9\nXYZ_C XA1 XBB\n", true, 1, {"XNO", "Z9"}, false},
        {"unknown type and airline both reported", header + "XYZ_A XQQ XNO\n", false, 0, {"XQQ", "XNO"}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dir.Write("set.sms", row.text);
        Answering callback;
        ModelSet set;
        EXPECT_EQ(set.Load(dir.File("set.sms"), &callback, tables), row.loaded);
        EXPECT_EQ(set.GetModelCount(), row.models);
        ASSERT_EQ(callback.errors.size(), row.errors.size());
        for (size_t i = 0; i < row.errors.size(); ++i) {
            EXPECT_NE(callback.errors[i].find(row.errors[i]), std::string::npos) << callback.errors[i];
            EXPECT_NE(callback.errors[i].find(dir.File("set.sms")), std::string::npos) << "names the file";
            EXPECT_EQ(callback.fatal[i], row.fatal);
        }
    }
}

TEST_F(ModelSetFiles, AnErrorAnsweredFalseDropsTheWholeFile) {
    dir.Write("set.sms", "XYZ\nName\n\n\nXYZ_A XA1\nXYZ_B XQQ\nXYZ_C XA1\n");
    Answering callback;
    callback.answer = false;
    ModelSet set;
    EXPECT_FALSE(set.Load(dir.File("set.sms"), &callback, tables));
    EXPECT_EQ(callback.errors.size(), 1u);
    ModelSet missing;
    EXPECT_FALSE(missing.Load(dir.File("none.sms"), nullptr, tables)) << "no callback is needed";
}

TEST_F(ModelSetFiles, ScanAndVisitingOrder) {
    ModelSetList list;
    Answering callback;
    ASSERT_TRUE(list.ScanFolder(kFolder, &callback, tables));
    EXPECT_EQ(list.GetSetCount(), 2u) << "example.SMS and second.sms, not readme.txt";
    ASSERT_EQ(callback.errors.size(), 1u) << "second.sms line 6 has five fields";
    EXPECT_NE(callback.errors[0].find("second.sms (Second collection): line 6"), std::string::npos);

    // XA2/XAL: example.SMS (XYZ) scores 7 with XYZ_A1_XAL_C2? no: that entry has a livery, so 5;
    // second.sms (QRS) has QRS_A2_XAL, the wanted type with the airline and no livery: 8.
    const std::vector<std::string> none;
    EXPECT_EQ(list.FindBestModel("XA2", "XAL", "", none, false, false, tables), "QRS_A2_XAL");
    EXPECT_EQ(list.FindBestModel("XA2", "XAL", "", {"XYZ"}, true, false, tables), "XYZ_A1_XAL_C2")
        << "stop at first takes the first set with any match";
    EXPECT_EQ(list.FindBestModel("XA2", "XAL", "", {"NOPE"}, true, false, tables), "XYZ_A1_XAL_C2")
        << "an unknown code changes nothing; the rest keep folder order";
    EXPECT_EQ(list.FindBestModel("XA2", "XAL", "", {"QRS"}, true, false, tables), "QRS_A2_XAL");
    EXPECT_EQ(list.FindBestModel("XH5", "", "", none, false, false, tables), "XYZ_H5");
    EXPECT_EQ(list.FindBestModel("XB7", "XAL", "C2", none, false, false, tables), "");
}

TEST(ModelSetList, EqualScoresKeepTheSetVisitedFirst) {
    ModelMatcher tables;
    ModelSetList list;
    auto add = [&list](const char* code, const char* model) {
        auto set = std::make_unique<ModelSet>(code);
        set->AddModel(ModelIdentifier("XP2", "", "", -1), model);
        set->BuildIndex();
        list.Add(std::move(set));
    };
    add("AAA", "AAA_P2");
    add("BBB", "BBB_P2");
    EXPECT_EQ(list.FindBestModel("XP2", "", "", {}, false, true, tables), "AAA_P2");
    EXPECT_EQ(list.FindBestModel("XP2", "", "", {"BBB"}, false, true, tables), "BBB_P2");
    EXPECT_EQ(list.FindBestModel("XP2", "", "", {"BBB", "AAA", "BBB"}, false, true, tables), "BBB_P2");
}

}  // namespace
