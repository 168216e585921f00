#include "tools/comms_entries.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

class FakeCommsServices : public CommsServices {
public:
    std::map<std::string, int> ints;
    std::map<std::string, std::string> strings;
    bool connected = true;
    std::vector<std::string> errors;
    int modified = 0;

    int GetInt(const std::string& key) const override {
        auto it = ints.find(key);
        return it == ints.end() ? 0 : it->second;
    }
    std::string GetString(const std::string& key) const override {
        auto it = strings.find(key);
        return it == strings.end() ? std::string() : it->second;
    }
    void SetInt(const std::string& key, int value) override { ints[key] = value; }
    void SetString(const std::string& key, const std::string& value) override { strings[key] = value; }
    void SetProfileModified() override { ++modified; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void RebuildMainButtonBar() override {}
    void ApplySettings() override {}
    bool IsConnected() const override { return connected; }
    void SendATCPosition() override {}

    void SetEntry(int i, int kHz, const std::string& server = "voice.example.net",
                  const std::string& channel = "ab_ctr") {
        ints["CommsEntryFreq" + std::to_string(i)] = kHz;
        strings["CommsEntryVoxServer" + std::to_string(i)] = server;
        strings["CommsEntryVoxChan" + std::to_string(i)] = channel;
    }
};

// Rooms by key with the flags a scripted engine reports; toggles move them
// the way the panel expects: connection joins straight to connected.
class FakeVoice : public CommsVoiceEngine {
public:
    struct Room {
        int status = 0;
        int output = kRoomOutputHeadset;
    };
    std::map<std::string, Room> rooms;
    std::vector<int32_t> closed;
    int closeAll = 0;

