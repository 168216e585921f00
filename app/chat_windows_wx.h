// The chat windows' native side: one modeless tool dialog per chat window
// (log box, member list, input box) bound to its TarqChatWindow, which
// decides everything. Made through the shell's chat host while this object
// lives; deletions of closed windows are posted to the event loop.
// Tested by tests/app/chat_program_test.cpp.
#pragma once

class TarqChatWindow;

class WxChatWindows {
public:
    WxChatWindows();
    ~WxChatWindows();
    WxChatWindows(const WxChatWindows&) = delete;
    WxChatWindows& operator=(const WxChatWindows&) = delete;

    // The dialog of a chat window while it exists (tests).
    static void* GetDialog(const TarqChatWindow& window);
};
