// The weather store: receiving reports, the station list with its limit,
// the refresh timing, the list's lines and the queries' defaults.
#include "comms/weather_store.h"

#include <gtest/gtest.h>

#include "tests/comms/weather_fixture.h"

namespace {

const char* const kReport = "KXYZ 091853Z 27010G20KT 240V300 10SM -RA BKN020 OVC100 12/08 A2992 RMK AO2";

class WeatherStoreTest : public ::testing::Test, protected WeatherFixture {};

TEST_F(WeatherStoreTest, QueriesAnswerInAnyCaseButOnlyForFourCharacters) {
    store.OnMetar("kxyz 091853z 27010g20kt 240v300 10sm -ra bkn020 ovc100 12/08 a2992 rmk ao2");
    EXPECT_EQ(store.GetMetar("kxyz"), kReport);
    EXPECT_EQ(store.GetReportTime("KxYz"), "091853Z");
    EXPECT_EQ(store.GetWind("KXYZ"), "27010G20KT");
    EXPECT_EQ(store.GetWindDirection("kxyz"), 240);
    EXPECT_EQ(store.GetWindVariableTo("kxyz"), 300);
    EXPECT_EQ(store.GetWindSpeed("kxyz"), 10);
    EXPECT_EQ(store.GetWindGust("kxyz"), 20);
    EXPECT_EQ(store.GetAltimeter("kxyz"), "2992");
    EXPECT_EQ(store.GetClouds("kxyz"), " BKN020 OVC100");
    EXPECT_TRUE(store.HasReport("kxyz"));
    EXPECT_FALSE(store.IsAltimeterHpa("kxyz"));
    for (const char* station : {"KXY", "KXYZW", "", "ZZZZ"}) {
        SCOPED_TRACE(station);
        EXPECT_EQ(store.GetMetar(station), "");
        EXPECT_EQ(store.GetReportTime(station), "");
        EXPECT_EQ(store.GetWind(station), "");
        EXPECT_EQ(store.GetWindDirection(station), -1);
        EXPECT_EQ(store.GetWindVariableTo(station), -1);
        EXPECT_EQ(store.GetWindSpeed(station), 0);
        EXPECT_EQ(store.GetWindGust(station), 0);
        EXPECT_EQ(store.GetAltimeter(station), "");
        EXPECT_FALSE(store.IsAltimeterHpa(station));
        EXPECT_EQ(store.GetVisibility(station), "");
        EXPECT_EQ(store.GetWeather(station), "");
        EXPECT_EQ(store.GetVerticalVisibility(station), "");
        EXPECT_EQ(store.GetClouds(station), "");
        EXPECT_EQ(store.GetTemperature(station), "");
        EXPECT_EQ(store.GetDewPoint(station), "");
        EXPECT_FALSE(store.HasReport(station));
    }
}

TEST_F(WeatherStoreTest, ChangedMarkNeedsANewTimeAndTheStoredKey) {
    store.OnMetar(kReport);
    EXPECT_FALSE(store.IsReportChanged("KXYZ"));
    store.OnMetar(kReport);
    EXPECT_FALSE(store.IsReportChanged("KXYZ"));
    store.OnMetar("KXYZ 091953Z 27010KT 10SM CLR 12/08 A2992");
    EXPECT_TRUE(store.IsReportChanged("KXYZ"));
    EXPECT_FALSE(store.IsReportChanged("kxyz"));
    store.ClearChangeMarks();
    EXPECT_FALSE(store.IsReportChanged("KXYZ"));
}

TEST_F(WeatherStoreTest, UnreadableTextsStoreNothing) {
    store.OnMetar("No METAR available");
    EXPECT_TRUE(host.errors.empty());
    std::string huge = std::string(kReport);
    while (huge.size() <= MetarParser::kMaxReportLength) huge += " AO2";
    store.OnMetar(huge);
    EXPECT_FALSE(store.HasReport("KXYZ"));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("longer than 2048"), std::string::npos);
}

TEST_F(WeatherStoreTest, RefreshEveryThreeHundredSecondsWhileConnected) {
    store.ToggleStation("KAAA");
    store.RequestMetar("kbbb");
    host.requests.clear();
    store.RefreshMetars(true);  // "Connected."
    EXPECT_EQ(host.requests, (std::vector<std::string>{"KAAA", "KBBB"}));
    host.requests.clear();
    clock.SetWallSeconds(1'000'300);
    store.RefreshMetars(false);
    EXPECT_TRUE(host.requests.empty());
    clock.SetWallSeconds(1'000'301);
    store.RefreshMetars(false);
    EXPECT_EQ(host.requests.size(), 2u);
    host.requests.clear();
    host.connected = false;
    clock.SetWallSeconds(1'002'000);
    store.RefreshMetars(false);
    EXPECT_TRUE(host.requests.empty());
    store.RefreshMetars(true);
    EXPECT_EQ(host.requests.size(), 2u);
}

