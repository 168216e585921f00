// The ATIS maker: the letter advance, publishing, the dialog's values and limits.
#include "comms/atis_maker.h"

#include <gtest/gtest.h>

#include "tests/comms/weather_fixture.h"

namespace {

class AtisMakerTest : public ::testing::Test, protected WeatherFixture {
protected:
    AtisMakerTest() {
        profile.SetString("ATISMakerICAO", "KXYZ");
        profile.SetString("ATISMakerTemplate", "Information %id% %wind%");
        weather.SetATISStation("KXYZ");
    }
    void Report(const char* time) {
        store.OnMetar(std::string("KXYZ ") + time + " 27010KT 10SM CLR 12/08 A2992");
    }

    WeatherStore& weather = store;
    RecordingAtisHost atisHost;
    AtisMaker maker{profile, store, atisHost};
};

TEST_F(AtisMakerTest, AutoUpdateAdvancesTheLetterOnANewReportOnly) {
    ASSERT_FALSE(maker.SetAutoUpdate(true));
    EXPECT_EQ(maker.GetCurrentLetter(), "");  // no report yet
    Report("091853Z");
    const int updates = atisHost.updates;
    maker.OnReportTime("091853Z");
    EXPECT_EQ(maker.GetCurrentLetter(), "ALPHA");
    EXPECT_EQ(atisHost.updates, updates + 1) << "an open dialog hears of the automatic update";
    EXPECT_TRUE(maker.GetDisplayFlag());
    EXPECT_EQ(profile.GetString("ATIS"), "Information ALPHA 270 at 10");
    maker.OnReportTime("091853Z");
    ASSERT_TRUE(maker.UpdateATIS(true));  // "Refresh" twice does not advance
    EXPECT_EQ(maker.GetCurrentLetter(), "ALPHA");
    Report("091953Z");
    maker.OnReportTime("091953Z");
    EXPECT_EQ(maker.GetCurrentLetter(), "BRAVO");
}

TEST_F(AtisMakerTest, LetterWrapsFromZuluToAlpha) {
    maker.SelectLetter(26, false);
    ASSERT_FALSE(maker.SetAutoUpdate(true));
    Report("091853Z");
    maker.OnReportTime("091853Z");
    EXPECT_EQ(maker.GetCurrentLetter(), "ALPHA");
}

TEST_F(AtisMakerTest, NoneIsRefusedWhileOnAir) {
    EXPECT_EQ(maker.SelectLetter(0, true), 1);
    EXPECT_EQ(maker.SelectLetter(0, false), 0);
    EXPECT_EQ(maker.GetCurrentLetter(), "");
}

TEST_F(AtisMakerTest, InvalidStationStopsTheUpdate) {
    profile.SetString("ATISMakerICAO", "KXY");
    EXPECT_FALSE(maker.UpdateATIS(false));
    EXPECT_EQ(atisHost.errors, std::vector<std::string>{AtisMaker::kInvalidStationLine});
    EXPECT_FALSE(maker.UpdateATIS(true));
    EXPECT_EQ(atisHost.errors.size(), 1u);
    auto failure = maker.SetAutoUpdate(true);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, AtisMaker::kInvalidStationBox);
    EXPECT_FALSE(maker.IsAutoUpdate());
}

TEST_F(AtisMakerTest, UpdateWithoutReportPublishesFallbacks) {
    ASSERT_TRUE(maker.UpdateATIS(false));
    EXPECT_EQ(profile.GetString("ATIS"), "Information (None) variable at 0");
    EXPECT_EQ(maker.GetCurrentLetter(), "");
}

TEST_F(AtisMakerTest, OverLongATISIsSaidAtOnce) {
    std::string templ = "line";
    for (int i = 0; i < 10; ++i) templ += "|line";
    profile.SetString("ATISMakerTemplate", templ);
    ASSERT_TRUE(maker.UpdateATIS(false));
    EXPECT_EQ(atisHost.errors, std::vector<std::string>{AtisMaker::kTooManyLines});
    profile.SetString("ATISMakerTemplate", templ.substr(5));
    atisHost.errors.clear();
    maker.UpdateATIS(false);
    EXPECT_TRUE(atisHost.errors.empty());
}

TEST_F(AtisMakerTest, DialogValuesRoundTrip) {
    AtisDialogValues values = maker.InitialValues();
    EXPECT_EQ(values.textTemplate, "Information %id% %wind%");
    EXPECT_EQ(values.voiceTemplate, AtisMaker::ForEdit(AtisMaker::kDefaultVoiceTemplate));
    values.station = "egll";
    values.textTemplate = "one\r\ntwo\nthree";
    values.voiceFrequency = "118.25";
    profile.SetModified(false);
    ASSERT_FALSE(maker.SaveDialogSettings(values));
    EXPECT_TRUE(profile.IsModified());
    EXPECT_EQ(profile.GetString("ATISMakerTemplate"), "one|two|three");
    EXPECT_EQ(profile.GetInt("VoxATISFreq"), 118250);
    EXPECT_EQ(maker.InitialValues().voiceFrequency, "118.250");
    EXPECT_EQ(store.GetATISStation(), "egll");
}

TEST_F(AtisMakerTest, OverLongTemplateIsRefusedNotCut) {
    AtisDialogValues values = maker.InitialValues();
    values.textTemplate = std::string(AtisMaker::kTemplateLimit + 1, 'x');
    values.station = "EGLL";
    auto failure = maker.SaveDialogSettings(values);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->control, AtisMaker::kTextTemplateId);
    EXPECT_EQ(profile.GetString("ATISMakerTemplate"), "Information %id% %wind%");
    EXPECT_EQ(profile.GetString("ATISMakerICAO"), "KXYZ");
    values.textTemplate.pop_back();
    EXPECT_FALSE(maker.SaveDialogSettings(values));
    EXPECT_EQ(profile.GetString("ATISMakerTemplate").size(), AtisMaker::kTemplateLimit);
}

TEST_F(AtisMakerTest, RunwaysAreCleanedAndListedOnce) {
    EXPECT_FALSE(maker.AddRunway("4l "));
    EXPECT_FALSE(maker.AddRunway("22R"));
    EXPECT_FALSE(maker.AddRunway("04L"));
    EXPECT_FALSE(maker.AddRunway("4L"));
    EXPECT_EQ(maker.GetOfferedRunways(), (std::vector<std::string>{"4L", "22R", "04L"}));
    auto failure = maker.AddRunway("   ");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, AtisMaker::kInvalidRunway);
    EXPECT_FALSE(maker.DeleteRunway("22r"));
    EXPECT_FALSE(maker.DeleteRunway("09"));
    EXPECT_EQ(maker.GetOfferedRunways(), (std::vector<std::string>{"4L", "04L"}));
}

}  // namespace
