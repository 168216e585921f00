// The audio devices dialog and the microphone calibration apart from their
// windows. Both talk to the voice engine through the narrow interface below,
// so the engine behind it can change without touching them.
// Tested by tests/app/settings_forms_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "platform/window_handle.h"

class TarqProfile;

struct AudioDeviceLists {
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;  // for headset and speaker alike
    int input = -1;                    // -1: none chosen
    int headset = -1;
    int speaker = -1;
};

// What the settings dialogs need of the voice engine.
class TarqVoiceSettings {
public:
    virtual ~TarqVoiceSettings() = default;
    virtual AudioDeviceLists GetDeviceLists() = 0;
    virtual void SetInputDevice(int index) = 0;
    virtual void SetHeadsetDevice(int index) = 0;
    virtual void SetSpeakerDevice(int index) = 0;
    virtual void SetHeadsetVolume(int percent) = 0;
    virtual void SetSpeakerVolume(int percent) = 0;
    virtual void SetVhfSimulation(bool headset, bool speaker) = 0;
    virtual void StartNoiseMeasurement() = 0;
    virtual void EndNoiseMeasurement() = 0;
    virtual void StartLevelMeasurement() = 0;
    // MicCalibrationFlags: 1, 2 noise; 4 too high; 8 too low.
    virtual int EndLevelMeasurement() = 0;
    virtual void StartMicTestRecording() = 0;
    virtual void StopMicTestRecording() = 0;
    virtual void StartMicTestPlayback() = 0;
    virtual void StopMicTestPlayback() = 0;
    virtual float GetInputSquelch() = 0;
};

// The program's voice engine.
TarqVoiceSettings& ProgramVoiceSettings();

class TarqAudioDevicesForm {
public:
    static constexpr size_t kMaxNameLength = 253;

    TarqAudioDevicesForm(TarqProfile& profile, TarqVoiceSettings& engine);

    AudioDeviceLists lists;
    int headsetVolume = 100;  // 0 to 200
    int speakerVolume = 100;
    bool vhfHeadset = false;
    bool vhfSpeaker = false;

    static std::string VolumeLabel(int percent) { return std::to_string(percent) + "%"; }
    void OnChanged() { m_applyEnabled = true; }
    bool ApplyEnabled() const { return m_applyEnabled; }
    // Stores and hands everything to the engine, in a fixed order.
    void Apply();
    void Ok() {
        if (m_applyEnabled) Apply();
    }

private:
    TarqProfile& m_profile;
    TarqVoiceSettings& m_engine;
    bool m_applyEnabled = false;
};

// What the calibration asks of the main display's window.
class TarqCalibrationHost {
public:
    virtual ~TarqCalibrationHost() = default;
    virtual WindowHandle Owner() = 0;
    virtual void StartTimer(int milliseconds) = 0;
    virtual void StopTimer() = 0;
    // The "Calibrate Mic" menu item.
    virtual void SetMenuEnabled(bool enabled) = 0;
};

class TarqMicCalibration {
public:
    enum Step { kIdle = 0, kNoise = 1, kLevel = 2, kPlayback = 3 };
    static constexpr int kStepMilliseconds = 5000;

    static std::string Verdict(int flags);

    Step GetStep() const { return m_step; }
    bool IsRunning() const { return m_step != kIdle; }
    // The menu command: asks, then starts measuring the background noise.
    void Start(TarqCalibrationHost& host, TarqVoiceSettings& engine, TarqProfile& profile);
    // The 5-second timer ran out.
    void OnTimer();
    // The session closes: whatever step runs is stopped and the next
    // session starts idle.
    void Reset();

private:
    Step m_step = kIdle;
    TarqCalibrationHost* m_host = nullptr;
    TarqVoiceSettings* m_engine = nullptr;
    TarqProfile* m_profile = nullptr;
};

// The one calibration of the program.
TarqMicCalibration& MicCalibration();
