// The communications entries: twelve radio positions stored in the profile
// and, for this session only, which one is primary and which ones are used
// for text transmit and receive and heard on the headset or the speaker.
// The model keeps the selections itself; the panel window mirrors them.
// Voice rooms are reached through CommsVoiceEngine, the rest of the program
// through CommsServices, so tests drive the model without either.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kCommsEntryCount = 12;

// Room status flags of the voice engine.
enum CommsRoomFlag : int {
    kRoomReceiving = 1,
    kRoomTransmitting = 2,
    kRoomStateJoining = 4,
    kRoomStateLeaving = 8,
    kRoomStateConnected = 16,
    kRoomAudioIn = 32,
    kRoomAudioOut = 64,
};

// GetRoomOutput answers.
inline constexpr int kRoomOutputHeadset = 1;
inline constexpr int kRoomOutputSpeaker = 2;

struct RoomKey {
    int32_t frequency = 0;  // kHz
    std::string room;       // server "/" channel
    bool operator==(const RoomKey&) const = default;
};

// What the panel needs of the voice engine.
class CommsVoiceEngine {
public:
    virtual ~CommsVoiceEngine() = default;
    virtual int GetRoomStatus(const RoomKey& key) const = 0;
    virtual int GetRoomOutput(const RoomKey& key) = 0;
    virtual void ToggleRoomTransmit(const RoomKey& key) = 0;
    virtual void ToggleRoomReceive(const RoomKey& key) = 0;
    virtual void ToggleRoomSpeaker(const RoomKey& key) = 0;
    virtual void ToggleRoomConnection(const RoomKey& key) = 0;
    virtual void CloseRoom(int32_t frequency) = 0;
    virtual void CloseAllRooms() = 0;
    virtual void SetPushToTalk(bool down) = 0;
    virtual void EndAllLandLines() = 0;
};

// The profile, the main display and the network client.
class CommsServices {
public:
    virtual ~CommsServices() = default;
    virtual int GetInt(const std::string& key) const = 0;
    virtual std::string GetString(const std::string& key) const = 0;
    virtual void SetInt(const std::string& key, int value) = 0;
    virtual void SetString(const std::string& key, const std::string& value) = 0;
    virtual void SetProfileModified() = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void RebuildMainButtonBar() = 0;
    virtual void ApplySettings() = 0;
    virtual bool IsConnected() const = 0;
    virtual void SendATCPosition() = 0;
};

enum class CommsRowKind { Primary, Name, Transmit, Receive, Headset, Speaker };

// The panel's control ids per entry and kind; 0 for an index out of range.
int CommsControlId(CommsRowKind kind, int index);
// The entry and kind of a control id; false for an id no row owns.
bool FindCommsControl(int id, CommsRowKind& kind, int& index);

// Frequency texts: "%07.3f" of MHz, and back to kHz with half-a-kHz rounding.
std::string FormatCommsFrequency(int32_t kHz);
int32_t ParseCommsFrequency(const std::string& text);

// The editor's four texts and the field a refused save points at.
enum class CommsEditorField { None, Name, Frequency, Server, Channel };

struct CommsEditorTexts {
    std::string name;
    std::string frequency;
    std::string server;
    std::string channel;
};

struct CommsSaveResult {
    bool saved = false;
    CommsEditorField field = CommsEditorField::None;
    std::string message;  // shown in a message box captioned "Error"
};

class CommsEntries {
public:
    struct Selection {
        bool primary = false;
        bool transmit = false;
        bool receive = false;
        bool headset = false;
        bool speaker = false;
        // TX and RX are locked while primary; HDST and SPKR while the room moves.
        bool transmitReceiveEnabled = true;
        bool voiceEnabled = true;
    };

    CommsEntries(CommsServices& services, CommsVoiceEngine& voice);

    // Stored entry texts.
    std::string GetName(int index) const;
    int32_t GetFrequency(int index) const;
    std::string GetServer(int index) const;
    std::string GetChannel(int index) const;
    RoomKey GetRoomKey(int index) const;

    const Selection& GetSelection(int index) const;
    int GetMuteMemory(int index) const;

    // Clears every selection for a new session and closes rooms and land lines.
    void Refresh();

    // The user flipped a box: the model sets it to `on` and applies the rules.
    void OnPrimaryClicked(int index, bool on);
    void OnTransmitClicked(int index, bool on);
    void OnReceiveClicked(int index, bool on);
    void OnHeadsetClicked(int index, bool on);
    void OnSpeakerClicked(int index, bool on);

    CommsSaveResult SaveEditedEntry(int index, const CommsEditorTexts& texts);

    bool ToggleEntry(int index);
    void UpdateVoiceState();
    void SyncVoiceCheckboxes();
    void ResetVoice();

    std::vector<int32_t> GetTXFrequencies() const;
    std::vector<int32_t> GetRXFrequencies() const;
    std::vector<int> GetRXEntries() const;
    int32_t GetPrimaryFrequency() const { return m_primaryFrequency; }
    bool IsEntryTXChecked(int index) const;
    bool IsEntryHDSTChecked(int index) const;
    bool IsEntryMuted(int index) const;
    bool IsEntryInUse(int index) const;
    bool IsEntryVoiceStateA(int index) const;
    bool IsEntryVoiceStateB(int index) const;
    bool IsFrequencyAssigned(int32_t kHz) const;
    bool IsVoiceChannelAssigned(const std::string& server, const std::string& channel) const;
    std::string GetPrimaryVoiceChannel() const;
    // Whether the editor may change the entry (only while its RX is clear).
    bool IsEditable(int index) const;

private:
    static bool Valid(int index) { return index >= 0 && index < kCommsEntryCount; }
    void ApplyEntryToVoice(int index);
    bool CheckVoiceSelection(int index, bool& box);
    void AfterVoiceChange(int index);

    CommsServices& m_services;
    CommsVoiceEngine& m_voice;
    std::array<Selection, kCommsEntryCount> m_selections{};
    std::array<int, kCommsEntryCount> m_muteMemory{};
    int32_t m_primaryFrequency = 0;
};
