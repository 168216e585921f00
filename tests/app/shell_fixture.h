// A temporary start directory with a "Tarq.ini", the global objects built on
// fake displays, scripted message boxes and a recording session UI.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/global_objects.h"
#include "app/session.h"
#include "app/shell_state.h"
#include "call_log.h"
#include "fake_display.h"
#include "foundation/profile.h"
#include "foundation/start_directory.h"
#include "foundation/user_registry.h"
#include "platform/atomic_file.h"
#include "platform/memory_sound_devices.h"
#include "platform/message_box.h"

struct ScriptedMessageBoxes : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle) override {
        shown.push_back(caption + "|" + text);
        if (answers.empty()) return DefaultMessageBoxResult(style);
        MessageBoxResult answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<MessageBoxResult> answers;
    std::vector<std::string> shown;
};

// Records into the call log, so one log shows every step in order.
struct RecordingSessionUi : TarqSessionUi {
    void DestroyProfileDialog() override { Note("DestroyProfileDialog"); }
    bool ShowProfileDialog() override {
        Note("ShowProfileDialog");
        return true;
    }
    void ActivateMainDisplay() override { Note("ActivateMainDisplay"); }
    void DisableSnapping() override { Note("DisableSnapping"); }
    void EnableSnapping() override { Note("EnableSnapping"); }
    void PostQuit() override { Note("PostQuit"); }
    void Note(const std::string& call) {
        calls.push_back(call);
        CallLog::Record("ui " + call);
    }
    std::vector<std::string> calls;
};

inline const char* kSampleIni =
    "[:META]\nVersion=4\n"
    "[Default]\nDisplayCount=1\n"
    "[bravo]\nDisplayCount=0\nPromptSaveProfile=1\nPromptDisconnect=1\n"
    "[Alpha]\nDisplayCount=3\nColorProfile2=Night\nAliasFile=aliases.txt\nStripBaySeparators0=ARR|DEP\n"
    "WxStations=kabc|EGLL\n"
    "ControllerListLocX=40\nControllerListLocY=50\nControllerListHeight=300\nControllerListVisible=1\n"
    "PromptSaveProfile=1\n"
    "[Charlie]\nDisplayCount=1\nPromptSaveProfile=0\n"
    "[Delta]\nPOFFile=missing.pof\n"
    "[:CP:Night]\nColorBackground=0\n";

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("tarq-shell-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        WriteFileAtomically((m_dir / "Tarq.ini").string(), kSampleIni);
        m_savedStart = StartDirectory;
        StartDirectory = m_dir.string();
        m_previousBoxes = SetMessageBoxHandler(&boxes);
        registry = std::make_unique<TarqUserRegistry>((m_dir / "registry.ini").string());
        g_userRegistry = registry.get();
        factory.log = &displayLog;
        ReturnToProfileDialog = false;
        SetGlobalObjectObserver([](const std::string& event) { CallLog::Record(event); });
        // The device names are read when the engine starts, so a test can
        // change them after set-up.
        TarqVoiceOptions voice;
        voice.devices = [this] {
            auto devices = std::make_unique<MemorySoundDeviceProvider>(inputNames, outputNames);
            soundDevices = devices.get();
            return devices;
        };
        voice.udpPort = 0;
        SetTarqVoiceOptions(voice);
    }
    void TearDown() override {
        DeleteGlobalObjects();
        SetGlobalObjectObserver(nullptr);
        SetTarqVoiceOptions({});
        CallLog::Take();
        g_userRegistry = nullptr;
        SetMessageBoxHandler(m_previousBoxes);
        StartDirectory = m_savedStart;
        std::filesystem::remove_all(m_dir);
    }
    void CreateObjects() {
        TarqDisplayEnvironment environment;
        environment.factory = &factory;
        environment.post = queue.Poster();
        environment.schedule = queue.Scheduler();
        environment.hooks.frameTick = [this] { ++ticks; };
        CreateGlobalObjects(environment);
    }
    // Creates the objects and reads the INI file.
    void Start() {
        CreateObjects();
        ReadIniFile();
    }
    ProfileList ListWith(const std::string& name) {
        ProfileList list = FillProfileList(true, true);
        auto it = std::find(list.entries.begin(), list.entries.end(), name);
        list.selected = it == list.entries.end() ? -1 : static_cast<int>(it - list.entries.begin());
        return list;
    }

    std::filesystem::path m_dir;
    std::string m_savedStart;
    MessageBoxHandler* m_previousBoxes = nullptr;
    ScriptedMessageBoxes boxes;
    RecordingSessionUi ui;
    std::unique_ptr<TarqUserRegistry> registry;
    std::vector<std::string> displayLog;
    FakeDisplayFactory factory;
    JobQueue queue;
    int ticks = 0;  // frame ticks run
    std::vector<std::string> inputNames{"Microphone"};
    std::vector<std::string> outputNames{"Headset", "Speaker"};
    MemorySoundDeviceProvider* soundDevices = nullptr;  // the voice host's
};
