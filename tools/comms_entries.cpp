#include "tools/comms_entries.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/regex_match.h"
#include "foundation/text_helpers.h"

namespace {

// Name, TX, RX and HDST ids were laid out by hand in the dialog, hence the gaps.
constexpr std::array<int, kCommsEntryCount> kNameIds = {1024, 1028, 1032, 1038, 1042, 1046,
                                                        1050, 1054, 1058, 1062, 1066, 1070};
constexpr std::array<int, kCommsEntryCount> kTransmitIds = {1025, 1029, 1030, 1036, 1040, 1044,
                                                            1048, 1052, 1056, 1060, 1064, 1068};
constexpr std::array<int, kCommsEntryCount> kReceiveIds = {1027, 1034, 1035, 1039, 1043, 1047,
                                                           1051, 1055, 1059, 1063, 1067, 1071};
constexpr std::array<int, kCommsEntryCount> kHeadsetIds = {1026, 1033, 1031, 1037, 1041, 1045,
                                                           1049, 1053, 1057, 1061, 1065, 1069};

const char* const kNoFrequency = "No frequency specified.";

std::string Key(const char* stem, int index) { return stem + std::to_string(index); }

}  // namespace

int CommsControlId(CommsRowKind kind, int index) {
    if (index < 0 || index >= kCommsEntryCount) return 0;
    const auto i = static_cast<size_t>(index);
    switch (kind) {
        case CommsRowKind::Primary:
            return 1072 + index;
        case CommsRowKind::Name:
            return kNameIds[i];
        case CommsRowKind::Transmit:
            return kTransmitIds[i];
        case CommsRowKind::Receive:
            return kReceiveIds[i];
        case CommsRowKind::Headset:
            return kHeadsetIds[i];
        case CommsRowKind::Speaker:
            return 1090 + index;
    }
    return 0;
}

bool FindCommsControl(int id, CommsRowKind& kind, int& index) {
    static constexpr CommsRowKind kinds[] = {CommsRowKind::Primary,  CommsRowKind::Name,
                                             CommsRowKind::Transmit, CommsRowKind::Receive,
                                             CommsRowKind::Headset,  CommsRowKind::Speaker};
    for (CommsRowKind k : kinds) {
        for (int i = 0; i < kCommsEntryCount; ++i) {
            if (CommsControlId(k, i) == id) {
                kind = k;
                index = i;
                return true;
            }
        }
    }
    return false;
}

std::string FormatCommsFrequency(int32_t kHz) {
    char text[32];
    std::snprintf(text, sizeof text, "%07.3f", kHz / 1000.0);
    return text;
}

int32_t ParseCommsFrequency(const std::string& text) {
    return static_cast<int32_t>((std::strtod(text.c_str(), nullptr) + 0.0005) * 1000.0);
}

CommsEntries::CommsEntries(CommsServices& services, CommsVoiceEngine& voice)
    : m_services(services), m_voice(voice) {}

std::string CommsEntries::GetName(int index) const {
    return Valid(index) ? m_services.GetString(Key("CommsEntryName", index)) : std::string();
}
int32_t CommsEntries::GetFrequency(int index) const {
    return Valid(index) ? m_services.GetInt(Key("CommsEntryFreq", index)) : 0;
}
std::string CommsEntries::GetServer(int index) const {
    return Valid(index) ? m_services.GetString(Key("CommsEntryVoxServer", index)) : std::string();
}
std::string CommsEntries::GetChannel(int index) const {
    return Valid(index) ? m_services.GetString(Key("CommsEntryVoxChan", index)) : std::string();
}
RoomKey CommsEntries::GetRoomKey(int index) const {
    return {GetFrequency(index), GetServer(index) + "/" + GetChannel(index)};
}

const CommsEntries::Selection& CommsEntries::GetSelection(int index) const {
    static const Selection none;
    return Valid(index) ? m_selections[static_cast<size_t>(index)] : none;
}

int CommsEntries::GetMuteMemory(int index) const {
    return Valid(index) ? m_muteMemory[static_cast<size_t>(index)] : 0;
}

void CommsEntries::Refresh() {
    m_voice.CloseAllRooms();
    m_voice.EndAllLandLines();
    m_selections.fill(Selection{});
    m_muteMemory.fill(0);
    m_primaryFrequency = 0;
}

