// The checks of the "Save Profile As" dialog: its three messages, the length
// limit and the overwrite question.
#include "foundation/save_profile_as.h"

#include "profile_fixture.h"

class SaveProfileAsTest : public ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        PutIni("[:META]\nVersion=4\n[Default]\n[Alpha]\nCallsign=ABC_TWR\n");
        profile = std::make_unique<TarqProfile>(IniPath());
        ASSERT_TRUE(profile->OpenIniFile());
        ASSERT_TRUE(profile->Load("Default"));
    }
    std::unique_ptr<TarqProfile> profile;
};

TEST_F(SaveProfileAsTest, ChecksInOrder) {
    const std::string invalid = std::string("Error: ") + TarqSaveProfileAsForm::kInvalidName;
    const std::string isDefault = std::string("Error: ") + TarqSaveProfileAsForm::kDefaultName;
    const std::string overwrite = std::string("Confirm Delete: ") + TarqSaveProfileAsForm::kOverwriteQuestion;
    struct Case {
        const char* name;
        std::string text;
        std::vector<MessageBoxResult> answers;
        bool closes;
        std::vector<std::string> shown;
        const char* savedAs;  // profile name afterwards
    } cases[] = {
        {"empty", "", {}, false, {invalid}, "Default"},
        {"punctuation", "Alpha-2", {}, false, {invalid}, "Default"},
        {"byte above 127", "Zu\xfcrich", {}, false, {invalid}, "Default"},
        {"line feed", "Alpha\n", {}, false, {invalid}, "Default"},
        {"default in any case", "dEfAuLt", {}, false, {isDefault}, "Default"},
        {"existing, answered no", "ALPHA", {MessageBoxResult::No}, false, {overwrite}, "Default"},
        {"existing, box closed", "alpha", {MessageBoxResult::Cancel}, false, {overwrite}, "Default"},
        {"existing, answered yes", "Alpha", {MessageBoxResult::Yes}, true, {overwrite}, "Alpha"},
        {"blanks only", "   ", {}, true, {}, "   "},
        {"new name", "New_Tower 2", {}, true, {}, "New_Tower 2"},
        {"cut to 128 characters", std::string(128, 'x') + "!", {}, true, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(profile->Load("Default"));
        boxes.shown.clear();
        boxes.owners.clear();
        boxes.answers.assign(c.answers.begin(), c.answers.end());
        TarqSaveProfileAsForm form(*profile);
        int dialog = 0;
        EXPECT_EQ(form.Accept(c.text, &dialog), c.closes);
        EXPECT_EQ(boxes.shown, c.shown);
        for (WindowHandle owner : boxes.owners) EXPECT_EQ(owner, &dialog);
        const std::string expectedName = *c.savedAs ? c.savedAs : std::string(128, 'x');
        EXPECT_EQ(profile->GetProfileName(), expectedName);
        if (c.closes) {
            EXPECT_TRUE(profile->ProfileExists(expectedName));
        }
    }
}

TEST_F(SaveProfileAsTest, TheOverwriteQuestionDefaultsToNo) {
    TarqSaveProfileAsForm form(*profile);
    EXPECT_FALSE(form.Accept("Alpha", nullptr));
    ASSERT_EQ(boxes.styles.size(), 1u);
    EXPECT_EQ(boxes.styles[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(boxes.styles[0].icon, MessageBoxIcon::Question);
    EXPECT_EQ(DefaultMessageBoxResult(boxes.styles[0]), MessageBoxResult::No);
}
