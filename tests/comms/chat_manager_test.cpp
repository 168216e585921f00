// The chat manager: routing of received messages, the queue, the "***" lines,
// the placements in the per-user store and their expiry, cascading, the
// active group, and windows closed from their own events.
#include "comms/chat_manager.h"

#include <gtest/gtest.h>

#include "chat_fixture.h"
#include "foundation/text_helpers.h"

namespace {

using Calls = std::vector<std::string>;

TEST(ChatManager, MessageForAnOpenPrivateWindowLandsThereUnderTheUpperCaseSender) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", false);
    f.manager->OpenChatWindow("EGLL_TWR", "", true);
    f.host.Take();
    f.manager->OnIncomingMessage("egll_twr", "hello");
    EXPECT_EQ(f.Log("EGLL_TWR"), "EGLL_TWR: hello");
    EXPECT_EQ(f.Log("Incoming Chat Log"), "EGLL_TWR: hello") << "hidden, it still receives";
    EXPECT_FALSE(f.manager->HasQueuedMessages("EGLL_TWR"));
    EXPECT_EQ(f.host.unread, std::set<std::string>{"EGLL_TWR"}) << "not the foreground window";
    EXPECT_EQ(f.host.Take(), Calls{"sound SoundChatMsg"});
}

TEST(ChatManager, ServerLinesGoOnlyToTheMainDisplay) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", true);
    f.host.Take();
    f.manager->OnIncomingMessage("server", "Welcome");
    EXPECT_EQ(f.host.Take(), Calls{"server Welcome"});
    EXPECT_EQ(f.Log("Incoming Chat Log"), "");
    EXPECT_TRUE(f.host.unread.empty());
}

TEST(ChatManager, UnknownSenderIsQueuedMarkedAndShownWhenItsWindowOpens) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", true);
    f.host.Take();
    f.manager->OnIncomingMessage("N123", "first");
    f.clock.Advance(5000);
    f.manager->OnIncomingMessage("N123", "second");
    EXPECT_TRUE(f.manager->HasQueuedMessages("N123"));
    EXPECT_EQ(f.host.unread, std::set<std::string>{"N123"});
    EXPECT_EQ(f.Log("Incoming Chat Log"), "N123: first\r\nN123: second");
    EXPECT_EQ(f.host.Take(), (Calls{"sound SoundChatMsg", "sound SoundChatMsg"}));

    f.host.bools["ShowTimestamps"] = true;
    f.manager->OpenChatWindow("N123", "", true);
    EXPECT_EQ(f.Log("N123"), "[09:05:07] N123: first\r\n[09:05:12] N123: second") << "no header line";
    EXPECT_FALSE(f.manager->HasQueuedMessages("N123"));
    EXPECT_TRUE(f.host.unread.empty());
}

TEST(ChatManager, MemberOfTwoGroupsReachesBothAndIsNotQueued) {
    ChatFixture f;
    f.manager->OpenChatWindow(":TEAM", "N101", true);
    f.manager->OpenChatWindow(":OPS", "N101 N202", true);
    f.manager->OnIncomingMessage("n101", "both");
    f.manager->OnIncomingMessage("N202", "ops only");
    EXPECT_EQ(f.Log(":TEAM"), "N101: both");
    EXPECT_EQ(f.Log(":OPS"), "N101: both\r\nN202: ops only");
    EXPECT_FALSE(f.manager->HasQueuedMessages("N101"));
    EXPECT_EQ(f.host.unread, (std::set<std::string>{":OPS", ":TEAM"}));
}

TEST(ChatManager, ForegroundWindowRaisesNoMarkAndFlashesOnlyWhenAsked) {
    ChatFixture f;
    f.manager->OpenChatWindow("EGLL_TWR", "", true);
    f.manager->OpenChatWindow("N1", "", true);
    f.View("EGLL_TWR")->foreground = true;
    f.host.bools["FlashOnNewChat"] = true;
    f.manager->OnIncomingMessage("EGLL_TWR", "a");
    f.manager->OnIncomingMessage("N1", "b");
    EXPECT_EQ(f.host.unread, std::set<std::string>{"N1"});
    EXPECT_FALSE(f.View("EGLL_TWR")->flashing);
    EXPECT_TRUE(f.View("N1")->flashing);
    f.Window("N1")->OnActivated();
    EXPECT_FALSE(f.View("N1")->flashing) << "activation stops it";
    EXPECT_TRUE(f.host.unread.empty());
}

