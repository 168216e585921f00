// The voice ATIS from the ATIS maker's side: the record checks, the two
// files taking turns on the air, the connect checks and going on and off
// the air, against a recording fake of the engine, network and panel.
#include "comms/voice_atis.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/comms/weather_fixture.h"

namespace {

class FakeVoiceAtisServices : public VoiceAtisServices {
public:
    void StartAtisRecording(const std::string& path) override {
        recording = true;
        log.push_back("record " + path);
    }
    void StopAtisRecording() override {
        recording = false;
        log.push_back("stop recording");
    }
    bool IsAtisRecording() const override { return recording; }
    void StartAtisPreview() override { log.push_back("preview"); }
    void StopAtisPreview() override { log.push_back("stop preview"); }
    void StartAtisPlayback(const std::string& path) override {
        playing = true;
        log.push_back("play " + path);
    }
    void StopAtisPlayback() override {
        playing = false;
        log.push_back("stop playback");
    }
    bool IsAtisPlaying() const override { return playing; }
    void SetAtisMonitor(bool on) override { log.push_back(on ? "monitor on" : "monitor off"); }
    void StartAtisBroadcast(int frequencyKhz, const std::string& roomAddress, const std::string& channel,
                            const std::string& path) override {
        broadcasting = true;
        log.push_back("broadcast " + std::to_string(frequencyKhz) + " " + roomAddress + " " + channel + " " +
                      path);
    }
    void StopAtisBroadcast() override {
        broadcasting = false;
        log.push_back("stop broadcast");
    }
    bool IsAtisBroadcastActive() const override { return broadcasting; }
    void CloseAtisListeners() override { log.push_back("close listeners"); }
    bool IsConnected() const override { return connected; }
    bool IsVoiceAtisConnected() const override { return voiceConnected; }
    void ConnectVoiceAtis() override { log.push_back("connect session"); }
    void DisconnectVoiceAtis() override { log.push_back("disconnect session"); }
    bool IsFrequencyAssigned(int frequencyKhz) const override { return frequencyKhz == assignedFrequency; }
    bool IsVoiceChannelAssigned(const std::string& server, const std::string& channel) const override {
        return server + "/" + channel == assignedChannel;
    }

    bool Logged(const std::string& line) const {
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    bool recording = false;
    bool playing = false;
    bool broadcasting = false;
    bool connected = true;
    bool voiceConnected = false;
    int assignedFrequency = 0;
    std::string assignedChannel;
    std::vector<std::string> log;
};

class VoiceAtisTest : public ::testing::Test, protected WeatherFixture {
protected:
    VoiceAtisTest() {
        profile.SetString("ATISMakerICAO", "KXYZ");
        profile.SetInt("Rating", 5);
        profile.SetString("VoxATISServer", "voice.example.net");
        profile.SetInt("VoxATISFreq", 118250);
        store.SetATISStation("KXYZ");
        store.OnMetar("KXYZ 091853Z 27010KT 10SM CLR 12/08 A2992");
    }
    AtisDialogValues Values(const std::string& server, const std::string& frequency) {
        AtisDialogValues v = maker.InitialValues();
        v.voiceServer = server;
        v.voiceFrequency = frequency;
        return v;
    }
    // A recording made and saved: it is on the air from voxatis_a.dat.
    void RecordAndSave() {
        voice.StartRecording();
        voice.StopRecording(false);
        ASSERT_TRUE(voice.SaveRecording());
    }

