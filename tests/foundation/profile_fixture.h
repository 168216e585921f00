// Fakes of the display manager, tool windows, chat log, strip bay and message
// boxes, and a temporary directory holding "Tarq.ini", for the profile tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/display_services.h"
#include "foundation/profile.h"
#include "foundation/session_services.h"
#include "foundation/tool_window_place.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "tests/temp_dir.h"

class FakeDisplayServices : public TarqDisplayServices {
public:
    WindowHandle GetMainWindow() override { return mainWindow; }
    std::vector<TarqDisplaySettings> SaveLayout() override { return layout; }
    void RebuildAllMenus() override { ++menuRebuilds; }
    void UpdateAllTitles() override { ++titleUpdates; }
    void ShowError(const std::string& line) override { errors.push_back(line); }
    void ShowMessage(const std::string& line) override { messages.push_back(line); }
    void ReplaceColorProfile(const std::string& oldName, const std::string& newName) override {
        replaced.push_back(oldName + ">" + newName);
    }

    WindowHandle mainWindow = reinterpret_cast<WindowHandle>(0x1000);
    std::vector<TarqDisplaySettings> layout;
    int menuRebuilds = 0;
    int titleUpdates = 0;
    std::vector<std::string> errors;
    std::vector<std::string> messages;
    std::vector<std::string> replaced;
};

class FakeToolWindow : public TarqToolWindowPlace {
public:
    FakeToolWindow(bool visible, ScreenRect rect) : m_visible(visible), m_rect(rect) {}
    bool IsVisible() const override { return m_visible; }
    void GetRect(ScreenRect* rect) const override { *rect = m_rect; }

private:
    bool m_visible;
    ScreenRect m_rect;
};

class FakeChatLog : public TarqChatLogState {
public:
    bool IsIncomingChatLogOpen() const override { return open; }
    bool open = false;
};

class FakeStripBay : public TarqStripSeparators {
public:
    std::vector<std::string> GetSortedStrips(int column) const override { return columns[column & 1]; }
    std::vector<std::string> columns[2];
};

// Answers message boxes from a script (Ok, or the default button, when the
// script runs out) and records every box shown as "caption: text".
class ScriptedMessageBoxes : public MessageBoxHandler {
public:
    ScriptedMessageBoxes() { m_previous = SetMessageBoxHandler(this); }
    ~ScriptedMessageBoxes() override { SetMessageBoxHandler(m_previous); }
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle owner) override {
        shown.push_back(caption + ": " + text);
        styles.push_back(style);
        owners.push_back(owner);
        if (answers.empty()) return DefaultMessageBoxResult(style);
        MessageBoxResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<MessageBoxResult> answers;
    std::vector<std::string> shown;
    std::vector<MessageBoxStyle> styles;
    std::vector<WindowHandle> owners;

private:
    MessageBoxHandler* m_previous;
};

// A temporary directory with the fakes installed in the globals; everything
// is put back when the test ends.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_displayServices = &display;
        g_chatLogState = &chatLog;
        g_stripSeparators = &stripBay;
    }
    void TearDown() override {
        g_displayServices = nullptr;
        g_chatLogState = nullptr;
        g_stripSeparators = nullptr;
        g_sessionToolWindows = TarqSessionToolWindows();
    }

    std::string IniPath() const { return (m_dir / "Tarq.ini").string(); }
    // Writes "Tarq.ini" with LF line ends turned into CR LF.
    void PutIni(const std::string& text) { ASSERT_TRUE(WriteFileAtomically(IniPath(), Crlf(text))); }
    std::string IniText() const {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(IniPath(), text));
        return text;
    }
    static std::string Crlf(const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '\n') out += '\r';
            out += c;
        }
        return out;
    }
    static std::string DataFile(const std::string& name) {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(std::string(TARQ_TEST_DATA_DIR) + "/" + name, text)) << name;
        return text;
    }
    void MakeDirectoryReadOnly() {
        std::filesystem::permissions(m_dir,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }

    TempDir m_tmp;
    std::filesystem::path m_dir{m_tmp.Path()};
    FakeDisplayServices display;
    FakeChatLog chatLog;
    FakeStripBay stripBay;
    ScriptedMessageBoxes boxes;
};
