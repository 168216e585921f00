#include "app/aircraft_actions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/context_menus.h"

namespace {

namespace am = aircraft_menu;

// The world of the actions, with what they did as lines.
struct FakeServices : AircraftActionServices {
    void RunCommand(const std::string& line) override { log.push_back("run " + line); }
    void ShowErrorLine(const std::string& text) override { log.push_back("error " + text); }
    void ShowInfoLine(const std::string& text) override { log.push_back("info " + text); }
    void PlayErrorSound() override { log.push_back("sound"); }
    std::string GetOwnCallsign() override { return own; }
    int GetRating() override { return rating; }
    std::vector<std::string> GetScratchpadPresets() override { return presets; }
    bool HasAircraft(const std::string& c) override { return aircraft.count(c) != 0; }
    std::string GetTrackingController(const std::string& c) override { return tracking[c]; }
    bool HasIncomingHandoff(const std::string& c) override { return incoming.count(c) != 0; }
    std::string GetHandoffTarget(const std::string& c) override { return handoffTarget[c]; }
    std::string GetScratchpad(const std::string& c) override { return scratchpads[c]; }
    void SetScratchpad(const std::string& c, const std::string& text) override {
        log.push_back("scratchpad " + c + " " + text);
    }
    void ToggleRequestList(const std::string& c) override { log.push_back("reminder " + c); }
    std::string GetDeparture(const std::string& c) override { return departures[c]; }
    std::string GetDestination(const std::string&) override { return ""; }
    std::string GetCallsignForAircraftNumber(const std::string& n) override { return numbers[n]; }
    std::vector<std::string> FindCallsignsContaining(const std::string& text) override {
        std::vector<std::string> out;
        for (const std::string& c : aircraft)
            if (c.find(text) != std::string::npos) out.push_back(c);
        return out;
    }
    std::string FindListedCallsign(char) override { return ""; }
    std::vector<MenuController> GetRadarControllers() override { return controllers; }
    bool HasController(const std::string& c) override { return !gone.count(c); }
    void InitiateHandoff(const std::string& c, const std::string& id) override {
        log.push_back("handoff " + c + " to " + id);
    }
    void ShowControllerInfo(const std::string& c) override { log.push_back("controller info " + c); }
    bool IsValidATC() override { return validAtc; }
    void SendPointOut(const std::string& to, const std::string& c) override {
        log.push_back("pointout " + to + " " + c);
    }
    bool HasSelcal(const std::string& c) override { return selcal.count(c) != 0; }
    void SendSelcal(const std::string& c) override { log.push_back("selcal " + c); }
    void AddStrip(const std::string& c) override { log.push_back("strip " + c); }
    void RequestMetar(const std::string& s) override { log.push_back("metar " + s); }
    void OpenTextEntry(const TextEntryRequest& r) override {
        log.push_back("entry " + std::to_string(static_cast<int>(r.mode)) + " [" + r.initialText + "] " +
                      r.callsign + " " + std::to_string(r.noteKey));
    }
    std::string GetSelectedCallsign() override { return selected; }
    void SetSelectedCallsign(const std::string& c) override {
        selected = c;
        log.push_back("select " + c);
    }
    std::string GetCommandLine() override { return commandLine; }
    void SetCommandLine(const std::string& text) override { commandLine = text; }
    void AddToCommandHistory(const std::string& text) override { log.push_back("history " + text); }
    void ShowRoute(const std::string& c) override { log.push_back("route " + c); }
    void ShowConvergence(const std::string& a, const std::string& b) override {
        log.push_back("convergence " + a + " " + b);
    }
    void AddSeparationLink(const std::string& a, const std::string& b) override {
        log.push_back("link " + a + " " + b);
    }
    bool FindNamedPoint(const std::string& name) override { return name == "KJFK"; }
    void AddAnchor(const std::string& c, const std::string& p) override {
        log.push_back("anchor " + c + " " + p);
    }
    std::string GetNoteText(uint64_t) override { return "RWY 27|CLOSED"; }
    void SetNoteText(uint64_t key, const std::string& text) override {
        log.push_back("note " + std::to_string(key) + " " + text);
    }
    void RemoveNote(uint64_t key) override { log.push_back("remove note " + std::to_string(key)); }
    void ShowTrafficCall(const std::string& a, const std::string& b) override {
        log.push_back("traffic " + a + " " + b);
    }
    void ShowFlightPlan(const std::string& c) override { log.push_back("flight plan " + c); }

