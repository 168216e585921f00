// The chat window's command processor: its own commands, the forwarded words,
// aliases, and text sent to the partner or the group.
#include "comms/chat_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "chat_fixture.h"

namespace {

using Calls = std::vector<std::string>;

struct ChatCommands : ::testing::Test {
    ChatFixture f;
    TarqChatWindow* Open(const std::string& name, const std::string& members = "") {
        f.manager->OpenChatWindow(name, members, true);
        f.host.Take();
        return f.Window(name);
    }
};

TEST(ChatForwardedWords, AreTheHundredAndEightWithoutTheFiveDisplayOnlyOnes) {
    const auto& words = ChatForwardedWords();
    EXPECT_EQ(words.size(), 108u);
    EXPECT_EQ(std::set<std::string>(words.begin(), words.end()).size(), 108u) << "no word twice";
    for (const char* left : {".qp", ".fd", ".nodiagrams", ".centre2", ".modelinfo"})
        EXPECT_FALSE(IsChatForwardedWord(left)) << left;
    for (const std::string& w : words) {
        EXPECT_EQ(w[0], '.') << w;
        for (const char* own : {".a", ".r", ".x", ".atis", ".showatis", ".copy", ".log"})
            EXPECT_NE(w, own) << "a window command is not forwarded";
    }
    EXPECT_EQ(words.front(), ".qd");
    EXPECT_EQ(words.back(), ".visrange");
}

TEST_F(ChatCommands, ForwardedWordsSlashLinesAndUnknownWords) {
    TarqChatWindow* w = Open("N1");
    w->ProcessCommandLine(".WX   EGLL", true, true);
    w->ProcessCommandLine("/hello $alt", true, true);
    w->ProcessCommandLine(".atis N2", true, true);
    w->ProcessCommandLine(".qp N1", false, false);
    w->ProcessCommandLine(".", true, true);
    EXPECT_EQ(f.forwarder.lines, (Calls{"N1> .WX EGLL", "N1> /hello $alt", "N1> .atis N2"}));
    EXPECT_EQ(f.host.Take(), Calls{}) << "nothing sent, nothing shown";
}

TEST_F(ChatCommands, TextIsCollapsedSentRecordedAndEchoed) {
    TarqChatWindow* w = Open("N1");
    f.host.strings["Callsign"] = "EGLL_TWR";
    f.host.bools["ShowTimestamps"] = true;
    f.clock.SetWallSeconds(ChatFixture::kNow + 5 * 3600 + 2);  // 14:05:09
    w->ProcessCommandLine("hello    there $alt", true, true);
    EXPECT_EQ(f.host.Take(), Calls{"send N1 hello there $alt"}) << "variables are not expanded in text";
    EXPECT_EQ(w->GetLogText(), "[14:05:09] EGLL_TWR: hello there $alt");
    EXPECT_EQ(w->History().Previous(""), "hello there $alt");
}

// A long session's chat input keeps as many lines as the command line's
// history: the oldest go, and browsing wraps from the oldest kept line.
TEST_F(ChatCommands, TheInputHistoryIsCapped) {
    TarqChatWindow* w = Open("N1");
    const size_t lines = TarqCommandHistory::kMaxLines + 5;
    for (size_t i = 0; i < lines; ++i) w->ProcessCommandLine(".x" + std::to_string(i), false, true);
    std::string oldest;
    for (size_t i = 0; i < TarqCommandHistory::kMaxLines; ++i) oldest = w->History().Previous("typing");
    EXPECT_EQ(oldest, ".x5");
    EXPECT_EQ(w->History().Previous(""), "typing") << "past the oldest kept line: the text being typed";
}

TEST_F(ChatCommands, GroupTextGoesToEachMemberInAscendingOrderAndIsEchoedOnce) {
    TarqChatWindow* w = Open(":TEAM", "N222 N111");
    f.host.strings["Callsign"] = "EGLL_TWR";
    w->ProcessCommandLine("all", true, true);
    EXPECT_EQ(f.host.Take(), (Calls{"send N111 all", "send N222 all"}));
    EXPECT_EQ(w->GetLogText(), "EGLL_TWR: all");
    TarqChatWindow* empty = Open(":NONE");
    empty->ProcessCommandLine("nobody", true, true);
    EXPECT_EQ(f.host.Take(), Calls{});
    EXPECT_EQ(empty->GetLogText(), "EGLL_TWR: nobody");
}

TEST_F(ChatCommands, NotConnectedSendsNothingButKeepsTheLine) {
    TarqChatWindow* w = Open("N1");
    f.host.connected = false;
    w->ProcessCommandLine("hi", true, true);
    w->ProcessCommandLine(".atis", true, true);
    EXPECT_EQ(f.host.Take(), (Calls{"error Not connected.", "error Not connected."}));
    EXPECT_EQ(w->GetLogText(), "");
    EXPECT_EQ(w->History().Previous(""), ".atis");
    EXPECT_EQ(w->History().Previous(""), "hi");
}

TEST_F(ChatCommands, AtisOfThePartner) {
    TarqChatWindow* w = Open("EGLL_ATIS");
    w->ProcessCommandLine(".ATIS", true, true);
    w->ProcessCommandLine(".showatis", true, true);
    w->OnLogDoubleClick();
    EXPECT_EQ(f.host.Take(), (Calls{"atis EGLL_ATIS", "atis EGLL_ATIS", "atis EGLL_ATIS"}));
    Open(":TEAM")->ProcessCommandLine(".atis", true, true);
    EXPECT_EQ(f.host.Take(), Calls{}) << "a group has no partner";
}

TEST_F(ChatCommands, AddAndRemoveMembers) {
    TarqChatWindow* w = Open(":TEAM");
    w->ProcessCommandLine(".A kl10 n777", true, true);
    EXPECT_EQ(w->GetMembers(), (std::vector<std::string>{"KL10", "N777"}));
    w->ProcessCommandLine(".a", true, true);
    w->ProcessCommandLine(".r", true, true);
    EXPECT_EQ(w->GetMembers(), (std::vector<std::string>{"KL10", "N777"}));
    w->OnMemberMenu(TarqChatWindow::kRemoveFromGroupCommand, "KL10");
    EXPECT_EQ(w->GetMembers(), std::vector<std::string>{"N777"});
    w->OnMemberMenu(TarqChatWindow::kPrivateChatCommand, "N777");
    EXPECT_EQ(f.forwarder.lines, Calls{":TEAM> .chat N777"});
    EXPECT_EQ(f.host.Take(), (Calls{}));
}

TEST_F(ChatCommands, CloseSavesThePlacementAndForgetsTheWindow) {
    TarqChatWindow* w = Open("N1");
    w->ProcessCommandLine(".X", true, true);
    EXPECT_FALSE(f.manager->HasPrivateChatWindow("N1"));
    EXPECT_NE(f.registry.GetString(TarqChatManager::kPlacementKey, "N1", ""), "");
    w->ProcessCommandLine("after", true, true);  // a closing window does nothing more
    EXPECT_EQ(f.host.Take(), Calls{"forget N1"});
    f.host.RunPosted();
}

TEST_F(ChatCommands, LogWritesABareFileNameInTheDataDirectoryOnly) {
    f.host.dataDirectory = f.dir.Path();
    TarqChatWindow* w = Open("N1");
    w->AppendToLog("N1: hi");
    struct Case {
        const char* line;
        const char* result;
    };
    const Case cases[] = {
        {".log", "error Must specify filename as a single parameter."},
        {".log a b", "error Must specify filename as a single parameter."},
        {".log ../escape.txt", "error Must specify a file name without a folder."},
        {".log /tmp/abs.txt", "error Must specify a file name without a folder."},
        {".log sub\\x.txt", "error Must specify a file name without a folder."},
        {".log ..", "error Must specify a file name without a folder."},
        {".LOG Chat.txt", "message Chat log saved."},
    };
    for (const Case& c : cases) {
        w->ProcessCommandLine(c.line, true, true);
        EXPECT_EQ(f.host.Take(), Calls{c.result}) << c.line;
    }
    EXPECT_TRUE(std::ifstream(f.dir.File("Chat.txt")).good()) << "the name keeps its case";
    EXPECT_FALSE(std::ifstream(f.dir.File("../escape.txt")).good());
}

TEST_F(ChatCommands, CopyTakesTheWholeLog) {
    TarqChatWindow* w = Open("N1");
    w->AppendToLog("one");
    w->AppendToLog("two");
    w->ProcessCommandLine(".copy extra words", true, true);
    EXPECT_EQ(f.View("N1")->clipboard, "one\r\ntwo");
}

TEST_F(ChatCommands, AliasesExpandOnlyForUnknownDotWords) {
    TarqChatWindow* w = Open("N1");
    f.host.selected = "DLH4";
    f.host.aliases[".hi"] = "hello there";
    f.host.aliases[".twice"] = ".wx EGLL";
    f.host.aliases[".again"] = ".again";
    w->ProcessCommandLine(".hi", true, true);
    w->ProcessCommandLine(".twice", true, true);
    w->ProcessCommandLine(".again", true, true);
    w->ProcessCommandLine(".nothing", true, true);
    EXPECT_EQ(f.host.Take(), (Calls{"expand .hi for DLH4", "send N1 hello there", "expand .twice for DLH4",
                                    "expand .again for DLH4", "expand .nothing for DLH4"}))
        << "an expansion runs once, without aliases";
    EXPECT_EQ(f.forwarder.lines, Calls{"N1> .wx EGLL"});
    EXPECT_EQ(w->History().Previous(""), ".nothing");
    EXPECT_EQ(w->History().Previous(""), ".again");
    f.host.aliasLoop = true;
    w->ProcessCommandLine(".loop", true, true);
    EXPECT_EQ(f.host.Take(),
              (Calls{"expand .loop for DLH4", "error Error parsing alias. It may contain an alias loop."}));
}

}  // namespace