TEST_F(WeatherStoreTest, TwentyListedStationsAtMost) {
    for (int i = 0; i < 20; ++i) store.ToggleStation(std::string("KA") + char('A' + i) + "A");
    store.RequestMetar("KZZZ");
    store.ToggleStation("KNEW");
    EXPECT_EQ(host.errors, std::vector<std::string>{WeatherStore::kTooManyStations});
    EXPECT_EQ(store.GetStationList().size(), 20u);
    // A station requested before is known: listing it makes 21.
    store.ToggleStation("KZZZ");
    EXPECT_EQ(store.GetStationList().size(), 21u);
    EXPECT_EQ(profile.GetListSetting("WxStations").size(), 21u);
}

TEST_F(WeatherStoreTest, ListLinesShowTheWindWithoutKnotsButKeepTheStoredText) {
    store.ToggleStation("kxyz");
    store.OnMetar(kReport);
    ASSERT_EQ(store.GetListLines().size(), 1u);
    EXPECT_EQ(store.GetListLines()[0].Text(), "\tKXYZ\t1853Z\t2992\t27010G20");
    EXPECT_EQ(store.GetWind("KXYZ"), "27010G20KT");
    store.RefreshList();
    EXPECT_EQ(store.GetWind("KXYZ"), "27010G20KT");
}

TEST_F(WeatherStoreTest, UnlistingForgetsTextsAndNumbers) {
    store.ToggleStation("KXYZ");
    store.OnMetar(kReport);
    store.OnMetar("KXYZ 091953Z 27010G20KT 240V300 10SM CLR 12/08 Q1013");
    store.ToggleStation("KXYZ");
    EXPECT_FALSE(store.IsKnown("KXYZ"));
    EXPECT_EQ(store.GetMetar("KXYZ"), "");
    EXPECT_EQ(store.GetWindDirection("KXYZ"), -1);
    EXPECT_EQ(store.GetWindVariableTo("KXYZ"), -1);
    EXPECT_EQ(store.GetWindSpeed("KXYZ"), 0);
    EXPECT_EQ(store.GetWindGust("KXYZ"), 0);
    EXPECT_FALSE(store.IsAltimeterHpa("KXYZ"));
    EXPECT_FALSE(store.IsReportChanged("KXYZ"));
    // Listing it again starts with no weather until its report comes.
    store.ToggleStation("KXYZ");
    EXPECT_EQ(store.GetWindSpeed("KXYZ"), 0);
    EXPECT_TRUE(profile.GetListSetting("WxStations") == std::vector<std::string>{"KXYZ"});
}

TEST_F(WeatherStoreTest, ButtonRemovalKeepsTheReportReadable) {
    store.ToggleStation("KXYZ");
    store.OnMetar(kReport);
    store.RemoveStation("kxyz");
    EXPECT_TRUE(store.GetStationList().empty());
    EXPECT_EQ(store.GetMetar("KXYZ"), kReport);
    EXPECT_TRUE(profile.GetListSetting("WxStations").empty());
}

TEST_F(WeatherStoreTest, RequestedStationIsKnownButNotSaved) {
    store.RequestMetar("kbos");
    EXPECT_TRUE(store.IsKnown("KBOS"));
    EXPECT_EQ(store.GetSelectedStation(), "KBOS");
    EXPECT_TRUE(store.GetStationList().empty());
    store.OnMetar("KBOS 091854Z 05010KT 10SM OVC008 06/05 A2988");
    EXPECT_EQ(store.GetReportBoxText(), "KBOS 091854Z 05010KT 10SM OVC008 06/05 A2988");
    EXPECT_TRUE(store.GetListLines().empty());
}

TEST_F(WeatherStoreTest, RestoredStationsAreUpperCased) {
    store.Restore({"kbos", "EGLL"});
    EXPECT_EQ(store.GetStationList(), (std::vector<std::string>{"EGLL", "KBOS"}));
    store.RefreshMetars(false);
    EXPECT_EQ(host.requests, (std::vector<std::string>{"EGLL", "KBOS"}));
    store.OnMetar("KBOS 091854Z 05010KT 10SM OVC008 06/05 A2988");
    EXPECT_EQ(store.GetListLines()[1].Text(), "\tKBOS\t1854Z\t2988\t05010");
}

TEST_F(WeatherStoreTest, ATISStationHearsItsReportTimes) {
    store.SetATISStation("KXYZ");
    EXPECT_EQ(host.requests, std::vector<std::string>{"KXYZ"});
    EXPECT_EQ(store.GetStationList(), std::vector<std::string>{"KXYZ"});
    store.OnMetar(kReport);
    store.OnMetar("EGLL 091850Z 24012KT 9999 FEW035 14/07 Q1018");
    EXPECT_EQ(host.atisTimes, std::vector<std::string>{"091853Z"});
    store.SetATISStation("KXY");
    EXPECT_EQ(store.GetATISStation(), "");
}

TEST(WeatherStoreMenuTest, CommandLinesOfTheContextMenu) {
    EXPECT_EQ(WeatherStore::MenuCommandLine(601, "KXYZ"), ".QD KXYZ");
    EXPECT_EQ(WeatherStore::MenuCommandLine(602, "KXYZ"), ".WX KXYZ");
    EXPECT_EQ(WeatherStore::MenuCommandLine(0, "KXYZ"), "");
}

}  // namespace