TEST(ChatManager, TripleStarFromAKnownControllerIsAlsoAnOverrideLine) {
    struct Case {
        const char* sender;
        bool known;
        Calls calls;
    };
    const Case cases[] = {
        {"EGLL_APP", true, {"override EGLL_APP contact me", "sound SoundATCMsg interrupt"}},
        {"N123", false, {"sound SoundChatMsg"}},
    };
    for (const Case& c : cases) {
        ChatFixture f;
        if (c.known) f.host.controllers[c.sender] = "Jo Bloggs";
        f.manager->OpenChatWindow(c.sender, "", true);
        f.host.Take();
        f.manager->OnIncomingMessage(c.sender, "***contact me");
        EXPECT_EQ(f.host.Take(), c.calls) << c.sender;
        EXPECT_EQ(f.Log(c.sender), std::string(c.sender) + ": ***contact me") << "the window keeps the stars";
    }
}

TEST(ChatManager, ImplausibleSenderIsShownOnlyInTheIncomingLog) {
    const std::string cases[] = {
        "", std::string(kMaxChatCallsign + 1, 'A'), std::string("N1\x07", 3), "INCOMING CHAT LOG", ":TEAM",
    };
    for (const std::string& sender : cases) {
        ChatFixture f;
        f.manager->OpenChatWindow("Incoming Chat Log", "", true);
        f.manager->OpenChatWindow(":TEAM", "", true);
        f.host.Take();
        f.manager->OnIncomingMessage(sender, "odd");
        EXPECT_TRUE(f.host.unread.empty()) << sender;
        EXPECT_FALSE(f.manager->HasQueuedMessages(ToUpper(sender))) << sender;
        EXPECT_EQ(f.Log(":TEAM"), "") << sender;
        const std::string log = f.Log("Incoming Chat Log");
        EXPECT_EQ(log.substr(log.size() - 5), ": odd") << sender;
        EXPECT_EQ(log.find('\x07'), std::string::npos) << "no control character is shown";
        f.manager->CloseAllWindows();
        for (const auto& [name, value] : f.registry.GetValues(TarqChatManager::kPlacementKey))
            EXPECT_TRUE(name == "Incoming Chat Log" || name == ":TEAM") << "no store key for " << name;
    }
    EXPECT_TRUE(IsPlausibleCallsign("EGLL_TWR"));
    EXPECT_TRUE(IsPlausibleCallsign(std::string(kMaxChatCallsign, 'A')));
}

TEST(ChatManager, RemovedActiveWindowIsNoLongerTheActiveGroup) {
    ChatFixture f;
    f.manager->OpenChatWindow(":TEAM", "N101", true);
    EXPECT_TRUE(f.manager->IsMemberOfActiveGroup("N101"));
    EXPECT_TRUE(f.manager->IsMemberOfActiveGroup(":TEAM"));
    EXPECT_FALSE(f.manager->IsMemberOfActiveGroup(":OTHER"));
    EXPECT_FALSE(f.manager->IsMemberOfActiveGroup("N202"));
    std::unique_ptr<TarqChatWindow> removed(f.Window(":TEAM"));
    f.manager->RemoveWindow(":TEAM");
    EXPECT_FALSE(f.manager->IsMemberOfActiveGroup("N101"));
    EXPECT_FALSE(f.manager->IsMemberOfActiveGroup(":TEAM"));
    EXPECT_EQ(f.manager->GetLastActiveName(), "");
    EXPECT_EQ(f.host.Take().back(), "forget :TEAM");
}

TEST(ChatManager, GroupWindowGetsAControllerListSlotAndItsName) {
    ChatFixture f;
    f.manager->OpenChatWindow(":TEAM", "", false);
    f.manager->OpenChatWindow(":OPS", "", false);
    EXPECT_EQ(f.host.Take(), (Calls{"group slot :TEAM", "group slot :OPS"}));
    EXPECT_EQ(f.manager->GetGroupNames(), (std::vector<std::string>{"OPS", "TEAM"}));
    f.manager->AddToGroup("OPS", "N909");
    EXPECT_TRUE(f.Window(":OPS")->IsMember("N909"));
}

