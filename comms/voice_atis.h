// The ATIS maker's side of the voice ATIS: "Record ATIS" and its record
// dialog, "Monitor ATIS" and "Connect ATIS", the two recording files that
// take turns on the air, the checks before going on the air and the
// reaction to a lost connection. Recording, playback, the voice room and
// the second network session are asked of VoiceAtisServices; the windows
// only run the dialogs and show what comes back.
// Tested by tests/comms/voice_atis_test.cpp.
#pragma once

#include <optional>
#include <string>

#include "comms/atis_maker.h"

class TarqProfile;
class WeatherStore;

// What the voice ATIS asks of the voice engine, the network manager and the
// communications panel.
class VoiceAtisServices {
public:
    virtual ~VoiceAtisServices() = default;
    // The voice engine.
    virtual void StartAtisRecording(const std::string& path) = 0;
    virtual void StopAtisRecording() = 0;
    virtual bool IsAtisRecording() const = 0;
    virtual void StartAtisPreview() = 0;
    virtual void StopAtisPreview() = 0;
    virtual void StartAtisPlayback(const std::string& path) = 0;
    virtual void StopAtisPlayback() = 0;
    virtual bool IsAtisPlaying() const = 0;
    virtual void SetAtisMonitor(bool on) = 0;
    virtual void StartAtisBroadcast(int frequencyKhz, const std::string& roomAddress,
                                    const std::string& channel, const std::string& path) = 0;
    virtual void StopAtisBroadcast() = 0;
    virtual bool IsAtisBroadcastActive() const = 0;
    virtual void CloseAtisListeners() = 0;
    // The network manager.
    virtual bool IsConnected() const = 0;
    virtual bool IsVoiceAtisConnected() const = 0;
    virtual void ConnectVoiceAtis() = 0;
    virtual void DisconnectVoiceAtis() = 0;
    // The communications panel: true when one of its entries uses it.
    virtual bool IsFrequencyAssigned(int frequencyKhz) const = 0;
    virtual bool IsVoiceChannelAssigned(const std::string& server, const std::string& channel) const = 0;
};

class VoiceAtis {
public:
    static constexpr const char* kFileA = "voxatis_a.dat";
    static constexpr const char* kFileB = "voxatis_b.dat";
    // Dialog controls a failure points at (the station is AtisMaker::kStationId).
    static constexpr int kServerId = 1096;
    static constexpr int kFrequencyId = 1097;
    static constexpr size_t kServerMaxLength = 255;

    static constexpr const char* kRecordNotConnected =
        "You must be connected to Peltan before recording your voice ATIS.";
    static constexpr const char* kRatingTooLow =
        "You must hold at least an S1 rating to create a voice ATIS.";
    static constexpr const char* kNotConnected = "Not connected!";
    static constexpr const char* kNothingRecorded = "You haven't recorded a voice ATIS yet.";
    static constexpr const char* kNoServer = "Please enter the voice ATIS server hostname.";
    static constexpr const char* kInvalidServer =
        "Invalid voice ATIS server hostname. It must consist of only letters, numbers, underscores, dashes, "
        "and "
        "periods. Maximum length is 255 characters.";
    static constexpr const char* kInvalidFrequency =
        "Invalid voice ATIS frequency. It must contain 3 digits followed by a decimal point, followed by 3 "
        "digits. The first digit must be a 1.";
    static constexpr const char* kFrequencyInUse =
        "The voice ATIS frequency you've chosen is already assigned in the Communications Panel. Please "
        "choose "
        "an unassigned frequency.";
    static constexpr const char* kChannelInUse =
        "The voice ATIS channel you've chosen is already assigned in the Communications Panel. You'll need "
        "to "
        "remove the conflicting entry from the Communications Panel before proceeding.";

    using Failure = AtisMaker::Failure;  // control 0: a message box only

    // directory: where the two recording files lie (the start directory).
    VoiceAtis(TarqProfile& profile, AtisMaker& maker, WeatherStore& weather, VoiceAtisServices& services,
              std::string directory);

    // "Record ATIS": true when the record dialog may open. False with the
    // message box to show, or with an empty message when a recording runs.
    bool OnRecordATIS(Failure* failure);

    // --- the record dialog -----------------------------------------------------------
    // "Record" pressed: records into the file that is not on the air. What
    // that file held is gone, so it is no new recording until this one ends.
    void StartRecording();
    // "Record" released (not cancelled): the file holds a new recording.
    void StopRecording(bool cancelled);
    void StartPreview();
    void StopPreview();
    bool HasNewRecording() const { return m_newRecording; }
    // "Save": the new recording goes on the air; a running playback moves to
    // it at once. False when there is no new recording to save.
    bool SaveRecording();
    // "Cancel" or the close box: a running recording is thrown away.
    void CancelRecordDialog();

    // --- going on the air ------------------------------------------------------------
    struct ConnectResult {
        std::optional<Failure> failure;
        bool toggled = false;  // went on or off the air: the button waits for the session's news
    };
    // "Connect ATIS": the checks, the dialog's values saved on the way, then
    // on or off the air.
    ConnectResult OnConnectATIS(const AtisDialogValues& values);
    // On or off the air; false when the settings name no server, station or
    // frequency.
    bool ToggleVoiceATIS();
    // The session was lost or failed: off the air, nothing restarted.
    void RefreshVoiceATIS();
    // "Monitor ATIS".
    void SetMonitor(bool on);
    bool IsMonitor() const { return m_monitor; }
    // "Disconnect" while the voice-ATIS session is connected, else "Connect".
    std::string ConnectButtonText() const;
    // The recording is being broadcast.
    bool IsOnAir() const { return m_services.IsAtisBroadcastActive(); }

    std::string GetVoiceATISChannelName();
    std::string OnAirPath() const;
    std::string RecordingPath() const;
    bool IsRecordingSaved() const { return m_saved; }

private:
    std::string Path(bool fileA) const;

    TarqProfile& m_profile;
    AtisMaker& m_maker;
    WeatherStore& m_weather;
    VoiceAtisServices& m_services;
    std::string m_directory;
    bool m_saved = false;
    bool m_newRecording = false;
    bool m_onAirA = false;  // voxatis_a.dat on the air; at first b is, so a takes the first recording
    bool m_monitor = false;
};
