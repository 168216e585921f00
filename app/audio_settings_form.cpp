// Tested by tests/app/settings_forms_test.cpp.
#include "app/audio_settings_form.h"

#include <algorithm>
#include <cstdio>

#include "app/global_objects.h"
#include "foundation/profile.h"
#include "foundation/start_directory.h"
#include "platform/message_box.h"
#include "voice/voice_engine.h"

namespace {

std::string NameAt(const std::vector<std::string>& names, int index) {
    if (index < 0 || index >= static_cast<int>(names.size())) return {};
    return names[static_cast<size_t>(index)].substr(0, TarqAudioDevicesForm::kMaxNameLength);
}

// The program's voice engine; without one (it failed to start) the lists
// are empty and the measurements find a quiet, correctly set microphone.
class ProgramVoice : public TarqVoiceSettings {
public:
    AudioDeviceLists GetDeviceLists() override {
        AudioDeviceLists lists;
        if (g_voiceEngine)
            g_voiceEngine->GetDeviceLists(&lists.inputs, &lists.outputs, &lists.input, &lists.headset,
                                          &lists.speaker);
        return lists;
    }
    void SetInputDevice(int index) override {
        if (g_voiceEngine) g_voiceEngine->SetInputDevice(index);
    }
    void SetHeadsetDevice(int index) override {
        if (g_voiceEngine) g_voiceEngine->SetHeadsetDevice(index);
    }
    void SetSpeakerDevice(int index) override {
        if (g_voiceEngine) g_voiceEngine->SetSpeakerDevice(index);
    }
    void SetHeadsetVolume(int percent) override {
        if (g_voiceEngine) g_voiceEngine->SetHeadsetVolume(static_cast<uint32_t>(std::max(percent, 0)));
    }
    void SetSpeakerVolume(int percent) override {
        if (g_voiceEngine) g_voiceEngine->SetSpeakerVolume(static_cast<uint32_t>(std::max(percent, 0)));
    }
    void SetVhfSimulation(bool headset, bool speaker) override {
        if (g_voiceEngine) g_voiceEngine->SetVhfSimulation(headset, speaker);
    }
    void StartNoiseMeasurement() override {
        if (g_voiceEngine) g_voiceEngine->StartNoiseMeasurement();
    }
    void EndNoiseMeasurement() override {
        if (g_voiceEngine) g_voiceEngine->EndNoiseMeasurement();
    }
    void StartLevelMeasurement() override {
        if (g_voiceEngine) g_voiceEngine->StartLevelMeasurement();
    }
    int EndLevelMeasurement() override {
        return g_voiceEngine ? static_cast<int>(g_voiceEngine->EndLevelMeasurement()) : 0;
    }
    void StartMicTestRecording() override {
        if (g_voiceEngine) g_voiceEngine->StartMicTestRecording(DataFile("audiotest.dat"));
    }
    void StopMicTestRecording() override {
        if (g_voiceEngine) g_voiceEngine->StopMicTestRecording();
    }
    void StartMicTestPlayback() override {
        if (g_voiceEngine) g_voiceEngine->StartMicTestPlayback();
    }
    void StopMicTestPlayback() override {
        if (g_voiceEngine) g_voiceEngine->StopMicTestPlayback();
    }
    float GetInputSquelch() override {
        return g_voiceEngine ? static_cast<float>(g_voiceEngine->GetInputSquelch()) : 0.0f;
    }

private:
    static std::string DataFile(const std::string& name) {
        return (StartDirectory.empty() ? std::string(".") : StartDirectory) + "/" + name;
    }
};

void Inform(const std::string& text, const std::string& caption, MessageBoxIcon icon, WindowHandle owner) {
    ShowMessageBox(text, caption, {MessageBoxButtons::Ok, icon, 0}, owner);
}

}  // namespace

TarqVoiceSettings& ProgramVoiceSettings() {
    static ProgramVoice voice;
    return voice;
}


TarqAudioDevicesForm::TarqAudioDevicesForm(TarqProfile& profile, TarqVoiceSettings& engine)
    : lists(engine.GetDeviceLists()),
      headsetVolume(std::clamp(profile.GetInt("OutputVolumeHDST"), 0, 200)),
      speakerVolume(std::clamp(profile.GetInt("OutputVolumeSPKR"), 0, 200)),
      vhfHeadset(profile.GetBool("VHFSimHeadset")),
      vhfSpeaker(profile.GetBool("VHFSimSpeakers")),
      m_profile(profile),
      m_engine(engine) {}

