// Tests of the voice engine over memory sound devices: routing, room states
// against the local voice server, land lines between two engines through a
// relayed session, the voice ATIS and the microphone test.
#include "voice/voice_engine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "melp_quality.h"
#include "platform/memory_sound_devices.h"
#include "temp_dir.h"
#include "tools/voiceserver/voice_test_server.h"
#include "voice/file_based_recorder.h"

namespace {

struct Message {
    NoltVoiceEngine* to;
    int session;
    std::string from;
    int code, kind;
    std::string ip;
    int port;
};

// Stands in for the network session: land-line codes go to the other engine
// on the next delivery, as through the server.
class Host : public VoiceEngineHost {
public:
    Host(std::string callsign, std::deque<Message>& wire) : m_callsign(std::move(callsign)), m_wire(wire) {}
    std::string Callsign() const override { return m_callsign; }
    std::string Cid() const override { return "1234"; }
    std::string PublicIp() const override { return publicIp; }
    std::string AtisName() const override { return m_callsign + "_ATIS"; }
    void SendLandLine(int session, const std::string& to, int code, int kind, const std::string& ip,
                      int port) override {
        sent.push_back(std::to_string(session) + ":" + to + ":" + std::to_string(code) + ":" +
                       std::to_string(kind));
        if (peer) m_wire.push_back({peer, session, m_callsign, code, kind, ip, port});
    }
    void PlayCue(const std::string& name) override { cues.push_back(name); }
    void LandLinesChanged() override { ++changes; }

    std::string publicIp = "127.0.0.1";
    NoltVoiceEngine* peer = nullptr;
    std::vector<std::string> sent;
    std::vector<std::string> cues;
    int changes = 0;

private:
    std::string m_callsign;
    std::deque<Message>& m_wire;
};

uint32_t NoLookup(const std::string&) { return 0; }

struct Side {
    Side(const std::string& callsign, std::deque<Message>& wire)
        : host(callsign, wire),
          devices({"mic"}, {"headset", "speaker"}),
          engine(VoiceEngineSetup{&devices, &host, 0, NoLookup}) {
        engine.SetInputDevice(0);
        engine.SetHeadsetDevice(0);
        engine.SetSpeakerDevice(1);
    }
    Host host;
    MemorySoundDeviceProvider devices;
    NoltVoiceEngine engine;
    std::shared_ptr<MemorySoundCard> Headset() { return devices.OutputCard(0); }
    std::shared_ptr<MemorySoundCard> Speaker() { return devices.OutputCard(1); }
};

size_t PlayedSamples(MemorySoundCard& card) {
    size_t n = 0;
    for (uint32_t s = 0; s < 5; ++s) n += card.Played(s).size();
    return n;
}

class EngineTest : public ::testing::Test {
protected:
    void Deliver() {
        while (!wire.empty()) {
            Message m = wire.front();
            wire.pop_front();
            if (m.session == NoltVoiceEngine::kAtisSession)
                m.to->OnAtisLandLineMessage(m.from, m.code, m.kind, m.ip, m.port);
            else
                m.to->OnLandLineMessage(m.from, m.code, m.kind, m.ip, m.port);
        }
    }
    // Runs both engines until done, for at most ten seconds.
    bool Until(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            if (server) server->Poll();
            Deliver();
            a.engine.Tick();
            b.engine.Tick();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > deadline) return false;
            usleep(1000);
        }
    }
    std::string Room(const std::string& name) {
        return "127.0.0.1:" + std::to_string(server->Port()) + "/" + name;
    }
    void StartServer() {
        server = std::make_unique<VoiceTestServer>();
        ASSERT_TRUE(server->Start(0, true));
    }

    std::deque<Message> wire;
    Side a{"EDDF_APP", wire};
    Side b{"EDDF_TWR", wire};
    std::unique_ptr<VoiceTestServer> server;
    void SetUp() override {
        a.host.peer = &b.engine;
        b.host.peer = &a.engine;
    }
};

