// The radio history's decisions: kinds, adders, wrapping, scrolling, the box
// geometry, the blinking border, and the clipboard text and radio log.
#include "app/radio_history.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "foundation/start_directory.h"
#include "furniture_fixture.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string ColorName(RgbColor c) {
    const std::pair<RgbColor, const char*> names[] = {
        {{0, 255, 255}, "cyan"},   {{255, 255, 255}, "white"},  {{220, 220, 220}, "light grey"},
        {{170, 170, 170}, "grey"}, {{60, 60, 60}, "dark grey"}, {{210, 0, 0}, "red"},
        {{255, 255, 0}, "yellow"}, {{0, 210, 0}, "green"},
    };
    for (const auto& [color, name] : names) {
        if (color == c) return name;
    }
    return "?";
}

TEST_F(HistoryTest, EveryKindStoresItsPrefixColourRevealAndWaitingEffect) {
    struct Case {
        RadioMessageKind kind;
        const char* stored;
        const char* color;
        bool reveals;
        int waiting;  // 1 sets, -1 clears, 0 leaves
    };
    const Case cases[] = {
        {RadioMessageKind::PrimaryRadio, "hi", "light grey", true, 1},
        {RadioMessageKind::OtherRadio, "hi", "grey", true, 0},
        {RadioMessageKind::OwnRadio, "hi", "cyan", true, -1},
        {RadioMessageKind::AtcChannel, "hi", "green", true, 0},
        {RadioMessageKind::Broadcast, "hi", "yellow", true, 0},
        {RadioMessageKind::Wallop, "hi", "red", true, 0},
        {RadioMessageKind::Error, "Error: hi", "red", true, 0},
        {RadioMessageKind::Information, "hi", "yellow", false, 0},
        {RadioMessageKind::Server, "Server: hi", "yellow", true, 0},
        {RadioMessageKind::OwnPrivate, "hi", "cyan", false, 0},
        {RadioMessageKind::Guard, "hi", "red", true, 1},
        {RadioMessageKind::Override, "[OVERRIDE] hi", "red", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        for (bool waitingBefore : {false, true}) {
            history->Reset();
            if (waitingBefore) history->AddMessage("prime", RadioMessageKind::PrimaryRadio);
            host.reveals = 0;
            history->AddMessage("hi", c.kind);
            EXPECT_EQ(history->GetMessages().back(), c.stored);
            EXPECT_EQ(ColorName(GetRadioKindInfo(history->GetDisplayLineKinds().front()).color), c.color);
            EXPECT_EQ(host.reveals, c.reveals ? 1 : 0);
            bool expected = c.waiting == 1 || (c.waiting == 0 && waitingBefore);
            EXPECT_EQ(history->IsMessageWaiting(), expected);
        }
    }
}

TEST_F(HistoryTest, AddersFormatTheLineAndPlayTheirSoundFirst) {
    struct Case {
        const char* name;
        std::function<void(TarqDisplayRadioHistory&)> add;
        const char* line;
        const char* sound;
        RadioMessageKind kind;
    };
    const Case cases[] = {
        {"ATC channel", [](auto& h) { h.AddRadioMessage("EDDM_APP", 149999, "hello"); },
         "[ATC] EDDM_APP: hello", "SoundATCMsg interrupting", RadioMessageKind::AtcChannel},
        {"guard", [](auto& h) { h.AddRadioMessage("DLH12", 121500, "mayday"); }, "[GUARD] DLH12: mayday",
         "SoundGuardMsg interrupting", RadioMessageKind::Guard},
        {"primary frequency", [](auto& h) { h.AddRadioMessage("DLH12", 118700, "ready"); }, "DLH12: ready",
         "SoundRadioMsg interrupting", RadioMessageKind::PrimaryRadio},
        {"other frequency", [](auto& h) { h.AddRadioMessage("DLH12", 118300, "ready"); },
         "DLH12 on 118.300: ready", "SoundRadioMsg not interrupting", RadioMessageKind::OtherRadio},
        {"broadcast", [](auto& h) { h.AddBroadcast("SUP", false, "maint"); }, "[BROADCAST] SUP: maint",
         "SoundBcastMsg not interrupting", RadioMessageKind::Broadcast},
        {"wallop", [](auto& h) { h.AddBroadcast("SUP", true, "help"); }, "[WALLOP] SUP: help",
         "SoundBcastMsg interrupting", RadioMessageKind::Wallop},
        {"own radio", [](auto& h) { h.AddOwnMessage("go ahead", "", RadioMessageKind::OwnRadio); },
         "EDDF_TWR: go ahead", "", RadioMessageKind::OwnRadio},
        {"own ATC", [](auto& h) { h.AddOwnMessage("hi", "", RadioMessageKind::AtcChannel); },
         "[ATC] EDDF_TWR: hi", "", RadioMessageKind::AtcChannel},
        {"own broadcast", [](auto& h) { h.AddOwnMessage("hi", "", RadioMessageKind::Broadcast); },
         "[BROADCAST] EDDF_TWR: hi", "", RadioMessageKind::Broadcast},
        {"own wallop", [](auto& h) { h.AddOwnMessage("hi", "", RadioMessageKind::Wallop); },
         "[WALLOP] EDDF_TWR: hi", "", RadioMessageKind::Wallop},
        {"own private", [](auto& h) { h.AddOwnMessage("hi", "DLH12", RadioMessageKind::OwnPrivate); },
         "[PRIVATE] EDDF_TWR->DLH12: hi", "", RadioMessageKind::OwnPrivate},
        {"percent signs stay text", [](auto& h) { h.AddRadioMessage("A%sB", 121500, "100%d"); },
         "[GUARD] A%sB: 100%d", "SoundGuardMsg interrupting", RadioMessageKind::Guard},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.sounds.clear();
        c.add(*history);
        EXPECT_EQ(history->GetMessages().back(), c.line);
        EXPECT_EQ(host.sounds.empty() ? "" : host.sounds.front(), std::string(c.sound));
        EXPECT_EQ(history->GetDisplayLineKinds().front(), c.kind);
    }
}

TEST_F(HistoryTest, LongLinesAreNotCutByTheAdders) {
    std::string text(3000, 'x');
    history->AddRadioMessage("DLH12", 121500, text);
    EXPECT_EQ(history->GetMessages().back(), "[GUARD] DLH12: " + text);
}

TEST_F(HistoryTest, TimeStampGoesBeforeTheKindPrefix) {
    profile.SetBool("ShowTimestamps", true);
    history->AddMessage("boom", RadioMessageKind::Error);
    EXPECT_EQ(history->GetMessages().back(), "[09:05:07] Error: boom");
}

TEST(WrapTextTest, Table) {
    struct Case {
        const char* name;
        const char* text;
        int width;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"empty text: no pieces", "", 70, {}},
        {"only spaces: one blank", "     ", 70, {" "}},
        {"runs of spaces collapse", "a   b    c", 70, {"a b c"}},
        {"leading and trailing spaces give no words", "  ab  ", 70, {"ab"}},
        {"continuations are indented by two", "aaaa bbbb cccc", 70, {"aaaa bbbb", "  cccc"}},
        {"a word that exactly fills the width stays", "aaaa bbbbb", 70, {"aaaa bbbbb"}},
        {"one character more wraps", "aaaa bbbbbb", 70, {"aaaa", "  bbbbbb"}},
        {"a long word is never split", "abcdefghijklmnop q", 70, {"abcdefghijklmnop", "  q"}},
        {"zero width puts every word alone", "a b", 0, {"a", "  b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TarqDisplayRadioHistory::WrapText(c.text, 7, c.width), c.expected);
    }
}

TEST(WrapTextTest, TwoHundredCharactersInAFourHundredPixelArea) {
    std::string text;
    for (int i = 0; text.size() < 200; ++i) text += "word" + std::to_string(i) + " ";
    std::vector<std::string> pieces = TarqDisplayRadioHistory::WrapText(text, 7, 375);
    ASSERT_GE(pieces.size(), 4u);
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(static_cast<int>(pieces[i].size()) * 7, 375);
        if (i > 0) {
            EXPECT_EQ(pieces[i].substr(0, 2), "  ");
            EXPECT_NE(pieces[i][2], ' ');
        }
        joined += (i ? pieces[i].substr(1) : pieces[i]);
    }
    EXPECT_EQ(joined + " ", text);
}

TEST_F(HistoryTest, NewestMessageAtTheBottomWithItsLastPieceLowest) {
    history->AddMessage("old", RadioMessageKind::Information);
    std::string longMessage;
    for (int i = 0; i < 8; ++i) longMessage += "abcdefghi ";  // 80 characters: two pieces at 375 pixels
    history->AddMessage(longMessage, RadioMessageKind::Information);
    const auto& lines = history->GetDisplayLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 2), "  ");
    EXPECT_EQ(lines[1].substr(0, 9), "abcdefghi");
    EXPECT_EQ(lines[2], "old");
    EXPECT_EQ(history->GetPage(), 2);
}