void TarqAudioDevicesForm::Apply() {
    m_profile.SetString("AudioInputDevice", NameAt(lists.inputs, lists.input));
    m_engine.SetInputDevice(lists.input);
    m_profile.SetString("AudioOutputHeadsetDevice", NameAt(lists.outputs, lists.headset));
    m_engine.SetHeadsetDevice(lists.headset);
    m_profile.SetString("AudioOutputSpeakerDevice", NameAt(lists.outputs, lists.speaker));
    m_engine.SetSpeakerDevice(lists.speaker);
    m_profile.SetInt("OutputVolumeHDST", headsetVolume);
    m_engine.SetHeadsetVolume(headsetVolume);
    m_profile.SetInt("OutputVolumeSPKR", speakerVolume);
    m_engine.SetSpeakerVolume(speakerVolume);
    m_profile.SetBool("VHFSimHeadset", vhfHeadset);
    m_profile.SetBool("VHFSimSpeakers", vhfSpeaker);
    m_engine.SetVhfSimulation(m_profile.GetBool("VHFSimHeadset"), m_profile.GetBool("VHFSimSpeakers"));
    m_profile.SetModified(true);
    m_applyEnabled = false;
}

std::string TarqMicCalibration::Verdict(int flags) {
    if (flags == 0) return "Your microphone level is set correctly.";
    std::string text;
    if (flags & 3) text = "Your background noise is too loud. ";
    if (flags & 4) text += "Your microphone level is too high. ";
    if (flags & 8) text += "Your microphone level is too low.";
    return text;
}

void TarqMicCalibration::Start(TarqCalibrationHost& host, TarqVoiceSettings& engine, TarqProfile& profile) {
    if (IsRunning()) return;
    const MessageBoxResult answer =
        ShowMessageBox("Do you want to recalibrate your mic now?", "Calibrate Mic",
                       {MessageBoxButtons::OkCancel, MessageBoxIcon::Question, 0}, host.Owner());
    if (answer != MessageBoxResult::Ok) return;
    m_host = &host;
    m_engine = &engine;
    m_profile = &profile;
    host.SetMenuEnabled(false);
    Inform(
        "During the next 5 seconds, please remain SILENT so that Tarq can measure your background noise. "
        "Press "
        "OK to continue.",
        "Calibrate Mic", MessageBoxIcon::Information, host.Owner());
    engine.StartNoiseMeasurement();
    m_step = kNoise;
    host.StartTimer(kStepMilliseconds);
}

void TarqMicCalibration::OnTimer() {
    if (!m_host || m_step == kIdle) return;
    TarqCalibrationHost& host = *m_host;
    host.StopTimer();
    switch (m_step) {
        case kNoise:
            m_engine->EndNoiseMeasurement();
            Inform(
                "During the next 5 seconds, please speak at a normal level so that Tarq can test your "
                "microphone "
                "volume. Press OK to continue.",
                "Calibrate Mic", MessageBoxIcon::Information, host.Owner());
            if (m_step != kNoise) return;  // the session closed meanwhile
            m_step = kLevel;
            m_engine->StartLevelMeasurement();
            m_engine->StartMicTestRecording();
            host.StartTimer(kStepMilliseconds);
            return;
        case kLevel: {
            m_engine->StopMicTestRecording();
            m_step = kPlayback;
            const int flags = m_engine->EndLevelMeasurement();
            const float squelch = m_engine->GetInputSquelch();
            m_profile->SetFloat("InputSquelch", squelch);
            m_profile->SetModified(true);
            char squelchText[64];
            std::snprintf(squelchText, sizeof squelchText, "%f", static_cast<double>(squelch));
            Inform(Verdict(flags) +
                       "\r\n\r\nPress OK to hear a playback of your recording.\r\n\r\nSquelch level: " +
                       squelchText,
                   "Results", flags == 0 ? MessageBoxIcon::Information : MessageBoxIcon::Error, host.Owner());
            if (m_step != kPlayback) return;
            m_engine->StartMicTestPlayback();
            host.StartTimer(kStepMilliseconds);
            return;
        }
        case kPlayback:
            m_step = kIdle;
            m_engine->StopMicTestPlayback();
            Inform("Microphone calibration is complete.", "Finished", MessageBoxIcon::Information,
                   host.Owner());
            host.SetMenuEnabled(true);
            m_host = nullptr;
            return;
        case kIdle:
            return;
    }
}

void TarqMicCalibration::Reset() {
    if (m_step == kIdle || !m_host) {
        m_step = kIdle;
        return;
    }
    if (m_step == kLevel) {
        m_engine->StopMicTestRecording();
        m_engine->EndLevelMeasurement();
    } else if (m_step == kNoise) {
        m_engine->EndNoiseMeasurement();
    } else if (m_step == kPlayback) {
        m_engine->StopMicTestPlayback();
    }
    m_step = kIdle;
    m_host->StopTimer();
    m_host->SetMenuEnabled(true);
    m_host = nullptr;
}

TarqMicCalibration& MicCalibration() {
    static TarqMicCalibration calibration;
    return calibration;
}