TEST(ChatManager, CascadePutsGroupsFirstThenPrivateWindows) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", false);
    f.manager->OpenChatWindow(":TEAM", "", true);
    f.manager->CascadeWindows();
    EXPECT_EQ(f.View(":TEAM")->frame.rect.left, 50);
    EXPECT_EQ(f.View(":TEAM")->frame.rect.top, 50);
    EXPECT_EQ(f.View("Incoming Chat Log")->frame.rect.left, 100);
    EXPECT_EQ(f.View("Incoming Chat Log")->frame.rect.bottom - 100, TarqChatManager::kPrivateHeight);
}

// --- placements -----------------------------------------------------------------------

TEST(ChatPlacement, ParsesFiveFieldsAndNothingElse) {
    struct Case {
        const char* value;
        bool ok;
        ChatWindowPlacement p;
    };
    const Case cases[] = {
        {"1796893507,50,60,486,203", true, {1796893507, 50, 60, 486, 203}},
        {"1796893507,,50,60,,486,203", true, {1796893507, 50, 60, 486, 203}},
        {"4102444800,-20,10,486,350", true, {4102444800, -20, 10, 486, 350}},  // 2100
        {"50,60,486,203", false, {}},
        {"1,2,3,4,5,6", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        std::optional<ChatWindowPlacement> p = ParseChatWindowPlacement(c.value);
        ASSERT_EQ(p.has_value(), c.ok) << c.value;
        if (!p) continue;
        EXPECT_EQ(p->savedAt, c.p.savedAt) << c.value;
        EXPECT_EQ(p->x, c.p.x) << c.value;
        EXPECT_EQ(p->y, c.p.y) << c.value;
        EXPECT_EQ(p->width, c.p.width) << c.value;
        EXPECT_EQ(p->height, c.p.height) << c.value;
    }
}

TEST(ChatPlacement, SavedTimeIsWrittenIn64Bits) {
    ChatFixture f;
    f.clock.SetWallSeconds(4102444800);  // 2100-01-01, past the 32-bit range
    f.manager->OpenChatWindow("N1", "", true);
    f.Window("N1")->OnCloseBox();
    EXPECT_EQ(f.registry.GetString(TarqChatManager::kPlacementKey, "N1", ""), "4102444800,15,15,486,203");
    // A day later the placement is young, not expired by a wrapped time.
    f.clock.SetWallSeconds(4102444800 + 86400);
    f.Start();
    EXPECT_NE(f.registry.GetString(TarqChatManager::kPlacementKey, "N1", ""), "");
}

TEST(ChatPlacement, ExpiresAfterThirtyDaysExceptTheIncomingLog) {
    ChatFixture f;
    const int64_t now = ChatFixture::kNow;
    auto set = [&](const std::string& name, const std::string& value) {
        f.registry.SetString(TarqChatManager::kPlacementKey, name, value);
    };
    set("OLD", std::to_string(now - 2592001) + ",1,2,3,4");
    set("EXACT", std::to_string(now - 2592000) + ",1,2,3,4");
    set("Incoming Chat Log", std::to_string(now - 9000000) + ",1,2,3,4");
    set("FOUR", "1,2,3,4");
    set("FUTURE", std::to_string(now + 100) + ",1,2,3,4");
    f.Start();
    std::vector<std::string> left;
    for (const auto& [name, value] : f.registry.GetValues(TarqChatManager::kPlacementKey))
        left.push_back(name);
    EXPECT_EQ(left, (std::vector<std::string>{"EXACT", "Incoming Chat Log", "FOUR", "FUTURE"}));
}

TEST(ChatPlacement, SavedPlaceIsUsedWhenOnAMonitorElseTheDefault) {
    struct Case {
        const char* value;
        bool mainWindow;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"1796893507,300,200,500,260", false, {300, 200, 800, 460}},
        {"1796893507,5000,200,500,260", false, {15, 15, 515, 275}},
        {"1796893507,5000,200,500,260", true, {40, 60, 540, 320}},
        {"", false, {15, 15, 501, 365}},  // no placement: the group default size
        {"300,200,500,260", true, {40, 60, 526, 410}},
    };
    for (const Case& c : cases) {
        ChatFixture f;
        f.host.hasMainWindow = c.mainWindow;
        if (*c.value) f.registry.SetString(TarqChatManager::kPlacementKey, ":TEAM", c.value);
        f.manager->OpenChatWindow(":TEAM", "", true);
        const ScreenRect r = f.View(":TEAM")->frame.rect;
        EXPECT_EQ(r.left, c.expected.left) << c.value;
        EXPECT_EQ(r.top, c.expected.top) << c.value;
        EXPECT_EQ(r.right, c.expected.right) << c.value;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.value;
    }
}