TEST_F(EngineTest, BuildsTheGraphWithItsStartingLinks) {
    auto& e = a.engine;
    auto m = e.Mixer();
    auto headset = static_cast<int32_t>(e.HeadsetCodec());
    auto speaker = static_cast<int32_t>(e.SpeakerCodec());
    EXPECT_TRUE(e.IsAvailable());
    EXPECT_TRUE(e.AreDevicesReady());
    struct Case {
        int32_t from, to;
        bool linked;
    };
    const Case cases[] = {{1, speaker, true}, {2, headset, true}, {3, headset, true}, {headset, 7, true},
                          {4, 5, true},       {4, 6, true},       {4, 8, true},       {1, 8, true},
                          {2, 8, true},       {3, 8, true},       {headset, 4, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + "->" + std::to_string(c.to));
        EXPECT_EQ(OrlexIsLinked(m, c.from, c.to), c.linked);
    }
    e.SetPushToTalk(true);
    EXPECT_TRUE(OrlexIsLinked(m, headset, 4));
    e.SetMicMute(true);
    EXPECT_FALSE(OrlexIsLinked(m, headset, 7));
    e.SetAirGroundToSpeaker(true);
    EXPECT_TRUE(OrlexIsLinked(m, 2, speaker));
    EXPECT_FALSE(OrlexIsLinked(m, 2, headset));
}

TEST_F(EngineTest, RoomTogglesAndStatus) {
    auto& e = a.engine;
    const std::string address = "127.0.0.1:1/APP";
    EXPECT_EQ(e.GetRoomStatus(119500, address), 0u);
    EXPECT_EQ(e.RoomChannel(119500, address), 0u) << "status alone creates nothing";
    EXPECT_EQ(e.GetRoomOutput(119500, address), 1);
    EXPECT_NE(e.RoomChannel(119500, address), 0u);
    e.ToggleRoomTransmit(119500, address);
    EXPECT_EQ(e.GetRoomStatus(119500, address), NoltVoiceEngine::kRoomTransmitting)
        << "transmit does not join";
    e.ToggleRoomReceive(119500, address);
    e.ToggleRoomSpeaker(119500, address);
    EXPECT_EQ(e.GetRoomOutput(119500, address), 2);
    e.ToggleRoomConnection(119500, address);
    EXPECT_EQ(e.GetRoomState(119500, address), kRoomJoining);
    e.ToggleRoomTransmit(119500, address);
    e.ToggleRoomReceive(119500, address);
    EXPECT_EQ(e.GetRoomState(119500, address), kRoomLeaving) << "the last of receive and transmit off leaves";
    OrlexHandle channel = e.RoomChannel(119500, address);
    e.CloseRoom(119500);
    EXPECT_FALSE(OrlexIsValid(channel));
    EXPECT_EQ(e.GetRoomStatus(119500, address), 0u);
}