TEST_F(HistoryTest, EmptyMessageTakesNoLineButCounts) {
    history->AddMessage("a", RadioMessageKind::Information);
    history->AddMessage("", RadioMessageKind::Information);
    EXPECT_EQ(history->GetMessages().size(), 2u);
    EXPECT_EQ(history->GetDisplayLines(), std::vector<std::string>{"a"});
}

TEST_F(HistoryTest, AHugeMessageFillsTheBoxAndNoMore) {
    std::string huge;
    for (int i = 0; i < 20000; ++i) huge += "w" + std::to_string(i) + " ";
    history->AddMessage(huge, RadioMessageKind::Information);
    const auto& lines = history->GetDisplayLines();
    ASSERT_EQ(lines.size(), 3u);
    // The last pieces of the message are the ones shown.
    std::vector<std::string> all = TarqDisplayRadioHistory::WrapText(huge, 7, history->GetWrapWidth());
    EXPECT_EQ(lines[0], all[all.size() - 1]);
    EXPECT_EQ(lines[2], all[all.size() - 3]);

    history->AddMessage(std::string(3000, 'z'), RadioMessageKind::Information);
    EXPECT_EQ(history->GetDisplayLines()[0].size(), TarqDisplayRadioHistory::kMaxDrawnLine);
}