    std::string own = "NY_APP";
    int rating = 5;
    std::vector<std::string> presets;
    std::set<std::string> aircraft = {"DAL123", "UAL9", "UAL456"};
    std::map<std::string, std::string> tracking, handoffTarget, scratchpads, departures, numbers;
    std::set<std::string> incoming, selcal, gone;
    std::vector<MenuController> controllers;
    bool validAtc = true;
    std::string selected;
    std::string commandLine;
    std::vector<std::string> log;
};

// The menu as lines: "label=id", submenus as "label>" with their items
// indented, separators as "-", greyed items in brackets.
void Flatten(const std::vector<PopupMenuItem>& items, const std::string& indent,
             std::vector<std::string>& out) {
    for (const PopupMenuItem& item : items) {
        if (!item.submenu.empty()) {
            out.push_back(indent + item.label + ">");
            Flatten(item.submenu, indent + "  ", out);
        } else if (item.id == 0 && item.label.empty()) {
            out.push_back(indent + "-");
        } else {
            std::string text = item.label + "=" + std::to_string(item.id);
            out.push_back(indent + (item.enabled ? text : "[" + text + "]"));
        }
    }
}

// The top level only, submenus by name.
std::vector<std::string> TopLevel(const std::vector<PopupMenuItem>& items) {
    std::vector<std::string> out;
    for (const PopupMenuItem& item : items) {
        if (!item.submenu.empty())
            out.push_back(item.label + ">");
        else if (item.id == 0 && item.label.empty())
            out.push_back("-");
        else
            out.push_back(item.label);
    }
    return out;
}

class AircraftActionsTest : public ::testing::Test {
protected:
    FakeServices services;
    TarqAircraftActions actions{services};
};

TEST_F(AircraftActionsTest, TheTrackItemsFollowWhoTracksAndWhichHandoffRuns) {
    struct Case {
        const char* name;
        std::string tracker;
        bool incoming;
        std::string target;
        std::vector<std::string> items;  // between Assign Squawk and the first separator
    };
    const Case cases[] = {
        {"untracked", "", false, "", {"Start Track", "Pointout>"}},
        {"offered to me", "BOS_CTR", true, "", {"Accept Handoff", "Pointout>", "Refuse Handoff"}},
        {"mine", "NY_APP", false, "", {"Handoff>", "Drop Track", "Pointout>"}},
        {"mine, handoff running", "NY_APP", false, "BOS_CTR", {"Cancel Handoff", "Pointout>"}},
        {"another's", "BOS_CTR", false, "", {"Start Track", "Pointout>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.tracking["DAL123"] = c.tracker;
        services.handoffTarget["DAL123"] = c.target;
        services.incoming.clear();
        if (c.incoming) services.incoming.insert("DAL123");
        std::vector<std::string> top = TopLevel(actions.BuildMenu("DAL123"));
        ASSERT_GE(top.size(), 3u);
        EXPECT_EQ(top[0], "Toggle FDB");
        EXPECT_EQ(top[1], "Assign Squawk");
        auto separator = std::find(top.begin(), top.end(), "-");
        EXPECT_EQ(std::vector<std::string>(top.begin() + 2, separator), c.items);
    }
}

TEST_F(AircraftActionsTest, TheRestOfTheMenuInOrderAndTheRatingAndSelcalItems) {
    const std::vector<std::string> rest = {"-",
                                           "Temp Alt>",
                                           "Clear Temp Alt",
                                           "Cruise Alt>",
                                           "Edit Flight Plan",
                                           "Show Route",
                                           "Set Scratchpad",
                                           "Clear Scratchpad",
                                           "-",
                                           "Set Voice Type>",
                                           "Add Flight Strip",
                                           "Toggle Reminder",
                                           "Get Weather>",
                                           "Set Anchor...",
                                           "Clear Anchor",
                                           "Open Chat",
                                           "Show Name",
                                           "Aircraft Info"};
    std::vector<std::string> top = TopLevel(actions.BuildMenu("DAL123"));
    std::vector<std::string> expected = {"Toggle FDB", "Assign Squawk", "Start Track", "Pointout>"};
    expected.insert(expected.end(), rest.begin(), rest.end());
    expected.push_back("Send Contact Me");
    EXPECT_EQ(top, expected) << "rating 5, no SELCAL code, no presets";

    services.rating = 11;
    services.selcal.insert("DAL123");
    top = TopLevel(actions.BuildMenu("DAL123"));
    std::vector<std::string> tail(top.end() - 5, top.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Send SELCAL", "Send Contact Me", "-", "Request INF",
                                              "Request COM Freq"}));
    services.rating = 10;
    top = TopLevel(actions.BuildMenu("DAL123"));
    EXPECT_EQ(top.back(), "Send Contact Me") << "a rating of 10 asks for nothing";
}

TEST_F(AircraftActionsTest, SubmenusAltitudeColumnsControllersAndPresets) {
    services.tracking["DAL123"] = "NY_APP";
    services.presets = {"ILS", "VIS"};
    std::vector<PopupMenuItem> menu = actions.BuildMenu("DAL123");
    auto find = [&](const std::string& label) -> const PopupMenuItem* {
        for (const PopupMenuItem& item : menu)
            if (item.label == label) return &item;
        return nullptr;
    };
    const PopupMenuItem* temp = find("Temp Alt");
    ASSERT_NE(temp, nullptr);
    ASSERT_EQ(temp->submenu.size(), 60u);
    std::vector<std::string> breaks;
    for (const PopupMenuItem& item : temp->submenu)
        if (item.columnBreak) breaks.push_back(item.label);
    EXPECT_EQ(breaks, (std::vector<std::string>{"21,000", "41,000"})) << "three columns of twenty";
    EXPECT_EQ(temp->submenu.front().label, "1,000");
    EXPECT_EQ(temp->submenu.front().id, 101);
    EXPECT_EQ(temp->submenu.back().id, 160);
    EXPECT_EQ(find("Cruise Alt")->submenu.back().id, 260);

    std::vector<std::string> lines;
    Flatten({*find("Handoff"), *find("Set Scratchpad")}, "", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Handoff>", "  [No Radar Controllers=301]", "Set Scratchpad>",
                                               "  Custom...=7", "  -", "  ILS=1101", "  VIS=1102"}));

    services.controllers = {{"BOS_CTR", "B"}, {"JFK_TWR", "J"}};
    menu = actions.BuildMenu("DAL123");
    lines.clear();
    Flatten({*find("Handoff"), *find("Pointout")}, "", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Handoff>", "  BOS_CTR=301", "  JFK_TWR=302", "Pointout>",
                                               "  BOS_CTR=401", "  JFK_TWR=402"}));
}