TEST_F(EngineTest, FailedConnectionsReturnTheRoomToIdle) {
    struct Case {
        const char* name;
        std::string address;
    };
    const Case cases[] = {{"nobody listens", "127.0.0.1:1/APP"}, {"name not found", "nowhere.invalid/APP"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        a.engine.ToggleRoomConnection(100, c.address);
        EXPECT_TRUE(Until([&] { return a.engine.GetRoomState(100, c.address) == kRoomIdle; }));
        a.engine.CloseRoom(100);
    }
}

TEST_F(EngineTest, PushToTalkIsHeardOnTheOtherHeadset) {
    StartServer();
    const std::string room = Room("EDDF_TWR");
    for (Side* s : {&a, &b}) {
        s->engine.ToggleRoomReceive(118700, room);
        s->engine.ToggleRoomTransmit(118700, room);
        s->engine.ToggleRoomConnection(118700, room);
    }
    ASSERT_TRUE(Until([&] {
        return a.engine.GetRoomState(118700, room) == kRoomConnected &&
               b.engine.GetRoomState(118700, room) == kRoomConnected &&
               server->ReachableMembers("EDDF_TWR") == 2;
    }));
    // A vowel at 125 Hz, captured at the card's 8000 samples per second.
    const int period = 64;
    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000 * 2, period, 700, 1200, 0.3));
    a.engine.SetPushToTalk(true);
    a.devices.InputCard(0)->Feed(speech.data(), speech.size());
    ASSERT_TRUE(Until([&] { return PlayedSamples(*b.Headset()) > 8000; }));
    EXPECT_NE(a.engine.GetRoomStatus(118700, room) & NoltVoiceEngine::kRoomSent, 0u);
    EXPECT_NE(b.engine.GetRoomStatus(118700, room) & NoltVoiceEngine::kRoomHeard, 0u);
    // What B plays is A's vowel: loud, and repeating at its pitch period.
    std::vector<double> heard;
    for (uint32_t s = 0; s < 5; ++s)
        for (int16_t v : b.Headset()->Played(s)) heard.push_back(v);
    std::vector<double> voiced(heard.end() - 4000, heard.end());
    double energy = 0;
    for (double v : voiced) energy += v * v;
    ASSERT_GT(std::sqrt(energy / voiced.size()), 300.0);
    auto correlation = [&](int lag) {
        double sum = 0;
        for (size_t i = static_cast<size_t>(lag); i < voiced.size(); ++i) sum += voiced[i] * voiced[i - lag];
        return sum / energy;
    };
    int best = 0;
    double bestValue = -1;
    for (int lag = 40; lag < 160; ++lag)
        if (correlation(lag) > bestValue) {
            bestValue = correlation(lag);
            best = lag;
        }
    EXPECT_NEAR(best, period, 3);
    EXPECT_GT(bestValue, 0.5);
    EXPECT_TRUE(b.Speaker()->Played(0).empty()) << "A/G goes to the headset";
    EXPECT_EQ(PlayedSamples(*a.Headset()), 0u) << "nobody else talked";
}

TEST_F(EngineTest, IntercomBetweenTwoEnginesConnectsCarriesAudioAndHangsUp) {
    a.engine.SetAutoRoute(true);
    ASSERT_TRUE(a.engine.PlaceLandLineCall(0, "EDDF_TWR"));
    Deliver();
    EXPECT_EQ(a.engine.GetLandLineState(0, "EDDF_TWR"), 3);
    EXPECT_EQ(b.engine.GetLandLineState(0, "EDDF_APP"), 2);
    EXPECT_EQ(b.host.cues, std::vector<std::string>{"SoundIntercomCall"});
    ASSERT_TRUE(b.engine.AcceptLandLineCall("EDDF_APP"));
    Deliver();
    EXPECT_EQ(a.engine.GetLandLineState(0, "EDDF_TWR"), 4);
    EXPECT_EQ(b.engine.GetLandLineState(0, "EDDF_APP"), 4);
    auto m = a.engine.Mixer();
    EXPECT_FALSE(OrlexIsLinked(m, 4, 6)) << "radio transmit is cut while the line is up";
    EXPECT_TRUE(OrlexIsLinked(m, 2, static_cast<int32_t>(a.engine.SpeakerCodec()))) << "auto route";

    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000, 64, 700, 1200, 0.3));
    for (Side* s : {&a, &b}) {
        s->engine.SetPushToTalk(true);
        s->devices.InputCard(0)->Feed(speech.data(), speech.size());
    }
    ASSERT_TRUE(Until([&] {
        return PlayedSamples(*a.Headset()) > 4000 && PlayedSamples(*b.Headset()) > 4000;
    })) << PlayedSamples(*a.Headset())
        << " " << PlayedSamples(*b.Headset());

    ASSERT_TRUE(a.engine.HangUpLandLine());
    Deliver();
    EXPECT_EQ(a.engine.GetLandLineState(0, "EDDF_TWR"), 1);
    EXPECT_EQ(b.engine.GetLandLineState(0, "EDDF_APP"), 1);
    EXPECT_TRUE(OrlexIsLinked(m, 4, 6));
    EXPECT_FALSE(OrlexIsLinked(m, 2, static_cast<int32_t>(a.engine.SpeakerCodec())));
}