    RecordingAtisHost atisHost;
    AtisMaker maker{profile, store, atisHost};
    FakeVoiceAtisServices services;
    VoiceAtis voice{profile, maker, store, services, "/start"};
};

TEST_F(VoiceAtisTest, RecordATISChecksInOrder) {
    struct Row {
        const char* name;
        bool connected;
        int rating;
        const char* station;
        bool recording;
        bool opens;
        std::string message;
    };
    const Row rows[] = {
        {"a recording runs", true, 5, "KXYZ", true, false, ""},
        {"not connected", false, 5, "KXYZ", false, false, VoiceAtis::kRecordNotConnected},
        {"observer", true, 1, "KXYZ", false, false, VoiceAtis::kRatingTooLow},
        {"bad station", true, 5, "KX", false, false, AtisMaker::kInvalidStationBox},
        {"no weather yet", true, 5, "KABC", false, false,
         "No weather received yet for KABC. Wait a few seconds, then try again."},
        {"all set", true, 5, "KXYZ", false, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        services.connected = row.connected;
        services.recording = row.recording;
        profile.SetInt("Rating", row.rating);
        profile.SetString("ATISMakerICAO", row.station);
        VoiceAtis::Failure failure{-1, "untouched"};
        EXPECT_EQ(voice.OnRecordATIS(&failure), row.opens);
        if (!row.opens) {
            EXPECT_EQ(failure.message, row.message);
        }
    }
    // Getting that far turned the monitor off and set a letter.
    EXPECT_TRUE(services.Logged("monitor off"));
    EXPECT_FALSE(voice.IsMonitor());
    EXPECT_EQ(maker.GetCurrentLetter(), "ALPHA");
}

TEST_F(VoiceAtisTest, RecordingsTakeTurnsOnTheAir) {
    EXPECT_EQ(voice.OnAirPath(), "/start/voxatis_b.dat");
    EXPECT_FALSE(voice.SaveRecording()) << "nothing recorded yet";
    RecordAndSave();
    EXPECT_TRUE(services.Logged("record /start/voxatis_a.dat"));
    EXPECT_EQ(voice.OnAirPath(), "/start/voxatis_a.dat");
    EXPECT_TRUE(voice.IsRecordingSaved());

    // A second recording while the first plays goes into the other file, and
    // saving it moves the playback there.
    services.StartAtisPlayback(voice.OnAirPath());
    services.log.clear();
    voice.StartRecording();
    voice.StartRecording();  // already recording: nothing new starts
    voice.StopRecording(false);
    ASSERT_TRUE(voice.SaveRecording());
    const std::vector<std::string> expected = {
        "stop preview", "monitor off",   "record /start/voxatis_b.dat", "stop recording",
        "stop preview", "stop playback", "play /start/voxatis_b.dat"};
    EXPECT_EQ(services.log, expected);
    EXPECT_EQ(voice.OnAirPath(), "/start/voxatis_b.dat");
}

// Cancel keeps the on-air recording, and a recording cancelled halfway is
// not offered for saving, although it overwrote the file's last new one.
TEST_F(VoiceAtisTest, CancelLeavesNothingToSave) {
    RecordAndSave();
    voice.StartRecording();
    voice.StopRecording(false);
    EXPECT_TRUE(voice.HasNewRecording());
    voice.StartRecording();
    voice.CancelRecordDialog();
    EXPECT_FALSE(services.recording);
    EXPECT_FALSE(voice.HasNewRecording());
    EXPECT_FALSE(voice.SaveRecording());
    EXPECT_EQ(voice.OnAirPath(), "/start/voxatis_a.dat");
}

TEST_F(VoiceAtisTest, ConnectNeedsASavedRecording) {
    voice.StartRecording();
    voice.StopRecording(false);
    voice.CancelRecordDialog();
    const VoiceAtis::ConnectResult result = voice.OnConnectATIS(Values("voice.example.net", "118.250"));
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->message, VoiceAtis::kNothingRecorded);
    EXPECT_FALSE(services.broadcasting);
}

TEST_F(VoiceAtisTest, ConnectChecksTheSettings) {
    RecordAndSave();
    struct Row {
        const char* name;
        std::string server;
        std::string frequency;
        int control;
        std::string message;
    };
    const Row rows[] = {
        {"no server", "", "118.250", VoiceAtis::kServerId, VoiceAtis::kNoServer},
        {"blank in the server", "voice example", "118.250", VoiceAtis::kServerId, VoiceAtis::kInvalidServer},
        {"colon in the server", "voice:3782", "118.250", VoiceAtis::kServerId, VoiceAtis::kInvalidServer},
        {"99 MHz reads 099.000", "voice.example.net", "99.000", VoiceAtis::kFrequencyId,
         VoiceAtis::kInvalidFrequency},
        {"no frequency", "voice.example.net", "", VoiceAtis::kFrequencyId, VoiceAtis::kInvalidFrequency},
        {"frequency in the panel", "voice.example.net", "121.500", VoiceAtis::kFrequencyId,
         VoiceAtis::kFrequencyInUse},
        {"channel in the panel", "voice.example.net", "118.300", VoiceAtis::kFrequencyId,
         VoiceAtis::kChannelInUse},
    };
    services.assignedFrequency = 121500;
    services.assignedChannel = "voice.example.net/KXYZ_ATIS";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const VoiceAtis::ConnectResult result = voice.OnConnectATIS(Values(row.server, row.frequency));
        ASSERT_TRUE(result.failure);
        EXPECT_EQ(result.failure->control, row.control);
        EXPECT_EQ(result.failure->message, row.message);
        EXPECT_FALSE(result.toggled);
    }
    EXPECT_FALSE(services.broadcasting);
    services.assignedChannel.clear();
    const VoiceAtis::ConnectResult result = voice.OnConnectATIS(Values("vox_1.example-net", "118.25"));
    EXPECT_FALSE(result.failure);
    EXPECT_TRUE(result.toggled);
    EXPECT_TRUE(
        services.Logged("broadcast 118250 vox_1.example-net/KXYZ_ATIS KXYZ_ATIS /start/voxatis_a.dat"));
    EXPECT_TRUE(services.Logged("connect session"));
}

TEST_F(VoiceAtisTest, RefusalsBeforeTheSettingsAreSaved) {
    RecordAndSave();
    services.connected = false;
    auto result = voice.OnConnectATIS(Values("other.example.net", "118.250"));
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->message, VoiceAtis::kNotConnected);
    services.connected = true;
    profile.SetInt("Rating", 1);
    result = voice.OnConnectATIS(Values("other.example.net", "118.250"));
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->message, VoiceAtis::kRatingTooLow);
    EXPECT_EQ(profile.GetString("VoxATISServer"), "voice.example.net");
}

TEST_F(VoiceAtisTest, OffTheAirByTheButtonOrALostSession) {
    RecordAndSave();
    ASSERT_TRUE(voice.ToggleVoiceATIS());
    EXPECT_TRUE(services.broadcasting);
    services.voiceConnected = true;
    EXPECT_EQ(voice.ConnectButtonText(), "Disconnect");
    services.log.clear();
    ASSERT_TRUE(voice.ToggleVoiceATIS());
    EXPECT_EQ(services.log, (std::vector<std::string>{"stop broadcast", "disconnect session"}));

    services.voiceConnected = false;
    ASSERT_TRUE(voice.ToggleVoiceATIS());
    services.log.clear();
    voice.RefreshVoiceATIS();
    EXPECT_EQ(services.log, (std::vector<std::string>{"stop broadcast", "close listeners"}));
    EXPECT_EQ(voice.ConnectButtonText(), "Connect");

    // Without a frequency there is nothing to go on the air with.
    profile.SetInt("VoxATISFreq", 0);
    services.log.clear();
    EXPECT_FALSE(voice.ToggleVoiceATIS());
    voice.RefreshVoiceATIS();
    EXPECT_TRUE(services.log.empty());
}

}  // namespace