TEST_F(AircraftActionsTest, EachItemsCommandText) {
    services.presets = {"ILS"};
    const std::pair<int, const char*> cases[] = {
        {1, "run .QP DAL123"},         {2, "run .QB DAL123"},        {3, "run .QT DAL123"},
        {4, "run .QX DAL123"},         {5, "run .SS DAL123"},        {6, "run .QU DAL123"},
        {8, "run .QS DAL123"},         {12, "run .AN DAL123"},       {13, "run .showname DAL123"},
        {15, "run .contactme DAL123"}, {17, "run .com? DAL123"},     {18, "run .chat DAL123"},
        {19, "run .acinfo DAL123"},    {100, "run .QQ DAL123"},      {60, "run .qb v DAL123"},
        {61, "run .qb t DAL123"},      {62, "run .qb r DAL123"},     {101, "run .QQ 10 DAL123"},
        {135, "run .QQ 350 DAL123"},   {160, "run .QQ 600 DAL123"},  {201, "run .QZ 10 DAL123"},
        {260, "run .QZ 600 DAL123"},   {1101, "run .QS ILS DAL123"}, {9, "strip DAL123"},
        {10, "reminder DAL123"},       {14, "selcal DAL123"},
    };
    for (const auto& [id, expected] : cases) {
        SCOPED_TRACE(id);
        services.log.clear();
        actions.Carry("DAL123", id);
        EXPECT_EQ(services.log, std::vector<std::string>{expected});
    }
    services.log.clear();
    actions.Carry("DAL123", 16);
    EXPECT_EQ(services.log, (std::vector<std::string>{"run .inf DAL123", "run .msg SERVER IP DAL123"}));
}

