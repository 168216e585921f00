// The main display's furniture: the message sinks' lines reach its radio
// history, clicks go to the bar and then to the history, and the command
// line's history keys.
#include "app/display_furniture.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/button_picture.h"
#include "app/display_manager.h"
#include "fake_display.h"
#include "furniture_fixture.h"

namespace {

// One button, 50 wide, that records its clicks.
struct ClickButton : TarqDisplayButton {
    ClickButton(TarqDisplayButtonBar* bar, std::vector<std::string>* clicks)
        : TarqDisplayButton(bar, 50), clicks(clicks) {}
    int Draw(int x, int y) override {
        m_x = x;
        m_y = y;
        return m_width;
    }
    // Shows how many clicks it has had.
    int Compose(int x, int y, ButtonPicture& picture) override {
        picture.Text({255, 255, 255}, 2, x + 2, y + 2, std::to_string(clicks->size()));
        return Draw(x, y);
    }
    void OnClick(int x, int y) override { clicks->push_back(std::to_string(x) + "," + std::to_string(y)); }
    std::vector<std::string>* clicks;
};

struct OneButtonKinds : TarqButtonKinds {
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateFixedButtons(TarqDisplayButtonBar& bar) override {
        std::vector<std::unique_ptr<TarqDisplayButton>> buttons;
        buttons.push_back(std::make_unique<ClickButton>(&bar, &clicks));
        return buttons;
    }
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateDynamicButtons(TarqDisplayButtonBar&) override {
        return {};
    }
    std::vector<std::string> clicks;
};

// A display that, like the program's window, hosts the furniture on the
// main display only and hands it the sinks' lines.
struct HostedDisplay : FakeDisplay, RecordingHistoryHost {
    HostedDisplay(const TarqDisplaySettings& s, bool main, TarqButtonKinds& kinds, TarqProfile& profile,
                  const Clock& clock)
        : FakeDisplay(s, main, nullptr) {
        if (main) furniture = std::make_unique<TarqDisplayFurniture>(this, *this, kinds, profile, clock);
    }
    void AddRadioLine(RadioMessageKind kind, const std::string& text) override {
        if (furniture) furniture->AddRadioLine(kind, text);
    }
    std::unique_ptr<TarqDisplayFurniture> furniture;
};

class SinksTest : public HistoryTest {
protected:
    struct Factory : TarqDisplayFactory {
        explicit Factory(SinksTest& test) : test(test) {}
        std::unique_ptr<TarqDisplay> CreateDisplay(const TarqDisplaySettings& settings,
                                                   bool isMain) override {
            auto display =
                std::make_unique<HostedDisplay>(settings, isMain, test.kinds, test.profile, test.clock);
            created.push_back(display.get());
            return display;
        }
        SinksTest& test;
        std::vector<HostedDisplay*> created;
    };

    SinksTest() : factory(*this) {
        TarqDisplayManager::Hooks hooks;
        hooks.playErrorSound = [this] { errorSounds.push_back(Main() ? Main()->GetMessages().size() : 0); };
        manager = std::make_unique<TarqDisplayManager>(factory, queue.Poster(), queue.Scheduler(), hooks);
        manager->CreateDisplay(NamedSettings("main"));
        manager->CreateDisplay(NamedSettings("other"));
        Main()->Layout(0, 0, 400, 300, true);
    }
    ~SinksTest() override { manager.reset(); }

    TarqDisplayRadioHistory* Main() {
        return factory.created.empty() ? nullptr : &factory.created[0]->furniture->GetRadioHistory();
    }