TEST_F(HistoryTest, ScrollingPagesAndHoldsTheViewWhileMessagesArrive) {
    for (int i = 0; i < 10; ++i) history->AddMessage("m" + std::to_string(i), RadioMessageKind::Information);
    EXPECT_EQ(history->GetPage(), 3);
    EXPECT_EQ(history->GetDisplayLines()[0], "m9");

    history->AddMessage("call", RadioMessageKind::PrimaryRadio);  // m0..m9, call
    history->ScrollOlder();
    EXPECT_EQ(history->GetScrollOffset(), 3);
    EXPECT_EQ(history->GetDisplayLines()[0], "m7");
    EXPECT_EQ(ColorName(history->Layout(0, 0, 400, 300, false).border), "red");

    history->AddMessage("new", RadioMessageKind::Information);
    EXPECT_EQ(history->GetScrollOffset(), 4);
    EXPECT_EQ(history->GetDisplayLines()[0], "m7");

    for (int i = 0; i < 10; ++i) history->ScrollOlder();
    EXPECT_EQ(history->GetScrollOffset(), 11);  // the oldest message at the bottom
    EXPECT_EQ(history->GetDisplayLines(), std::vector<std::string>{"m0"});

    history->ScrollNewer();
    EXPECT_EQ(history->GetScrollOffset(), 10);  // page was 1 with a single line shown
    EXPECT_TRUE(history->IsMessageWaiting());
    while (history->GetScrollOffset() > 0) history->ScrollNewer();
    EXPECT_FALSE(history->IsMessageWaiting());
    EXPECT_EQ(history->GetDisplayLines()[0], "new");
}

TEST_F(HistoryTest, ScrollToNewestClearsWaitingAndReturnsLive) {
    for (int i = 0; i < 5; ++i) history->AddMessage("m" + std::to_string(i), RadioMessageKind::PrimaryRadio);
    history->ScrollOlder();
    history->ScrollToNewest();
    EXPECT_EQ(history->GetScrollOffset(), 0);
    EXPECT_FALSE(history->IsMessageWaiting());
    EXPECT_EQ(history->GetDisplayLines()[0], "m4");
}