TEST_F(AircraftActionsTest, DialogsWeatherHandoffsAndPointouts) {
    services.scratchpads["DAL123"] = "ILS";
    services.departures["DAL123"] = "KJFK";
    services.controllers = {{"BOS_CTR", "B"}, {"JFK_TWR", "J"}};
    actions.BuildMenu("DAL123");
    actions.Carry("DAL123", 7);
    actions.Carry("DAL123", 11);
    actions.Carry("DAL123", 50);
    actions.Carry("DAL123", 51);
    actions.Carry("DAL123", 302);
    actions.Carry("DAL123", 401);
    services.validAtc = false;
    actions.Carry("DAL123", 402);
    services.validAtc = true;
    services.gone.insert("JFK_TWR");
    actions.Carry("DAL123", 302);  // the controller left since the menu was built
    actions.Carry("DAL123", 0);    // nothing chosen
    EXPECT_EQ(services.log,
              (std::vector<std::string>{
                  "entry 1 [ILS] DAL123 0", "entry 2 [] DAL123 0", "metar KJFK",
                  "info METAR requested for KJFK.", "error No destination airport filed.",
                  "handoff DAL123 to J", "controller info JFK_TWR", "pointout BOS_CTR DAL123",
                  "info Pointout sent: BOS_CTR->DAL123", "error Observers cannot send pointouts."}));
}

TEST_F(AircraftActionsTest, AnAircraftThatLeftBeforeTheChoiceIsNotFound) {
    actions.BuildMenu("UAL9");
    services.aircraft.erase("UAL9");
    for (int id : {1, 3, 9, 101, 7, 50, 301}) {
        services.log.clear();
        actions.Carry("UAL9", id);
        EXPECT_EQ(services.log, std::vector<std::string>{"error Aircraft not found."}) << id;
    }
}

TEST_F(AircraftActionsTest, ClickModifierTable) {
    struct Case {
        bool ctrl, alt, shift;
        std::string selected;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {true, true, false, "UAL9", {"route DAL123"}},
        {true, true, true, "UAL9", {"route DAL123"}},
        {true, false, true, "UAL9", {"traffic UAL9 DAL123"}},
        {true, false, true, "", {"error No aircraft selected."}},
        {true,
         false,
         true,
         "DAL123",
         {"error Must click a different aircraft than the one that is radio selected."}},
        {true, false, false, "UAL9", {"flight plan DAL123"}},
        {false, true, true, "UAL9", {"link UAL9 DAL123", "select DAL123"}},
        {false, true, false, "UAL9", {"strip DAL123"}},
        {false, false, true, "UAL9", {"convergence UAL9 DAL123"}},
        {false, false, false, "UAL9", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ctrl ? "Ctrl+" : "") + (c.alt ? "Alt+" : "") + (c.shift ? "Shift+" : "") +
                     c.selected);
        services.log.clear();
        services.selected = c.selected;
        actions.OnAircraftClick("DAL123", {c.ctrl, c.alt, c.shift});
        EXPECT_EQ(services.log, c.log);
    }
}

TEST_F(AircraftActionsTest, APlainClickCompletesADotCommandOnTheCommandLine) {
    services.commandLine = ".QT";
    actions.OnAircraftClick("DAL123", {});
    EXPECT_EQ(services.log, (std::vector<std::string>{"history .QT DAL123", "run .QT DAL123"}));
    EXPECT_EQ(services.commandLine, "");
    services.log.clear();
    services.commandLine = "hello";
    actions.OnAircraftClick("DAL123", {});
    EXPECT_TRUE(services.log.empty());
    EXPECT_EQ(services.commandLine, "hello");
}