TEST_F(EngineTest, LandLineStateTable) {
    struct Step {
        const char* name;
        std::function<void()> act;
        int aState;  // A's view of B, for the kind in the row
        int bState;
        int kind;
    };
    const Step steps[] = {
        {"override call", [&] { EXPECT_TRUE(a.engine.PlaceLandLineCall(1, "EDDF_TWR")); }, 3, 1, 1},
        {"a second override is refused", [&] { EXPECT_FALSE(a.engine.PlaceLandLineCall(1, "EDDF_TWR")); }, 3,
         1, 1},
        {"answered at once", [&] { Deliver(); }, 6, 5, 1},
        {"monitor call", [&] { EXPECT_TRUE(a.engine.PlaceLandLineCall(2, "EDDF_TWR")); }, 3, 1, 2},
        {"monitor answered", [&] { Deliver(); }, 6, 5, 2},
        {"intercom does not end the override",
         [&] { EXPECT_TRUE(a.engine.PlaceLandLineCall(0, "EDDF_TWR")); }, 6, 5, 1},
        {"intercom rings", [&] { Deliver(); }, 3, 2, 0},
        {"hold with none active is refused", [&] { EXPECT_FALSE(b.engine.HoldLandLine()); }, 3, 2, 0},
        {"accepted",
         [&] {
             EXPECT_TRUE(b.engine.AcceptLandLineCall("EDDF_APP"));
             Deliver();
         },
         4, 4, 0},
        {"held", [&] { EXPECT_TRUE(b.engine.HoldLandLine()); }, 4, 7, 0},
        {"resumed", [&] { EXPECT_TRUE(b.engine.ResumeLandLine("EDDF_APP")); }, 4, 4, 0},
        {"all ended",
         [&] {
             a.engine.EndAllLandLines();
             Deliver();
         },
         1, 1, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        EXPECT_EQ(a.engine.GetLandLineState(s.kind, "EDDF_TWR"), s.aState);
        EXPECT_EQ(b.engine.GetLandLineState(s.kind, "EDDF_APP"), s.bState);
    }
    for (int kind : {1, 2}) EXPECT_EQ(b.engine.GetLandLineState(kind, "EDDF_APP"), 1);
}

TEST_F(EngineTest, RepeatedOverrideCallLeavesOneLinkOnTheMicrophone) {
    for (int i = 0; i < 2; ++i) b.engine.OnLandLineMessage("EDDF_APP", 0, 1, "127.0.0.1", a.engine.UdpPort());
    auto m = b.engine.Mixer();
    int hotMicLinks = 0;
    for (OrlexHandle h = 0x100; h < 0x400; ++h)
        if (OrlexIsLinked(m, NoltVoiceEngine::kHotMicBus, static_cast<int32_t>(h))) ++hotMicLinks;
    EXPECT_EQ(hotMicLinks, 1);
}

TEST_F(EngineTest, UnexpectedAnswersAndRefusals) {
    b.engine.OnLandLineMessage("EDDF_APP", 1, 0, "127.0.0.1", 1);
    EXPECT_EQ(b.host.sent, std::vector<std::string>{"0:EDDF_APP:3:0"}) << "an answer to no call is ended";
    a.host.publicIp.clear();
    EXPECT_FALSE(a.engine.PlaceLandLineCall(0, "EDDF_TWR"));
    b.engine.OnAtisLandLineMessage("X", 0, 0, "127.0.0.1", 1);
    EXPECT_EQ(b.host.sent.back(), "1:X:3:0");
}

TEST_F(EngineTest, AtisBroadcastStatesAndTheServerClosingIt) {
    TempDir dir;
    StartServer();
    std::string path = dir.File("voxatis_a.dat");
    a.engine.StartAtisRecording(path);
    a.engine.SetPushToTalk(false);
    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000, 64));
    a.devices.InputCard(0)->Feed(speech.data(), speech.size());
    ASSERT_TRUE(Until([&] { return a.devices.InputCard(0)->CaptureQueued() < 2400; }));
    EXPECT_TRUE(a.engine.IsAtisRecording()) << "recording runs without push-to-talk";
    a.engine.StopAtisRecording();
    EXPECT_FALSE(a.engine.IsAtisBroadcastActive());
    a.engine.StopAtisBroadcast();
    EXPECT_EQ(a.engine.AtisChannelState(), kRoomIdle) << "stopping when idle changes nothing";
    a.engine.StartAtisBroadcast(Room("EDDF_ATIS"), "EDDF_ATIS", path);
    EXPECT_EQ(a.engine.AtisChannelState(), kRoomJoining);
    EXPECT_TRUE(a.engine.IsAtisPlaying());
    a.engine.StartAtisBroadcast(Room("OTHER"), "EDDF_ATIS", path);
    ASSERT_TRUE(Until([&] { return a.engine.AtisChannelState() == kRoomConnected; }));
    EXPECT_EQ(server->ReachableMembers("OTHER"), 0) << "a second start while joining changed nothing";
    server->CloseRoom("EDDF_ATIS");
    ASSERT_TRUE(Until([&] { return a.engine.AtisChannelState() == kRoomIdle; }));
    a.engine.StartAtisBroadcast(Room("EDDF_ATIS"), "EDDF_ATIS", path);
    EXPECT_EQ(a.engine.AtisChannelState(), kRoomJoining) << "a new broadcast may start after the close";
    a.engine.StopAtisBroadcast();
    EXPECT_EQ(a.engine.AtisChannelState(), kRoomLeaving);
    EXPECT_FALSE(a.engine.IsAtisPlaying());
}