    OneButtonKinds kinds;
    JobQueue queue;
    Factory factory;
    std::vector<size_t> errorSounds;  // history size when each error cue played
    std::unique_ptr<TarqDisplayManager> manager;
};

TEST_F(SinksTest, EachSinkAddsItsKindOfLineToTheMainHistory) {
    ASSERT_EQ(factory.created.size(), 2u);
    EXPECT_EQ(factory.created[1]->furniture, nullptr) << "a secondary display has neither bar nor history";

    manager->ShowError("Not your control.");
    manager->ShowMessage("Connected.");
    manager->ShowServerMessage("Welcome");
    EXPECT_FALSE(Main()->IsMessageWaiting());
    manager->ShowOverrideMessage("EDDF_TWR", "hello");

    EXPECT_EQ(Main()->GetMessages(),
              (std::vector<std::string>{"Error: Not your control.", "Connected.", "Server: Welcome",
                                        "[OVERRIDE] EDDF_TWR: hello"}));
    EXPECT_EQ(errorSounds, (std::vector<size_t>{0})) << "the error cue plays once, before its line";
    EXPECT_TRUE(Main()->IsMessageWaiting()) << "an override call waits for the controller";
    EXPECT_EQ(factory.created[0]->reveals, 3) << "error, server and override lines bring the box back";
    // Newest at the bottom, in the kinds' colours.
    ASSERT_GE(Main()->GetDisplayLines().size(), 3u);
    EXPECT_EQ(Main()->GetDisplayLines()[0], "[OVERRIDE] EDDF_TWR: hello");
    EXPECT_EQ(Main()->GetDisplayLineKinds()[0], RadioMessageKind::Override);
    EXPECT_EQ(Main()->GetDisplayLineKinds()[2], RadioMessageKind::Information);
}

TEST_F(SinksTest, AWorkerThreadsLineReachesTheHistoryOnTheMainThread) {
    std::thread worker([this] { manager->ShowError("Server list failed"); });
    worker.join();
    EXPECT_TRUE(Main()->GetMessages().empty());
    queue.RunAll();
    EXPECT_EQ(Main()->GetMessages(), (std::vector<std::string>{"Error: Server list failed"}));
}

// A 400 x 300 drawing area: the button (50 wide) spans x 4..54 and y
// 253..296, the 3-line history box x 7..392 and y 7..54 (y upward).
class FurnitureTest : public HistoryTest {
protected:
    std::unique_ptr<TarqDisplayFurniture> Make() {
        auto furniture = std::make_unique<TarqDisplayFurniture>(nullptr, host, kinds, profile, clock);
        furniture->GetButtonBar().LayOut(0, 0, 400, 300);
        furniture->GetRadioHistory().Layout(0, 0, 400, 300, true);
        return furniture;
    }
    OneButtonKinds kinds;
};

TEST_F(FurnitureTest, ClicksGoToTheBarThenToTheHistory) {
    constexpr int kBoth = 0xC000;
    struct Case {
        const char* name;
        int mask;
        int x;
        int y;  // canvas pixels, downward from the top row 0
        bool taken;
        const char* click;  // what the button saw, empty for nothing
        bool waitingAfter;
    };
    const Case cases[] = {
        {"on the button", kBoth, 30, 24, true, "30,275", true},
        {"button's top row", kBoth, 30, 3, true, "30,296", true},
        {"above the button", kBoth, 30, 2, false, "", true},
        {"button while the bar is hidden", 0x8000, 30, 24, false, "", true},
        {"right of the last button", kBoth, 56, 24, false, "", true},
        {"in the history box", kBoth, 200, 269, true, "", false},
        {"history's bottom edge", kBoth, 200, 292, true, "", false},
        {"below the history box", kBoth, 200, 293, false, "", true},
        {"history's top edge", kBoth, 200, 245, true, "", false},
        {"above the history box", kBoth, 200, 244, false, "", true},
        {"history while it is hidden", 0x4000, 200, 269, false, "", true},
        {"on the scope", kBoth, 200, 150, false, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kinds.clicks.clear();
        auto furniture = Make();
        furniture->AddRadioLine(RadioMessageKind::PrimaryRadio, "DLH123: radio check");
        EXPECT_EQ(furniture->OnLeftButtonDown(c.mask, c.x, c.y, 300), c.taken);
        EXPECT_EQ(kinds.clicks, *c.click ? std::vector<std::string>{c.click} : std::vector<std::string>{});
        EXPECT_EQ(furniture->GetRadioHistory().IsMessageWaiting(), c.waitingAfter);
    }
}

TEST_F(FurnitureTest, CommandLineKeysScrollExpandAndResizeTheHistory) {
    struct Case {
        const char* name;
        int key;
        bool ctrl;
        bool taken;
        int offset;
        bool expanded;
        int size;
        bool waiting;
    };
    // From 12 one-line messages, 5 lines, scrolled back one page, a call waiting.
    const Case cases[] = {
        {"PageUp", kVkPageUp, false, true, 10, false, 5, true},
        {"Ctrl+PageUp", kVkPageUp, true, true, 10, false, 5, true},
        {"PageDown back to the newest", kVkPageDown, false, true, 0, false, 5, false},
        {"Ctrl+End", kVkEnd, true, true, 0, false, 5, false},
        {"End alone", kVkEnd, false, false, 5, false, 5, true},
        {"Ctrl+Tab", kVkTab, true, true, 5, true, 5, true},
        {"Tab alone", kVkTab, false, false, 5, false, 5, true},
        {"Ctrl+Up", kVkUp, true, true, 5, false, 6, true},
        {"Ctrl+Down", kVkDown, true, true, 5, false, 4, true},
        {"Up alone", kVkUp, false, false, 5, false, 5, true},
        {"Down alone", kVkDown, false, false, 5, false, 5, true},
        {"Ctrl+A", 'A', true, false, 5, false, 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        profile.SetInt("RadioHistorySize", 5);
        auto furniture = Make();
        TarqDisplayRadioHistory& history = furniture->GetRadioHistory();
        for (int i = 0; i < 12; ++i) furniture->AddRadioLine(RadioMessageKind::PrimaryRadio, "call");
        history.ScrollOlder();
        ASSERT_EQ(history.GetScrollOffset(), 5);
        profile.SetModified(false);

        EXPECT_EQ(furniture->OnCommandLineKey(c.key, c.ctrl), c.taken);
        EXPECT_EQ(history.GetScrollOffset(), c.offset);
        EXPECT_EQ(history.IsExpanded(), c.expanded);
        EXPECT_EQ(profile.GetInt("RadioHistorySize"), c.size);
        EXPECT_EQ(profile.IsModified(), c.size != 5);
        EXPECT_EQ(history.IsMessageWaiting(), c.waiting);
    }
}

// The tick leaves the main display alone while this key stays the same, so
// it must move with every change the furniture shows and with nothing else.
TEST_F(FurnitureTest, ThePictureKeyFollowsWhatTheFurnitureShows) {
    constexpr int kBoth = 0xC000;
    profile.SetBool("FlashOnNewMessage", true);
    auto furniture = Make();
    auto key = [&](int mask) { return furniture->PictureKey(mask, 0, 0, 400, 300); };
    const uint64_t idle = key(kBoth);
    EXPECT_EQ(key(kBoth), idle) << "nothing changed";

    furniture->AddRadioLine(RadioMessageKind::PrimaryRadio, "DLH123: radio check");
    const uint64_t withLine = key(kBoth);
    EXPECT_NE(withLine, idle) << "a new line";
    clock.Advance(500);
    const uint64_t flashed = key(kBoth);
    EXPECT_NE(flashed, withLine) << "the waiting message's border flashes";
    clock.Advance(1000);
    EXPECT_EQ(key(kBoth), flashed) << "a whole flash period later";

    const uint64_t historyOnly = key(0x8000);
    furniture->OnLeftButtonDown(kBoth, 30, 24, 300);  // the button counts the click
    EXPECT_NE(key(kBoth), flashed) << "a button's picture";
    EXPECT_EQ(key(0x8000), historyOnly) << "the bar hidden: its button does not count";
    EXPECT_NE(key(0x4000), key(kBoth)) << "hiding the history";
    EXPECT_NE(furniture->PictureKey(kBoth, 0, 0, 500, 300), key(kBoth)) << "another viewport";
}

}  // namespace