TEST_F(HistoryTest, ExpandedAndLiveMessagesDoNotRaiseWaiting) {
    history->ToggleExpanded();
    history->Layout(0, 0, 400, 600, false);
    history->AddMessage("call", RadioMessageKind::PrimaryRadio);
    EXPECT_FALSE(history->IsMessageWaiting());
}

TEST_F(HistoryTest, BoxGeometry) {
    struct Case {
        const char* name;
        int size;
        bool expanded;
        int height;
        int top;
        int lines;
        int offset;
    };
    const Case cases[] = {
        {"8 lines", 8, false, 600, 124, 8, 124},
        {"expanded in 600 pixels", 8, true, 600, 543, 38, -1},
        {"size 0 is taken as 1", 0, false, 600, 26, 1, 26},
        {"negative size is taken as 1", -4, false, 600, 26, 1, 26},
        {"size 99 is taken as 50", 99, false, 900, 712, 50, 712},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        profile.SetInt("RadioHistorySize", c.size);
        history->Reset();
        if (c.expanded) history->ToggleExpanded();
        RadioHistoryFrame frame = history->Layout(0, 0, 400, c.height, false);
        EXPECT_EQ(frame.left, 7);
        EXPECT_EQ(frame.bottom, 7);
        EXPECT_EQ(frame.right, 392);
        EXPECT_EQ(frame.top, c.top);
        EXPECT_EQ(history->GetVisibleLineCount(), c.lines);
        EXPECT_EQ(history->GetOffset(), c.offset);
        EXPECT_EQ(history->GetWrapWidth(), 375);
    }
}

TEST_F(HistoryTest, LinesAreLaidOutFourteenPixelsApart) {
    for (int i = 0; i < 5; ++i) history->AddMessage("m" + std::to_string(i), RadioMessageKind::Information);
    RadioHistoryFrame frame = history->Layout(0, 0, 400, 300, false);
    ASSERT_EQ(frame.lines.size(), 3u);
    EXPECT_EQ(frame.lines[0].text, "m4");
    EXPECT_EQ(frame.lines[0].y, 12);
    EXPECT_EQ(frame.lines[2].y, 40);
    EXPECT_EQ(frame.lines[2].x, 12);
}