void CommsEntries::OnPrimaryClicked(int index, bool on) {
    if (!Valid(index)) return;
    Selection& s = m_selections[static_cast<size_t>(index)];
    s.primary = on;
    if (on && GetFrequency(index) == 0) {
        s.primary = false;
        m_services.ShowError(kNoFrequency);
        return;
    }
    if (on) {
        for (int i = 0; i < kCommsEntryCount; ++i) {
            if (i == index) continue;
            m_selections[static_cast<size_t>(i)].primary = false;
            m_selections[static_cast<size_t>(i)].transmitReceiveEnabled = true;
        }
        s.transmit = true;
        s.receive = true;
        s.transmitReceiveEnabled = false;
        m_primaryFrequency = GetFrequency(index);
        ApplyEntryToVoice(index);
        m_services.RebuildMainButtonBar();
    } else {
        s.transmitReceiveEnabled = true;
        m_primaryFrequency = 0;
    }
    m_services.ApplySettings();
    m_services.SendATCPosition();
}

void CommsEntries::OnTransmitClicked(int index, bool on) {
    if (!Valid(index)) return;
    Selection& s = m_selections[static_cast<size_t>(index)];
    if (!s.transmitReceiveEnabled) return;  // locked while primary
    s.transmit = on;
    if (GetFrequency(index) == 0) {
        s.transmit = false;
        m_services.ShowError(kNoFrequency);
        return;
    }
    if (on) s.receive = true;
    AfterVoiceChange(index);
}

void CommsEntries::OnReceiveClicked(int index, bool on) {
    if (!Valid(index)) return;
    Selection& s = m_selections[static_cast<size_t>(index)];
    if (!s.transmitReceiveEnabled) return;
    s.receive = on;
    if (GetFrequency(index) == 0) {
        s.receive = false;
        m_services.ShowError(kNoFrequency);
        return;
    }
    if (!on) {
        s.transmit = false;
        s.headset = false;
        s.speaker = false;
    }
    AfterVoiceChange(index);
}

// The refusals shared by the headset and the speaker; false clears the box.
bool CommsEntries::CheckVoiceSelection(int index, bool& box) {
    const char* refusal = nullptr;
    if (GetFrequency(index) == 0) {
        refusal = kNoFrequency;
    } else if (!m_services.IsConnected()) {
        refusal = "Not connected.";
    } else if (GetServer(index).size() < 4 || GetChannel(index).empty()) {
        refusal = "No voice channel specified.";
    }
    if (refusal == nullptr) return true;
    box = false;
    m_services.ShowError(refusal);
    return false;
}

void CommsEntries::OnHeadsetClicked(int index, bool on) {
    if (!Valid(index)) return;
    Selection& s = m_selections[static_cast<size_t>(index)];
    s.headset = on;
    if (!CheckVoiceSelection(index, s.headset)) return;
    const int status = m_voice.GetRoomStatus(GetRoomKey(index));
    // A moving room keeps its box; the rest still follows the click.
    if ((status & (kRoomStateJoining | kRoomStateLeaving)) != 0) s.headset = !on;
    if (on) {
        s.speaker = false;
        s.receive = true;
        m_muteMemory[static_cast<size_t>(index)] = 0;
    }
    AfterVoiceChange(index);
}

void CommsEntries::OnSpeakerClicked(int index, bool on) {
    if (!Valid(index)) return;
    Selection& s = m_selections[static_cast<size_t>(index)];
    s.speaker = on;
    if (!CheckVoiceSelection(index, s.speaker)) return;
    if (on) {
        s.headset = false;
        s.receive = true;
        m_muteMemory[static_cast<size_t>(index)] = 0;
    }
    AfterVoiceChange(index);
}

void CommsEntries::AfterVoiceChange(int index) {
    ApplyEntryToVoice(index);
    m_services.RebuildMainButtonBar();
}

void CommsEntries::ApplyEntryToVoice(int index) {
    if (!Valid(index)) return;
    const Selection& s = m_selections[static_cast<size_t>(index)];
    const RoomKey key = GetRoomKey(index);
    const int status = m_voice.GetRoomStatus(key);
    if (!s.headset && !s.speaker) {
        if ((status & kRoomStateConnected) != 0) m_voice.ToggleRoomConnection(key);
        return;
    }
    const int output = m_voice.GetRoomOutput(key);
    if (((status & kRoomTransmitting) != 0) != s.transmit) m_voice.ToggleRoomTransmit(key);
    if (((status & kRoomReceiving) != 0) != s.receive) m_voice.ToggleRoomReceive(key);
    if ((output == kRoomOutputHeadset) != s.headset) m_voice.ToggleRoomSpeaker(key);
    if ((status & kRoomStateConnected) == 0) m_voice.ToggleRoomConnection(key);
}