TEST(ChatPlacement, CloseAllSavesEveryWindowAndEmptiesTheQueue) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", false);
    f.manager->OpenChatWindow(":TEAM", "", true);
    f.manager->OnIncomingMessage("N5", "waiting");
    TarqChatWindow* group = f.Window(":TEAM");
    f.View(":TEAM")->input = "closing from inside";
    f.host.Take();
    f.manager->CloseAllWindows();
    // Still there for the event that may have closed it, but deaf.
    EXPECT_TRUE(group->IsClosing());
    EXPECT_TRUE(group->OnInputKey(ChatKey::Enter));
    EXPECT_EQ(f.host.Take().size(), 0u) << "nothing sent by a closed window";
    ASSERT_EQ(f.host.posted.size(), 1u);
    f.host.RunPosted();
    EXPECT_FALSE(f.manager->HasQueuedMessages("N5"));
    EXPECT_EQ(f.Window(":TEAM"), nullptr);
    EXPECT_EQ(f.registry.GetValues(TarqChatManager::kPlacementKey).size(), 2u);
    EXPECT_FALSE(f.manager->IsIncomingChatLogOpen());
}

// --- closing from inside a window's own event -----------------------------------------------

TEST(ChatManager, ClosedWindowIsDeletedOnlyAfterItsEvent) {
    ChatFixture f;
    f.manager->OpenChatWindow("N1", "", true);
    TarqChatWindow* window = f.Window("N1");
    FakeChatWindowNative* view = f.View("N1");
    view->input = ".x";
    EXPECT_TRUE(window->OnInputKey(ChatKey::Enter));
    // Still alive after the handler returned: the input box was left alone.
    EXPECT_TRUE(window->IsClosing());
    EXPECT_EQ(view->input, ".x");
    EXPECT_EQ(f.Window("N1"), nullptr);
    EXPECT_FALSE(view->frame.shown);
    EXPECT_NE(f.registry.GetString(TarqChatManager::kPlacementKey, "N1", ""), "") << "placement saved";
    // A message now opens nothing and reaches the queue.
    f.manager->OnIncomingMessage("N1", "late");
    EXPECT_TRUE(f.manager->HasQueuedMessages("N1"));
    f.host.RunPosted();  // nothing left: the message deleted it already
    EXPECT_TRUE(f.host.posted.empty());
}

TEST(ChatManager, CloseBoxDefersDeletionAndHidesTheIncomingLog) {
    ChatFixture f;
    f.manager->OpenChatWindow("Incoming Chat Log", "", true);
    f.manager->OpenChatWindow(":TEAM", "", true);
    f.Window(":TEAM")->OnCloseBox();
    EXPECT_EQ(f.Window(":TEAM"), nullptr);
    ASSERT_EQ(f.host.posted.size(), 1u);
    f.host.RunPosted();
    f.Window("Incoming Chat Log")->OnCloseBox();
    EXPECT_NE(f.Window("Incoming Chat Log"), nullptr);
    EXPECT_FALSE(f.manager->IsIncomingChatLogOpen());
    EXPECT_EQ(f.host.Take().back(), "menus");
    f.manager->ShowIncomingChatLog();
    EXPECT_TRUE(f.manager->IsIncomingChatLogOpen());
}

}  // namespace