TEST_F(HistoryTest, BorderColourOverTime) {
    struct Case {
        const char* name;
        bool waiting;
        bool flash;
        int scrolled;
        bool expanded;
        uint64_t sinceStart;
        const char* expected;
    };
    const Case cases[] = {
        {"quiet", false, true, 0, false, 600, "dark grey"},
        {"waiting, first half of the second", true, true, 0, false, 499, "dark grey"},
        {"waiting, second half begins", true, true, 0, false, 500, "white"},
        {"waiting, end of the second", true, true, 0, false, 1999, "white"},
        {"waiting, next second", true, true, 0, false, 2000, "dark grey"},
        {"waiting without flashing", true, false, 0, false, 700, "dark grey"},
        {"waiting and scrolled back, dark half", true, true, 1, false, 100, "red"},
        {"waiting and scrolled back, light half", true, true, 1, false, 700, "white"},
        {"expanded", false, true, 0, true, 700, "green"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        profile.SetBool("FlashOnNewMessage", c.flash);
        history->Reset();
        for (int i = 0; i < 5; ++i) history->AddMessage("m", RadioMessageKind::Information);
        history->Layout(0, 0, 400, 300, true);
        if (c.scrolled) history->ScrollOlder();
        if (c.waiting) history->AddMessage("call", RadioMessageKind::PrimaryRadio);
        if (c.expanded) history->ToggleExpanded();
        StartTime = clock.NowMs() - c.sinceStart;
        EXPECT_EQ(ColorName(history->Layout(0, 0, 400, 300, false).border), c.expected);
    }
}

TEST_F(HistoryTest, HitTestTakesTheEdgesAndClearsWaiting) {
    struct Case {
        const char* name;
        int x;
        int y;
        bool hit;
    };
    // 3 lines in 400 pixels: left 7, bottom 7, right 392, top 54.
    const Case cases[] = {
        {"lower-left corner", 7, 7, true}, {"upper-right corner", 392, 54, true},
        {"left of the box", 6, 20, false}, {"right of the box", 393, 20, false},
        {"below the box", 100, 6, false},  {"above the box", 100, 55, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        history->AddMessage("call", RadioMessageKind::Guard);
        EXPECT_EQ(history->HitTest(c.x, c.y), c.hit);
        EXPECT_EQ(history->IsMessageWaiting(), !c.hit);
    }
}

TEST_F(HistoryTest, NoClickIsTakenBeforeTheFirstFrame) {
    TarqDisplayRadioHistory fresh(host, profile, clock);
    EXPECT_FALSE(fresh.HitTest(0, 0));
}

TEST_F(HistoryTest, SizeKeysStayWithinThreeAndFifty) {
    struct Case {
        int from;
        int delta;
        int expected;
    };
    const Case cases[] = {{50, 1, 50}, {3, -1, 3}, {5, 1, 6}, {5, -1, 4}, {1, -1, 3}, {80, 1, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " by " + std::to_string(c.delta));
        profile.SetInt("RadioHistorySize", c.from);
        profile.SetModified(false);
        history->ChangeSize(c.delta);
        EXPECT_EQ(profile.GetInt("RadioHistorySize"), c.expected);
        EXPECT_TRUE(profile.IsModified());
    }
}

TEST_F(HistoryTest, ClipboardGetsEveryMessageWithCrLf) {
    history->CopyToClipboard();
    EXPECT_TRUE(host.clipboard.empty());
    profile.SetBool("ShowTimestamps", true);
    history->AddMessage("one", RadioMessageKind::Information);
    history->AddMessage("two", RadioMessageKind::Error);
    history->AddMessage("three", RadioMessageKind::PrimaryRadio);
    host.clipboardFree = false;  // a busy clipboard says nothing
    history->CopyToClipboard();
    ASSERT_EQ(host.clipboard.size(), 1u);
    EXPECT_EQ(host.clipboard[0], "[09:05:07] one\r\n[09:05:07] Error: two\r\n[09:05:07] three\r\n");
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(HistoryTest, RadioLogIsWrittenWithCrLf) {
    std::string path = dir.File("radio.log");
    history->SaveLog(path);
    EXPECT_EQ(host.errors, std::vector<std::string>{"No history to save!"});
    EXPECT_FALSE(std::filesystem::exists(path));

    history->AddMessage("one", RadioMessageKind::Information);
    history->AddMessage("two", RadioMessageKind::Server);
    history->SaveLog(path);
    EXPECT_EQ(ReadFile(path), "one\r\nServer: two\r\n");
    EXPECT_EQ(host.infos, std::vector<std::string>{"Radio log saved."});

    history->SaveLog(dir.File("missing/radio.log"));
    EXPECT_EQ(host.errors.back(), "Error saving radio log to specified file.");
    EXPECT_EQ(history->GetMessages().size(), 2u);
}

TEST_F(HistoryTest, LogCommandTakesABareFileNameOnly) {
    std::string saved = StartDirectory;
    StartDirectory = dir.Path();
    history->AddMessage("one", RadioMessageKind::Information);
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"radio.log", true},       {"../radio.log", false},  {"..", false},          {".", false},
        {"sub/radio.log", false},  {"C:\\radio.log", false}, {"C:radio.log", false}, {"", false},
        {"/tmp/radio.log", false}, {"log\nname", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.errors.clear();
        host.infos.clear();
        history->SaveLogNamed(c.name);
        EXPECT_EQ(host.infos.size(), c.accepted ? 1u : 0u);
        EXPECT_EQ(host.errors.size(), c.accepted ? 0u : 1u);
    }
    EXPECT_EQ(ReadFile(dir.File("radio.log")), "one\r\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(dir.Path()).parent_path() / "radio.log") &&
                 ReadFile((std::filesystem::path(dir.Path()).parent_path() / "radio.log").string()) ==
                     "one\r\n");
    StartDirectory = saved;
}

}  // namespace