CommsSaveResult CommsEntries::SaveEditedEntry(int index, const CommsEditorTexts& texts) {
    auto refuse = [](CommsEditorField field, const char* message) {
        return CommsSaveResult{false, field, message};
    };
    if (!Valid(index)) return refuse(CommsEditorField::None, "No entry is being edited.");
    if (!texts.name.empty() && !RegexMatch(texts.name, "^[\\w \\-]+$", 12)) {
        return refuse(CommsEditorField::Name,
                      "Invalid name. It must consist of only letters, numbers, underscores, dashes, and "
                      "spaces. Maximum length is 12 characters.");
    }
    if (!RegexMatch(texts.frequency, "^000\\.000$", 7) &&
        !RegexMatch(texts.frequency, "^1\\d\\d\\.\\d\\d\\d$", 7)) {
        return refuse(
            CommsEditorField::Frequency,
            "Invalid frequency. It must contain 3 digits followed by a decimal point, followed by 3 "
            "digits. The first digit must be a 1.");
    }
    if (!texts.server.empty() && !RegexMatch(texts.server, "^[\\w\\.\\-]+$", 255)) {
        return refuse(CommsEditorField::Server,
                      "Invalid voice server hostname. It must consist of only letters, numbers, underscores, "
                      "dashes, and periods. Maximum length is 255 characters.");
    }
    if (!texts.channel.empty() && !RegexMatch(texts.channel, "^[\\w\\.\\-]+$", 255)) {
        return refuse(CommsEditorField::Channel,
                      "Invalid voice channel name. It must consist of only letters, numbers, underscores, "
                      "dashes, and periods. Maximum length is 255 characters.");
    }
    const int32_t kHz = ParseCommsFrequency(texts.frequency);
    if (texts.frequency != "000.000") {
        if (kHz == m_services.GetInt("VoxATISFreq")) {
            return refuse(CommsEditorField::Frequency,
                          "The frequency you have entered is already in use for voice ATIS.");
        }
        for (int i = 0; i < kCommsEntryCount; ++i) {
            if (i != index && GetFrequency(i) == kHz) {
                return refuse(CommsEditorField::Frequency,
                              "The frequency you have entered is already assigned to another entry.");
            }
        }
    }
    if (texts.server == m_services.GetString("VoxATISServer") &&
        texts.channel == m_services.GetString("ATISMakerICAO") + "_ATIS") {
        return refuse(CommsEditorField::Channel,
                      "The voice server and channel you have entered is already in use by your voice ATIS "
                      "configuration.");
    }
    // The room to drop is the one held under the frequency being replaced.
    m_voice.CloseRoom(GetFrequency(index));
    m_services.SetString(Key("CommsEntryName", index), texts.name);
    m_services.SetInt(Key("CommsEntryFreq", index), kHz);
    m_services.SetString(Key("CommsEntryVoxServer", index), texts.server);
    m_services.SetString(Key("CommsEntryVoxChan", index), texts.channel);
    m_services.SetProfileModified();
    return {true, CommsEditorField::None, {}};
}

bool CommsEntries::ToggleEntry(int index) {
    if (!Valid(index)) return false;
    const auto i = static_cast<size_t>(index);
    const int status = m_voice.GetRoomStatus(GetRoomKey(index));
    if ((status & (kRoomStateJoining | kRoomStateLeaving)) != 0) return m_muteMemory[i] > 0;
    if (m_muteMemory[i] > 0) {
        if (m_muteMemory[i] == 2) {
            OnSpeakerClicked(index, true);
        } else {
            OnHeadsetClicked(index, true);
        }
        m_muteMemory[i] = 0;
        return false;
    }
    if (m_selections[i].speaker) {
        OnSpeakerClicked(index, false);
        m_muteMemory[i] = 2;
    } else {
        OnHeadsetClicked(index, false);
        m_muteMemory[i] = 1;
    }
    return true;
}

