// The chat window without its native controls: captions, message lines and
// their time stamps, members and the queued-message header, the layout, the
// input box's keys and the capped log.
#include "comms/chat_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "chat_fixture.h"

namespace {

using Calls = std::vector<std::string>;

TEST(ChatWindow, CaptionNamesTheKindAndTheRealName) {
    struct Case {
        const char* name;
        const char* caption;
    };
    const Case cases[] = {
        {"EGLL_TWR", "Private Chat: EGLL_TWR (Jo Bloggs)"},
        {"N123", "Private Chat: N123 ()"},  // the pilot's name not yet answered
        {"DLH4", "Private Chat: DLH4 (Max Muster)"},
        {"ZZ9", "Private Chat: ZZ9"},
        {"Incoming Chat Log", "Incoming Chat Log"},
        {":TEAM", "Group Chat: TEAM"},
    };
    ChatFixture f;
    f.host.controllers["EGLL_TWR"] = "Jo Bloggs";
    f.host.pilots["N123"] = "";
    f.host.pilots["DLH4"] = "Max Muster";
    for (const Case& c : cases) {
        f.manager->OpenChatWindow(c.name, "", false);
        EXPECT_EQ(f.View(c.name)->caption, c.caption);
        EXPECT_EQ(f.Window(c.name)->IsGroup(), c.name[0] == ':') << c.name;
    }
    f.host.pilots["N123"] = "Ann Smith";
    f.manager->RefreshWindowTitle("N123");
    EXPECT_EQ(f.View("N123")->caption, "Private Chat: N123 (Ann Smith)");
}

// Only five tool windows keep a fixed width: a chat window the user made
// wider stays wider when it is placed again.
TEST(ChatWindow, KeepsTheWidthTheUserGaveIt) {
    ChatFixture f;
    f.manager->OpenChatWindow("N123", "", true);
    ScreenRect& rect = f.View("N123")->frame.rect;
    rect.right = rect.left + 530;
    f.Window("N123")->SetPosition(40, 50, 220);
    EXPECT_EQ(rect.right - rect.left, 530);
    EXPECT_EQ(rect.bottom - rect.top, 220);
    EXPECT_EQ(f.Window("N123")->GetWidth(), 0) << "no width for the snapping to force";
}

TEST(ChatWindow, MessageLinesWithAndWithoutTimeStamps) {
    ChatFixture f;
    f.manager->OpenChatWindow("N123", "", true);
    TarqChatWindow* w = f.Window("N123");
    w->AddMessage("N123", "hi");
    f.host.bools["ShowTimestamps"] = true;
    w->AddMessage("N123", "hi");
    EXPECT_EQ(f.View("N123")->log, "N123: hi\r\n[09:05:07] N123: hi") << "no line break before the first";
    EXPECT_EQ(w->GetLogText(), f.View("N123")->log);
}

TEST(ChatWindow, MembersByCallsignOrPositionIdentifierWithTheirQueuedMessages) {
    ChatFixture f;
    f.host.positionIds["EG"] = "EGLL_APP";
    f.manager->OnIncomingMessage("KL10", "one");
    f.clock.Advance(2000);
    f.manager->OnIncomingMessage("KL10", "two");
    f.manager->OpenChatWindow(":TEAM", "", true);
    f.host.bools["ShowTimestamps"] = true;
    f.host.Take();
    TarqChatWindow* w = f.Window(":TEAM");
    w->ChangeGroupMembers("kl10 eg xx n707", true);
    EXPECT_EQ(w->GetMembers(), (std::vector<std::string>{"EGLL_APP", "KL10", "N707"}));
    EXPECT_EQ(f.View(":TEAM")->members, w->GetMembers());
    EXPECT_EQ(w->GetLogText(),
              "--- Queued messages for KL10: ---\r\n"
              "[09:05:07] KL10: one\r\n"
              "[09:05:09] KL10: two\r\n"
              "--- End of queued messages ---")
        << "only KL10 had queued messages";
    EXPECT_FALSE(f.manager->HasQueuedMessages("KL10"));
    EXPECT_EQ(f.host.Take(), Calls{}) << "no further calls to the display or the network";
    w->ChangeGroupMembers("KL10 EG", false);
    EXPECT_EQ(w->GetMembers(), std::vector<std::string>{"N707"});
    // A private window has no members to change.
    f.manager->OpenChatWindow("N7", "", true);
    f.Window("N7")->ChangeGroupMembers("N8", true);
    EXPECT_EQ(f.Window("N7")->GetMembers(), std::vector<std::string>{"N7"});
}

TEST(ChatWindow, LayoutOfTheThreeKinds) {
    // Client 480 x 170, input box 21 high, member list 80 wide.
    struct Case {
        bool log, group;
        ChatLayout expected;
    };
    const Case cases[] = {
        {false, false, {{3, 3, 474, 143}, {3, 146, 474, 21}, {}}},
        {false, true, {{3, 3, 391, 143}, {3, 146, 474, 21}, {397, 3, 80, 140}}},
        {true, false, {{3, 3, 474, 164}, {}, {}}},
    };
    for (const Case& c : cases) {
        const ChatLayout l = ComputeChatLayout(c.log, c.group, 480, 170, 21, 80);
        EXPECT_EQ(l.log, c.expected.log) << c.log << c.group;
        EXPECT_EQ(l.input, c.expected.input) << c.log << c.group;
        EXPECT_EQ(l.members, c.expected.members) << c.log << c.group;
    }
    ChatFixture f;
    f.manager->OpenChatWindow(":TEAM", "", true);
    EXPECT_EQ(f.View(":TEAM")->memberRect, (ChatControlRect{397, 3, 80, 140})) << "placed on construction";
}

TEST(ChatWindow, KeysOfTheInputBox) {
    ChatFixture f;
    f.manager->OpenChatWindow("N1", "", true);
    TarqChatWindow* w = f.Window("N1");
    FakeChatWindowNative* v = f.View("N1");
    f.host.Take();

    EXPECT_TRUE(w->OnInputKey(ChatKey::Enter));
    EXPECT_EQ(f.host.Take(), Calls{}) << "an empty box sends nothing";
    v->input = "hello";
    w->OnInputKey(ChatKey::Enter);
    EXPECT_EQ(v->input, "");
    v->input = "again";
    w->OnInputKey(ChatKey::Enter);
    EXPECT_EQ(f.host.Take(), (Calls{"send N1 hello", "send N1 again"}));

    v->input = "draft";
    w->OnInputKey(ChatKey::Up);
    EXPECT_EQ(v->input, "again");
    w->OnInputKey(ChatKey::Up);
    EXPECT_EQ(v->input, "hello");
    w->OnInputKey(ChatKey::Down);
    w->OnInputKey(ChatKey::Down);
    EXPECT_EQ(v->input, "draft") << "back to what was being typed";

    w->OnInputKey(ChatKey::Escape);
    EXPECT_EQ(v->input, "");
    EXPECT_TRUE(v->frame.shown);
    w->OnInputKey(ChatKey::Escape);
    EXPECT_FALSE(v->frame.shown) << "a second Escape hides the window";

    w->OnInputKey(ChatKey::Tab);
    EXPECT_EQ(f.host.Take(), Calls{"main display"});
    w->OnInputKey(ChatKey::PageUp);
    w->OnInputKey(ChatKey::PageUp);
    w->OnInputKey(ChatKey::PageDown);
    EXPECT_EQ(v->pageScrolls, -1);
    EXPECT_FALSE(w->OnInputKey(ChatKey::Other));
    for (int c : {13, 27, 9}) EXPECT_TRUE(TarqChatWindow::SwallowsChar(c)) << c;
    EXPECT_FALSE(TarqChatWindow::SwallowsChar('a'));
}

TEST(ChatWindow, LongInputIsCutToTheBoxLimit) {
    ChatFixture f;
    f.manager->OpenChatWindow("N1", "", true);
    f.View("N1")->input = std::string(1500, 'x');
    f.host.Take();
    f.Window("N1")->OnInputKey(ChatKey::Enter);
    EXPECT_EQ(f.host.Take(), Calls{"send N1 " + std::string(TarqChatWindow::kMaxInputLength, 'x')});
}

TEST(ChatWindow, LongSessionLogIsTrimmedVisibly) {
    ChatFixture f;
    f.manager->OpenChatWindow("N1", "", true);
    TarqChatWindow* w = f.Window("N1");
    FakeChatWindowNative* v = f.View("N1");
    for (size_t i = 1; i <= TarqChatWindow::kMaxLogLines; ++i) w->AppendToLog("line " + std::to_string(i));
    EXPECT_EQ(v->setLogCalls, 0) << "appends only, below the cap";
    EXPECT_FALSE(w->WasLogTrimmed());
    w->AppendToLog("line 2001");
    EXPECT_TRUE(w->WasLogTrimmed());
    EXPECT_EQ(v->setLogCalls, 1);
    EXPECT_EQ(w->GetLogLines().size(), TarqChatWindow::kMaxLogLines - TarqChatWindow::kTrimChunk);
    EXPECT_EQ(w->GetLogLines().back(), "line 2001");
    EXPECT_EQ(v->log.substr(0, v->log.find("\r\n")), TarqChatWindow::kTrimmedNote);
    EXPECT_EQ(v->log, w->GetLogText());
    w->AppendToLog("line 2002");
    EXPECT_EQ(v->log, w->GetLogText()) << "appends go on after the trim";
    for (int i = 0; i < 5000; ++i) w->AppendToLog("more");
    EXPECT_LE(w->GetLogLines().size(), TarqChatWindow::kMaxLogLines);
    EXPECT_LE(v->setLogCalls, 1 + 5000 / static_cast<int>(TarqChatWindow::kTrimChunk) + 1);
}

TEST(ChatWindow, SavingTheLogReportsEachOutcome) {
    ChatFixture f;
    f.manager->OpenChatWindow("N1", "", true);
    TarqChatWindow* w = f.Window("N1");
    f.host.Take();
    const std::string path = f.dir.File("chat.txt");
    w->SaveLog(path);
    EXPECT_EQ(f.host.Take(), Calls{"error No history to save!"});
    EXPECT_FALSE(std::ifstream(path).good());
    w->AppendToLog("a");
    w->AppendToLog("b");
    w->SaveLog(path);
    EXPECT_EQ(f.host.Take(), Calls{"message Chat log saved."});
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(text.str(), "a\r\nb");
    w->SaveLog(f.dir.File("no/such/folder.txt"));
    EXPECT_EQ(f.host.Take(), Calls{"error Error saving chat log to specified file."});
}

TEST(ChatWindow, SelectionIsCopiedAndTheInputGetsTheFocus) {
    ChatFixture f;
    f.manager->OpenChatWindow("N1", "", true);
    TarqChatWindow* w = f.Window("N1");
    w->AppendToLog("one");
    w->AppendToLog("two");
    f.View("N1")->selection = "tw";
    w->OnLogSelectionMade();
    EXPECT_EQ(f.View("N1")->clipboard, "tw");
    w->CopyLog(false);
    EXPECT_EQ(f.View("N1")->clipboard, "one\r\ntwo");
}

TEST(ChatWindow, ActivatingTheIncomingLogClearsAllMarksOnlyWhenSet) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", true);
    f.manager->OnIncomingMessage("N1", "x");
    TarqChatWindow* log = f.Window("Incoming Chat Log");
    log->OnActivated();
    EXPECT_EQ(f.host.unread, std::set<std::string>{"N1"});
    EXPECT_EQ(f.manager->GetLastActiveName(), "Incoming Chat Log");
    f.host.bools["ChatLogClickClearMsgFlag"] = true;
    log->OnActivated();
    EXPECT_TRUE(f.host.unread.empty());
}

}  // namespace
