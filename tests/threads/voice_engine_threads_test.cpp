// ThreadSanitizer test: two voice engines talk through the local voice server
// while their sound cards run on threads of their own, as PortAudio's
// callbacks do (capture into a ring, playback mixed from the streams), and the
// room's server name is looked up on a worker thread. The devices are the
// ring and mixer devices the PortAudio devices are built on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "melp_quality.h"
#include "platform/sound_hardware.h"
#include "platform/sound_stream_mixer.h"
#include "tools/voiceserver/voice_test_server.h"
#include "voice/voice_engine.h"

namespace {

constexpr size_t kRing = 24000;
constexpr int kStreams = 5;

// Each device runs its own thread while its stream is open, as a PortAudio
// stream runs its callback: every 5 ms capture takes 40 samples (the speech
// while `talking`, else silence) and playback renders 40 mixed samples.
class DeviceThread {
public:
    explicit DeviceThread(std::function<void()> period) {
        m_thread = std::thread([this, period] {
            while (!m_stop.load()) {
                period();
                usleep(5000);
            }
        });
    }
    ~DeviceThread() {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Card {
    std::vector<int16_t> speech;
    std::atomic<bool> talking{false};
    std::atomic<long> headsetLoudness{0};
};

class ThreadedIn final : public RingInSoundHardware {
public:
    explicit ThreadedIn(Card& card) : RingInSoundHardware(kRing), m_card(card) {}
    ~ThreadedIn() override { Close(); }
    bool Open() override {
        if (!m_thread) {
            m_thread = std::make_unique<DeviceThread>([this] {
                int16_t in[40];
                for (int16_t& s : in)
                    s = m_card.talking.load() ? m_card.speech[m_position++ % m_card.speech.size()] : 0;
                Capture(in, 40);
            });
        }
        return RingInSoundHardware::Open();
    }
    void Close() override {
        m_thread.reset();
        RingInSoundHardware::Close();
    }

private:
    Card& m_card;
    size_t m_position = 0;  // the device thread's
    std::unique_ptr<DeviceThread> m_thread;
};

class ThreadedOut final : public MixingOutSoundHardware {
public:
    ThreadedOut(Card& card, bool headset) : MixingOutSoundHardware(kStreams, kRing) {
        m_thread = std::make_unique<DeviceThread>([this, &card, headset] {
            int16_t out[40];
            Render(out, 40);
            long sum = 0;
            for (int16_t s : out) sum += s < 0 ? -s : s;
            if (headset) card.headsetLoudness += sum;
        });
        SetRunning(true);
    }
    ~ThreadedOut() override { m_thread.reset(); }

private:
    std::unique_ptr<DeviceThread> m_thread;
};

class ThreadedProvider final : public SoundDeviceProvider {
public:
    explicit ThreadedProvider(Card& card) : m_card(card) {}
    std::vector<std::string> InputDeviceNames() override { return {"mic"}; }
    std::vector<std::string> OutputDeviceNames() override { return {"headset", "speaker"}; }
    std::unique_ptr<CInSoundHardware> CreateInput(double, uint16_t) override {
        return std::make_unique<ThreadedIn>(m_card);
    }
    std::unique_ptr<COutSoundHardware> CreateOutput(int, double, uint16_t index) override {
        return std::make_unique<ThreadedOut>(m_card, index != 1);
    }

private:
    Card& m_card;
};

class QuietHost final : public VoiceEngineHost {
public:
    explicit QuietHost(std::string callsign) : m_callsign(std::move(callsign)) {}
    std::string Callsign() const override { return m_callsign; }
    std::string Cid() const override { return "1"; }
    std::string PublicIp() const override { return "127.0.0.1"; }
    std::string AtisName() const override { return m_callsign + "_ATIS"; }
    void SendLandLine(int, const std::string&, int, int, const std::string&, int) override {}
    void PlayCue(const std::string&) override {}
    void LandLinesChanged() override {}

private:
    std::string m_callsign;
};

// The look-up runs on the resolver's worker thread.
uint32_t Loopback(const std::string& host) {
    usleep(2000);
    return host == "voice.local" ? 0x7F000001u : 0;
}

struct Side {
    Side(const std::string& callsign, std::vector<int16_t> speech)
        : card(std::move(speech)),
          devices(card),
          host(callsign),
          engine(VoiceEngineSetup{&devices, &host, 0, Loopback}) {
        engine.SetInputDevice(0);
        engine.SetHeadsetDevice(0);
        engine.SetSpeakerDevice(1);
    }
    Card card;
    ThreadedProvider devices;
    QuietHost host;
    NoltVoiceEngine engine;
};

}  // namespace

TEST(VoiceEngineThreads, PushToTalkIsHeardWhileTheCardsRunOnTheirOwnThreads) {
    VoiceTestServer server;
    ASSERT_TRUE(server.Start(0, true));
    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000, 64, 700, 1200, 0.3));
    Side a("EDDF_APP", speech);
    Side b("EDDF_TWR", speech);
    const std::string room = "voice.local:" + std::to_string(server.Port()) + "/EDDF_TWR";
    for (Side* s : {&a, &b}) {
        s->engine.ToggleRoomReceive(118700, room);
        s->engine.ToggleRoomTransmit(118700, room);
        s->engine.ToggleRoomConnection(118700, room);
    }
    auto until = [&](const std::function<bool()>& done) {
        for (int i = 0; i < 1500; ++i) {
            server.Poll();
            a.engine.Tick();
            b.engine.Tick();
            if (done()) return true;
            usleep(4000);
        }
        return false;
    };
    ASSERT_TRUE(until([&] {
        return a.engine.GetRoomState(118700, room) == kRoomConnected &&
               b.engine.GetRoomState(118700, room) == kRoomConnected &&
               server.ReachableMembers("EDDF_TWR") == 2;
    }));
    long before = b.card.headsetLoudness.load();
    a.engine.SetPushToTalk(true);
    a.card.talking = true;
    EXPECT_TRUE(until([&] { return b.card.headsetLoudness.load() - before > 8000L * 500; }))
        << "B's headset thread played A's speech";
    a.card.talking = false;
    a.engine.SetPushToTalk(false);
}