    static std::string Name(const RoomKey& k) { return std::to_string(k.frequency) + "@" + k.room; }
    int GetRoomStatus(const RoomKey& k) const override {
        auto it = rooms.find(Name(k));
        return it == rooms.end() ? 0 : it->second.status;
    }
    int GetRoomOutput(const RoomKey& k) override { return rooms[Name(k)].output; }
    void ToggleRoomTransmit(const RoomKey& k) override { rooms[Name(k)].status ^= kRoomTransmitting; }
    void ToggleRoomReceive(const RoomKey& k) override { rooms[Name(k)].status ^= kRoomReceiving; }
    void ToggleRoomSpeaker(const RoomKey& k) override {
        Room& r = rooms[Name(k)];
        r.output = r.output == kRoomOutputHeadset ? kRoomOutputSpeaker : kRoomOutputHeadset;
    }
    void ToggleRoomConnection(const RoomKey& k) override { rooms[Name(k)].status ^= kRoomStateConnected; }
    void CloseRoom(int32_t frequency) override { closed.push_back(frequency); }
    void CloseAllRooms() override { ++closeAll; }
    void SetPushToTalk(bool) override {}
    void EndAllLandLines() override {}
};

struct CommsFixture : ::testing::Test {
    FakeCommsServices services;
    FakeVoice voice;
    CommsEntries entries{services, voice};
};

TEST(CommsControlIds, EveryIdNamesExactlyOneEntryAndKind) {
    const CommsRowKind kinds[] = {CommsRowKind::Primary, CommsRowKind::Name,    CommsRowKind::Transmit,
                                  CommsRowKind::Receive, CommsRowKind::Headset, CommsRowKind::Speaker};
    std::set<int> seen;
    for (CommsRowKind kind : kinds) {
        for (int i = 0; i < kCommsEntryCount; ++i) {
            const int id = CommsControlId(kind, i);
            EXPECT_TRUE(seen.insert(id).second) << id;
            CommsRowKind foundKind{};
            int foundIndex = -1;
            ASSERT_TRUE(FindCommsControl(id, foundKind, foundIndex));
            EXPECT_EQ(foundKind, kind);
            EXPECT_EQ(foundIndex, i);
        }
    }
    EXPECT_EQ(seen.size(), 72u);
    // The irregular rows of the dialog.
    EXPECT_EQ(CommsControlId(CommsRowKind::Transmit, 2), 1030);
    EXPECT_EQ(CommsControlId(CommsRowKind::Receive, 1), 1034);
    EXPECT_EQ(CommsControlId(CommsRowKind::Headset, 1), 1033);
    EXPECT_EQ(CommsControlId(CommsRowKind::Headset, 2), 1031);
    EXPECT_EQ(CommsControlId(CommsRowKind::Name, 3), 1038);
    EXPECT_EQ(CommsControlId(CommsRowKind::Primary, 11), 1083);
    EXPECT_EQ(CommsControlId(CommsRowKind::Speaker, 0), 1090);
    EXPECT_EQ(CommsControlId(CommsRowKind::Speaker, 12), 0);
    CommsRowKind kind{};
    int index = 0;
    EXPECT_FALSE(FindCommsControl(1084, kind, index));  // the editor's name field
    EXPECT_FALSE(FindCommsControl(1102, kind, index));
}

TEST_F(CommsFixture, SaveValidationTable) {
    services.ints["VoxATISFreq"] = 128000;
    services.strings["VoxATISServer"] = "vox.example.net";
    services.strings["ATISMakerICAO"] = "EGLL";
    services.SetEntry(5, 121700);
    struct Case {
        CommsEditorTexts texts;
        CommsEditorField field;  // None: saved
        int32_t stored;
    };
    const std::string s255(255, 's');
    const Case cases[] = {
        {{"LON_CTR", "118.275", "", ""}, CommsEditorField::None, 118275},
        {{"", "000.000", "", ""}, CommsEditorField::None, 0},
        {{"Twelve chars", "118.300", "", ""}, CommsEditorField::None, 118300},
        {{"Thirteen char", "118.300", "", ""}, CommsEditorField::Name, 0},
        {{"bad!name", "118.300", "", ""}, CommsEditorField::Name, 0},
        {{"n", "118.3", "", ""}, CommsEditorField::Frequency, 0},
        {{"n", "099.000", "", ""}, CommsEditorField::Frequency, 0},
        {{"n", "1180.00", "", ""}, CommsEditorField::Frequency, 0},
        {{"n", "", "", ""}, CommsEditorField::Frequency, 0},
        {{"n", "118.3000", "", ""}, CommsEditorField::Frequency, 0},
        {{"n", "118.300", "bad host", ""}, CommsEditorField::Server, 0},
        {{"n", "118.300", s255, s255}, CommsEditorField::None, 118300},
        {{"n", "118.300", s255 + "s", ""}, CommsEditorField::Server, 0},
        {{"n", "118.300", "abc", "ch/1"}, CommsEditorField::Channel, 0},
        {{"n", "128.000", "", ""}, CommsEditorField::Frequency, 0},  // voice ATIS frequency
        {{"n", "121.700", "", ""}, CommsEditorField::Frequency, 0},  // entry 5 holds it
        {{"n", "118.300", "vox.example.net", "EGLL_ATIS"}, CommsEditorField::Channel, 0},
        {{"n", "118.300", "vox.example.net", "egll_atis"}, CommsEditorField::None, 118300},
    };
    for (const Case& c : cases) {
        services.ints["CommsEntryFreq0"] = 0;
        const CommsSaveResult result = entries.SaveEditedEntry(0, c.texts);
        SCOPED_TRACE(c.texts.name + "|" + c.texts.frequency + "|" + c.texts.server.substr(0, 20) + "|" +
                     c.texts.channel.substr(0, 20));
        EXPECT_EQ(result.saved, c.field == CommsEditorField::None);
        EXPECT_EQ(result.field, c.field);
        EXPECT_EQ(result.message.empty(), result.saved);
        EXPECT_EQ(entries.GetFrequency(0), c.stored);
        if (result.saved) {
            EXPECT_EQ(entries.GetName(0), c.texts.name);
        }
    }
    // The entry being edited may keep its own frequency.
    EXPECT_TRUE(entries.SaveEditedEntry(5, {"", "121.700", "", ""}).saved);
}

TEST_F(CommsFixture, RefusedSaveStoresNothingAndClosesNoRoom) {
    services.SetEntry(0, 118300);
    const CommsSaveResult result = entries.SaveEditedEntry(0, {"x", "99", "", ""});
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(entries.GetFrequency(0), 118300);
    EXPECT_TRUE(voice.closed.empty());
    EXPECT_EQ(services.modified, 0);
}

TEST_F(CommsFixture, SavingAnEditedEntryClosesTheOldFrequencysRoom) {
    services.SetEntry(2, 118300);
    ASSERT_TRUE(entries.SaveEditedEntry(2, {"APP", "119.100", "voice.example.net", "ab_ctr"}).saved);
    ASSERT_EQ(voice.closed.size(), 1u);
    EXPECT_EQ(voice.closed[0], 118300);
    EXPECT_EQ(entries.GetFrequency(2), 119100);
    EXPECT_EQ(services.modified, 1);
}

TEST(CommsFrequencyText, FormatsAndParsesKilohertz) {
    EXPECT_EQ(FormatCommsFrequency(118300), "118.300");
    EXPECT_EQ(FormatCommsFrequency(0), "000.000");
    EXPECT_EQ(ParseCommsFrequency("118.275"), 118275);
    EXPECT_EQ(ParseCommsFrequency("121.005"), 121005);
}

TEST_F(CommsFixture, SelectionsRefusedWithoutFrequencyConnectionOrChannel) {
    services.SetEntry(1, 118300, "abc", "chan");
    services.SetEntry(2, 118400);
    entries.OnTransmitClicked(0, true);
    entries.OnHeadsetClicked(1, true);
    services.connected = false;
    entries.OnSpeakerClicked(2, true);
    EXPECT_EQ(services.errors, (std::vector<std::string>{"No frequency specified.",
                                                         "No voice channel specified.", "Not connected."}));
    EXPECT_FALSE(entries.GetSelection(0).transmit);
    EXPECT_FALSE(entries.GetSelection(1).headset);
    EXPECT_FALSE(entries.GetSelection(2).speaker);
}

TEST_F(CommsFixture, NewPrimaryReleasesTheOldOne) {
    services.SetEntry(1, 118300);
    services.SetEntry(3, 119100);
    entries.OnPrimaryClicked(1, true);
    entries.OnPrimaryClicked(3, true);
    EXPECT_FALSE(entries.GetSelection(1).primary);
    EXPECT_TRUE(entries.GetSelection(1).transmitReceiveEnabled);
    EXPECT_TRUE(entries.GetSelection(1).transmit);
    EXPECT_TRUE(entries.GetSelection(1).receive);
    EXPECT_FALSE(entries.GetSelection(3).transmitReceiveEnabled);
    EXPECT_EQ(entries.GetPrimaryFrequency(), 119100);
    EXPECT_EQ(entries.GetRXFrequencies(), (std::vector<int32_t>{118300, 119100, 121500, 149999}));
    entries.OnPrimaryClicked(3, false);
    EXPECT_EQ(entries.GetPrimaryFrequency(), 0);
}

TEST_F(CommsFixture, RandomClicksKeepTheInvariants) {
    for (int i = 0; i < kCommsEntryCount; ++i) {
        if (i % 4 == 3) continue;  // some entries without frequency
        services.SetEntry(i, 118000 + 25 * i, i % 4 == 2 ? "ab" : "voice.example.net",
                          "room" + std::to_string(i));
    }
    std::mt19937 random(20261211u);
    for (int step = 0; step < 20000; ++step) {
        const int index = static_cast<int>(random() % kCommsEntryCount);
        const int what = static_cast<int>(random() % 7);
        services.connected = random() % 10 != 0;
        const CommsEntries::Selection& s = entries.GetSelection(index);
        switch (what) {
            case 0:
                entries.OnPrimaryClicked(index, !s.primary);
                break;
            case 1:
                entries.OnTransmitClicked(index, !s.transmit);
                break;
            case 2:
                entries.OnReceiveClicked(index, !s.receive);
                break;
            case 3:
                entries.OnHeadsetClicked(index, !s.headset);
                break;
            case 4:
                entries.OnSpeakerClicked(index, !s.speaker);
                break;
            case 5:
                entries.ToggleEntry(index);
                break;
            default:
                entries.UpdateVoiceState();
                break;
        }
        int primaries = 0;
        for (int i = 0; i < kCommsEntryCount; ++i) {
            const CommsEntries::Selection& e = entries.GetSelection(i);
            SCOPED_TRACE("step " + std::to_string(step) + " entry " + std::to_string(i));
            if (e.primary) {
                ++primaries;
                ASSERT_TRUE(e.transmit && e.receive);
                ASSERT_FALSE(e.transmitReceiveEnabled);
                ASSERT_EQ(entries.GetPrimaryFrequency(), entries.GetFrequency(i));
            } else {
                ASSERT_TRUE(e.transmitReceiveEnabled);
            }
            ASSERT_FALSE(e.transmit && !e.receive);
            ASSERT_FALSE(e.headset && e.speaker);
            ASSERT_FALSE((e.headset || e.speaker) && !e.receive);
            if (entries.GetFrequency(i) == 0) {
                ASSERT_FALSE(e.primary || e.transmit || e.receive);
            }
            if (entries.IsEntryMuted(i)) {
                ASSERT_FALSE(e.headset || e.speaker);
            }
        }
        ASSERT_LE(primaries, 1);
        if (primaries == 0) {
            ASSERT_EQ(entries.GetPrimaryFrequency(), 0);
        }
    }
}

TEST_F(CommsFixture, MutingOnTheSpeakerRejoinsOnTheSpeaker) {
    services.SetEntry(4, 118300);
    entries.OnSpeakerClicked(4, true);
    const RoomKey key = entries.GetRoomKey(4);
    EXPECT_EQ(key.room, "voice.example.net/ab_ctr");
    EXPECT_EQ(voice.GetRoomOutput(key), kRoomOutputSpeaker);
    EXPECT_NE(voice.GetRoomStatus(key) & kRoomStateConnected, 0);
    EXPECT_TRUE(entries.ToggleEntry(4));
    EXPECT_TRUE(entries.IsEntryMuted(4));
    EXPECT_TRUE(entries.IsEntryInUse(4));
    EXPECT_EQ(voice.GetRoomStatus(key) & kRoomStateConnected, 0);
    EXPECT_FALSE(entries.ToggleEntry(4));
    EXPECT_TRUE(entries.GetSelection(4).speaker);
    EXPECT_FALSE(entries.GetSelection(4).headset);
    EXPECT_NE(voice.GetRoomStatus(key) & kRoomStateConnected, 0);
}

TEST_F(CommsFixture, HeadsetClickOnAJoiningRoomIsPutBack) {
    services.SetEntry(0, 118300);
    voice.rooms[FakeVoice::Name(entries.GetRoomKey(0))].status = kRoomStateJoining;
    entries.OnHeadsetClicked(0, true);
    EXPECT_FALSE(entries.GetSelection(0).headset);
    EXPECT_TRUE(entries.GetSelection(0).receive);  // the rest still ran
    entries.OnSpeakerClicked(0, true);
    EXPECT_TRUE(entries.GetSelection(0).speaker);  // never put back
}

TEST_F(CommsFixture, DroppedRoomClearsTheSelectionOnTheNextTick) {
    services.SetEntry(0, 118300);
    entries.OnHeadsetClicked(0, true);
    voice.rooms[FakeVoice::Name(entries.GetRoomKey(0))].status = 0;
    entries.UpdateVoiceState();
    EXPECT_FALSE(entries.GetSelection(0).headset);
}

TEST_F(CommsFixture, QueriesAboutChannelsAndPrimary) {
    services.SetEntry(0, 118300, "Vox.Example.net", "Room");
    EXPECT_TRUE(entries.IsVoiceChannelAssigned("vox.example.NET", "room"));
    EXPECT_TRUE(entries.IsFrequencyAssigned(118300));
    EXPECT_TRUE(entries.IsFrequencyAssigned(0));
    entries.OnPrimaryClicked(0, true);
    EXPECT_EQ(entries.GetPrimaryVoiceChannel(), "");
    entries.OnHeadsetClicked(0, true);
    EXPECT_EQ(entries.GetPrimaryVoiceChannel(), "Vox.Example.net/Room");
    EXPECT_FALSE(entries.IsEntryTXChecked(12));
    EXPECT_FALSE(entries.IsEditable(0));
    entries.SyncVoiceCheckboxes();
    EXPECT_FALSE(entries.GetSelection(0).headset);
    EXPECT_TRUE(entries.GetSelection(0).primary);
    EXPECT_EQ(entries.GetTXFrequencies(), (std::vector<int32_t>{118300}));
}

}  // namespace