void CommsEntries::UpdateVoiceState() {
    for (int index = 0; index < kCommsEntryCount; ++index) {
        if (GetFrequency(index) == 0 || GetServer(index).empty() || GetChannel(index).empty()) continue;
        const auto i = static_cast<size_t>(index);
        const RoomKey key = GetRoomKey(index);
        const int status = m_voice.GetRoomStatus(key);
        const int output = m_voice.GetRoomOutput(key);
        if ((status & (kRoomStateJoining | kRoomStateConnected)) == 0) {
            if (m_selections[i].headset) OnHeadsetClicked(index, false);
            if (m_selections[i].speaker) OnSpeakerClicked(index, false);
        } else {
            if (output == kRoomOutputHeadset && !m_selections[i].headset) OnHeadsetClicked(index, true);
            if (output == kRoomOutputSpeaker && !m_selections[i].speaker) OnSpeakerClicked(index, true);
        }
        m_selections[i].voiceEnabled = (status & (kRoomStateJoining | kRoomStateLeaving)) == 0;
    }
}

void CommsEntries::SyncVoiceCheckboxes() {
    m_voice.SetPushToTalk(false);
    m_voice.CloseAllRooms();
    m_voice.EndAllLandLines();
    for (Selection& s : m_selections) {
        s.headset = false;
        s.speaker = false;
    }
    m_muteMemory.fill(0);
}

void CommsEntries::ResetVoice() {
    m_voice.SetPushToTalk(false);
    m_voice.CloseAllRooms();
    m_voice.EndAllLandLines();
    m_muteMemory.fill(0);
}

std::vector<int32_t> CommsEntries::GetTXFrequencies() const {
    std::vector<int32_t> out;
    for (int i = 0; i < kCommsEntryCount; ++i) {
        if (m_selections[static_cast<size_t>(i)].transmit) out.push_back(GetFrequency(i));
    }
    return out;
}

std::vector<int32_t> CommsEntries::GetRXFrequencies() const {
    std::vector<int32_t> out;
    for (int i = 0; i < kCommsEntryCount; ++i) {
        if (m_selections[static_cast<size_t>(i)].receive) out.push_back(GetFrequency(i));
    }
    out.push_back(121500);
    out.push_back(149999);
    return out;
}

std::vector<int> CommsEntries::GetRXEntries() const {
    std::vector<int> out;
    for (int i = 0; i < kCommsEntryCount; ++i) {
        if (m_selections[static_cast<size_t>(i)].receive) out.push_back(i);
    }
    return out;
}

bool CommsEntries::IsEntryTXChecked(int index) const { return Valid(index) && GetSelection(index).transmit; }
bool CommsEntries::IsEntryHDSTChecked(int index) const { return Valid(index) && GetSelection(index).headset; }
bool CommsEntries::IsEntryMuted(int index) const { return Valid(index) && GetMuteMemory(index) > 0; }
bool CommsEntries::IsEntryInUse(int index) const {
    return Valid(index) &&
           (IsEntryMuted(index) || GetSelection(index).headset || GetSelection(index).speaker);
}
bool CommsEntries::IsEntryVoiceStateA(int index) const {
    if (!Valid(index)) return false;
    const int status = m_voice.GetRoomStatus(GetRoomKey(index));
    return (status & kRoomStateConnected) != 0 && (status & kRoomAudioOut) != 0;
}
bool CommsEntries::IsEntryVoiceStateB(int index) const {
    if (!Valid(index)) return false;
    const int status = m_voice.GetRoomStatus(GetRoomKey(index));
    return (status & kRoomStateConnected) != 0 && (status & kRoomAudioIn) != 0;
}

bool CommsEntries::IsFrequencyAssigned(int32_t kHz) const {
    for (int i = 0; i < kCommsEntryCount; ++i) {
        if (GetFrequency(i) == kHz) return true;
    }
    return false;
}

bool CommsEntries::IsVoiceChannelAssigned(const std::string& server, const std::string& channel) const {
    const std::string s = ToLower(server);
    const std::string c = ToLower(channel);
    for (int i = 0; i < kCommsEntryCount; ++i) {
        if (ToLower(GetServer(i)) == s && ToLower(GetChannel(i)) == c) return true;
    }
    return false;
}

std::string CommsEntries::GetPrimaryVoiceChannel() const {
    for (int i = 0; i < kCommsEntryCount; ++i) {
        const Selection& s = m_selections[static_cast<size_t>(i)];
        if (!s.primary) continue;
        if (!s.headset && !s.speaker) return {};
        return GetServer(i) + "/" + GetChannel(i);
    }
    return {};
}

bool CommsEntries::IsEditable(int index) const { return Valid(index) && !GetSelection(index).receive; }
