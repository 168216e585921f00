// ThreadSanitizer test: two voice engines talk through the local voice server
// while their sound cards run on threads of their own, as PortAudio's
// callbacks do (capture into a ring, playback mixed from the streams), and the
// room's server name is looked up on a worker thread.
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

// One card: a device thread that every 5 ms captures 40 samples (the
// speech while `talking`, else silence) and plays 40 mixed samples.
class ThreadedCard {
public:
    explicit ThreadedCard(std::vector<int16_t> speech) : m_speech(std::move(speech)) {
        m_thread = std::thread([this] { Run(); });
    }
    ~ThreadedCard() {
        m_stop = true;
        m_thread.join();
    }
    SampleRing& Capture() { return m_capture; }
    SoundStreamMixer& Playback(size_t output) { return output == 0 ? m_headset : m_speaker; }
    long HeadsetLoudness() const { return m_loudness.load(); }
    std::atomic<bool> talking{false};

private:
    void Run() {
        std::vector<int16_t> in(40), out(40);
        size_t position = 0;
        while (!m_stop.load()) {
            for (int16_t& s : in) {
                s = talking.load() ? m_speech[position++ % m_speech.size()] : 0;
            }
            m_capture.Push(in.data(), in.size());
            m_headset.Mix(out.data(), out.size());
            long sum = 0;
            for (int16_t s : out) sum += s < 0 ? -s : s;
            m_loudness += sum;
            m_speaker.Mix(out.data(), out.size());
            usleep(5000);
        }
    }

    std::vector<int16_t> m_speech;
    SampleRing m_capture{kRing};
    SoundStreamMixer m_headset{kStreams, kRing};
    SoundStreamMixer m_speaker{kStreams, kRing};
    std::atomic<long> m_loudness{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class RingIn final : public CInSoundHardware {
public:
    explicit RingIn(SampleRing& ring) : m_ring(ring) {}
    bool Open() override { return m_open = true; }
    void Close() override { m_open = false; }
    int Available() override { return m_open ? static_cast<int>(m_ring.Queued() * 2) : 0; }
    int Read(int bytes, void* destination) override {
        return static_cast<int>(
            m_ring.Pop(static_cast<int16_t*>(destination), static_cast<size_t>(bytes / 2)) * 2);
    }
    void Discard() override { m_ring.Clear(); }
    bool IsOpen() const override { return m_open; }

private:
    SampleRing& m_ring;
    bool m_open = false;
};

class MixerOut final : public COutSoundHardware {
public:
    explicit MixerOut(SoundStreamMixer& mixer) : m_mixer(mixer) {}
    int StreamCount() const override { return m_mixer.StreamCount(); }
    int Write(uint32_t stream, int16_t* samples, int bytes) override {
        return m_mixer.Write(stream, samples, static_cast<size_t>(bytes / 2)) ? bytes : 0;
    }
    bool IsPlaying(uint32_t stream) const override { return m_mixer.IsPlaying(stream); }
    void EndStream(uint32_t) override {}
    void Stop(uint32_t stream) override { m_mixer.Stop(stream); }
    void SetVolume(int16_t) override {}
    bool IsOpen() const override { return true; }

private:
    SoundStreamMixer& m_mixer;
};

class ThreadedProvider final : public SoundDeviceProvider {
public:
    explicit ThreadedProvider(ThreadedCard& card) : m_card(card) {}
    std::vector<std::string> InputDeviceNames() override { return {"mic"}; }
    std::vector<std::string> OutputDeviceNames() override { return {"headset", "speaker"}; }
    std::unique_ptr<CInSoundHardware> CreateInput(double, uint16_t) override {
        return std::make_unique<RingIn>(m_card.Capture());
    }
    std::unique_ptr<COutSoundHardware> CreateOutput(int, double, uint16_t index) override {
        return std::make_unique<MixerOut>(m_card.Playback(index == 1 ? 1 : 0));
    }

private:
    ThreadedCard& m_card;
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
    ThreadedCard card;
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
    long before = b.card.HeadsetLoudness();
    a.engine.SetPushToTalk(true);
    a.card.talking = true;
    EXPECT_TRUE(until([&] { return b.card.HeadsetLoudness() - before > 8000L * 500; }))
        << "B's headset thread played A's speech";
    a.card.talking = false;
    a.engine.SetPushToTalk(false);
}