TEST_F(AircraftActionsTest, SelectionFromTheCommandLine) {
    services.numbers["417"] = "UAL9";
    struct Case {
        const char* line;
        std::string selectedBefore;
        std::vector<std::string> log;
        std::string selectedAfter;
    };
    const Case cases[] = {
        {"", "DAL123", {"reminder DAL123"}, "DAL123"},
        {"", "", {}, ""},
        {".QT", "DAL123", {"history .QT DAL123", "run .QT DAL123"}, "DAL123"},
        {"dal", "", {"select DAL123"}, "DAL123"},
        {"417/", "DAL123", {"select UAL9"}, "UAL9"},
        {"UAL", "DAL123", {"select ", "sound"}, ""},  // two match
        {"XYZ", "DAL123", {"select ", "sound"}, ""},
        {"999/", "", {"select ", "sound"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        services.log.clear();
        services.selected = c.selectedBefore;
        services.commandLine = c.line;
        actions.SelectAircraftFromCommandLine();
        EXPECT_EQ(services.log, c.log);
        EXPECT_EQ(services.selected, c.selectedAfter);
        if (*c.line) {
            EXPECT_EQ(services.commandLine, "");
        }
    }
}

TEST_F(AircraftActionsTest, StickyNoteMenuAndTheTextEntry) {
    std::vector<std::string> lines;
    Flatten(TarqAircraftActions::NoteMenu(), "", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Edit Text=1001", "Delete Note=1002"}));
    actions.CarryNoteChoice(7, kNoteEditText);
    actions.CarryNoteChoice(7, kNoteDelete);
    actions.CarryNoteChoice(7, 0);
    EXPECT_EQ(services.log, (std::vector<std::string>{"entry 3 [RWY 27\r\nCLOSED]  7", "remove note 7"}));

    services.log.clear();
    actions.ApplyTextEntry({TextEntryMode::StickyNote, "", "", 7}, "A\r\nB");
    actions.ApplyTextEntry({TextEntryMode::Scratchpad, "", "DAL123", 0}, "ILS");
    actions.ApplyTextEntry({TextEntryMode::Anchor, "", "DAL123", 0}, "kjfk");
    actions.ApplyTextEntry({TextEntryMode::Anchor, "", "DAL123", 0}, "nowhere");
    EXPECT_EQ(services.log, (std::vector<std::string>{"note 7 A\r\nB", "scratchpad DAL123 ILS",
                                                      "anchor DAL123 KJFK", "error Point not found."}));
}

// The right button: a press asks for the menu, which opens when the timer
// fires unless the button was dragged or double-clicked in between.
TEST(ContextMenus, RightButtonStateMachine) {
    struct Case {
        const char* name;
        const char* events;  // p press, m move with the button held, u release, d double click, t timer
        bool opens;
    };
    const Case cases[] = {
        {"press and release", "put", true},
        {"press, timer, release", "ptu", true},
        {"drag still held at the timer", "pmt", false},
        {"drag released before the timer", "pmut", true},
        {"double click (press up press dclick up)", "pupdut", false},
        {"a move without the button changes nothing", "pxut", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> timers;
        TarqContextMenus menus([&](int ms) { timers.push_back(ms); });
        TarqContextMenus::Opening opening;
        for (const char* e = c.events; *e; ++e) {
            switch (*e) {
                case 'p':
                    menus.OpenAircraftMenuLater("DAL123", 40, 60);
                    break;
                case 'm':
                    menus.OnMouseMove(true);
                    break;
                case 'x':
                    menus.OnMouseMove(false);
                    break;
                case 'u':
                    menus.OnRightButtonUp();
                    break;
                case 'd':
                    menus.OnRightDoubleClick();
                    break;
                case 't':
                    opening = menus.OnTimer();
                    break;
            }
        }
        EXPECT_EQ(opening.kind == TarqContextMenus::Opening::Kind::Aircraft, c.opens);
        if (c.opens) {
            EXPECT_EQ(opening.title, "DAL123");
            EXPECT_EQ(opening.x, 40);
            EXPECT_EQ(opening.y, 60);
        }
        EXPECT_EQ(menus.GetState(), 0) << "reset when the timer fires";
        ASSERT_FALSE(timers.empty());
        EXPECT_EQ(timers.front(), 250);
    }
}

TEST(ContextMenus, StickyNotesShareTheTimerAndAReleaseNeverGoesBelowZero) {
    TarqContextMenus menus(nullptr);
    menus.OnRightButtonUp();
    menus.OnRightButtonUp();
    EXPECT_EQ(menus.GetState(), 0);
    EXPECT_EQ(menus.OnTimer().kind, TarqContextMenus::Opening::Kind::None) << "nothing pending";
    menus.OpenStickyNoteMenuLater(99, 5, 6);
    TarqContextMenus::Opening opening = menus.OnTimer();
    EXPECT_EQ(opening.kind, TarqContextMenus::Opening::Kind::StickyNote);
    EXPECT_EQ(opening.title, "Sticky Note");
    EXPECT_EQ(opening.noteKey, 99u);
    EXPECT_EQ(menus.OnTimer().kind, TarqContextMenus::Opening::Kind::None) << "a one-shot";
}

}  // namespace