TEST_F(EngineTest, MicrophoneTestPlaysBackOnceOnHeadsetAndSpeaker) {
    TempDir dir;
    a.engine.StartMicTestRecording(dir.File("audiotest.dat"));
    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000, 64));
    a.devices.InputCard(0)->Feed(speech.data(), speech.size());
    // What is left is less than one coded block.
    ASSERT_TRUE(Until([&] { return a.devices.InputCard(0)->CaptureQueued() < 2400; }));
    a.engine.StopMicTestRecording();
    a.engine.StartMicTestPlayback();
    ASSERT_TRUE(Until([&] { return PlayedSamples(*a.Headset()) > 0 && PlayedSamples(*a.Speaker()) > 0; }));
    a.engine.StopMicTestPlayback();
    a.engine.StartNoiseMeasurement();
    a.engine.EndNoiseMeasurement();
    EXPECT_DOUBLE_EQ(a.engine.GetInputSquelch(), 1.0) << "no samples measured: the floor is 1";
    a.engine.SetInputSquelch(0);
    EXPECT_DOUBLE_EQ(a.engine.GetInputSquelch(), 1.0);
}

TEST_F(EngineTest, ReleasedHandlesAreNotReusedAndForgetTheirLinks) {
    const std::string address = "127.0.0.1:1/APP";
    a.engine.ToggleRoomReceive(1, address);
    OrlexHandle first = a.engine.RoomChannel(1, address);
    a.engine.CloseRoom(1);
    a.engine.ToggleRoomConnection(1, address);
    OrlexHandle second = a.engine.RoomChannel(1, address);
    EXPECT_NE(first, second);
    EXPECT_FALSE(
        OrlexIsLinked(a.engine.Mixer(), static_cast<int32_t>(first), NoltVoiceEngine::kAirGroundBus));
    EXPECT_EQ(a.engine.GetRoomStatus(1, address) & NoltVoiceEngine::kRoomReceiving, 0u);
}

}  // namespace
