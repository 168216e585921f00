// The button kinds' visibility, texts and clicks over a scripted host, the
// land-line walk, and the frame tick keeping the land lines current without
// a frame being drawn.
#include "app/button_kinds.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/display_button_bar.h"
#include "app/frame_tick.h"
#include "platform/key_state.h"
#include "tests/app/quiet_button_host.h"

namespace {

struct FakeHost : QuietButtonHost {
    uint64_t NowMs() const override { return now; }
    int MeasureWidth(int font, std::string_view text) const override {
        return static_cast<int>(text.size()) * (font == 4 ? 20 : 7);
    }
    int MeasureHeight(int, std::string_view) const override { return 13; }
    bool GetBool(const std::string& key) const override { return switches.count(key) != 0; }
    int GetInt(const std::string& key) const override {
        auto it = ints.find(key);
        return it == ints.end() ? 0 : it->second;
    }
    std::string GetString(const std::string& key) const override {
        return key == "Callsign" ? "EDDF_TWR" : "";
    }
    void PlaySoundSetting(const std::string& key) override { calls.push_back("sound " + key); }
    void ShowMessage(const std::string& text) override { calls.push_back("info " + text); }
    bool IsAltKeyDown() const override { return alt; }
    bool IsConflictSoundPlaying() const override { return conflictSound; }
    void StopConflictSound() override {
        conflictSound = false;
        calls.push_back("stop sound");
    }
    bool IsRequestingHelp() const override { return help; }
    bool IsRejectingPrivateMessages() const override { return rejecting; }
    int GetPrimaryFrequency() const override { return primaryKhz; }
    void ToggleCommsPanel() override { calls.push_back("toggle comms"); }
    void RebuildAllMenus() override { calls.push_back("menus all"); }
    void RebuildMainMenus() override { calls.push_back("menus main"); }
    bool AreFiltersEnabled() const override { return filters; }
    void ToggleFilters() override { filters = !filters; }
    bool IsEntryInUse(int entry) const override { return entry != textOnlyEntry; }
    bool IsEntryTransmitChecked(int) const override { return txChecked; }
    void ToggleEntry(int entry) override { calls.push_back("toggle entry " + std::to_string(entry)); }
    void GetRulerData(int& heading, double& distance) const override {
        heading = rulerHeading;
        distance = rulerDistance;
    }
    void SetRulerData(int heading, double distance) override {
        rulerHeading = heading;
        rulerDistance = distance;
    }
    int GetViewportWidth() const override { return viewportWidth; }
    std::string GetAtisLetter() const override { return atisLetter; }
    bool IsVoiceAtisConnected() const override { return voiceAtis; }
    bool IsReportChanged(const std::string& station) const override { return changed.count(station) != 0; }
    std::string GetMetar(const std::string& station) const override {
        return metars.count(station) ? metars.at(station) : "";
    }
    void RemoveStation(const std::string& station) override {
        calls.push_back("remove " + station);
        if (onRemove) onRemove();
    }
    void ClearStationMarks() override { calls.push_back("clear marks"); }
    void ShowStation(const std::string& station) override { calls.push_back("show " + station); }
    LandLineView GetLandLines() const override { return landLines; }
    void AcceptLandLine() override { calls.push_back("accept"); }
    void StopLandLine() override { calls.push_back("hang up"); }

    uint64_t now = 0;
    std::set<std::string> switches;
    std::map<std::string, int> ints;
    std::vector<std::string> calls;
    bool alt = false;
    bool conflictSound = false;
    bool help = false;
    bool rejecting = false;
    int primaryKhz = 0;
    bool filters = false;
    int textOnlyEntry = -1;
    bool txChecked = false;
    int rulerHeading = 0;
    double rulerDistance = 0.0;
    int viewportWidth = 800;
    std::string atisLetter;
    bool voiceAtis = false;
    std::set<std::string> changed;
    std::map<std::string, std::string> metars;
    std::function<void()> onRemove;
    LandLineView landLines;
};

ButtonPicture Compose(TarqPictureButton& button, int x = 100, int y = 10) {
    ButtonPicture picture;
    button.Compose(x, y, picture);
    return picture;
}

int Width(TarqPictureButton& button) {
    ButtonPicture picture;
    return button.Compose(100, 10, picture);
}

TEST(ButtonKinds, EachShowsOnlyWithItsSwitchAndCondition) {
    struct Row {
        const char* name;
        std::function<std::unique_ptr<TarqPictureButton>(FakeHost&)> make;
        const char* key;                           // null: no switch
        std::function<void(FakeHost&)> condition;  // null: none
        int width;
    };
    auto no = std::function<void(FakeHost&)>();
    const std::vector<Row> rows = {
        {"SilenceCA", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonSilenceCA>(nullptr, h); },
         nullptr, [](FakeHost& h) { h.conflictSound = true; }, 130},
        {"Reminders",
         [](FakeHost& h) { return std::make_unique<TarqDisplayButtonReminderLights>(nullptr, h); },
         "DispBtnReminders", no, 43},
        {"Clock", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonClock>(nullptr, h); },
         "DispBtnClock", no, 100},
        {"GGStatus", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonGGStatus>(nullptr, h); },
         nullptr, [](FakeHost& h) { h.landLines.monitored = "EDDF_APP"; }, 120},
        {"Filters", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonFilterToggle>(nullptr, h); },
         "DispBtnFilters", no, 73},
        {"Quicklook", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonQuicklook>(nullptr, h); },
         "DispBtnQuicklook", no, 40},
        {"Timer", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonTimer>(nullptr, h); },
         "DispBtnTimer", no, 86},
        {"Ruler", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonRuler>(nullptr, h); },
         "DispBtnRuler", [](FakeHost& h) { h.rulerDistance = 0.1; }, 86},
        {"ATIS", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonATIS>(nullptr, h); }, nullptr,
         [](FakeHost& h) { h.atisLetter = "BRAVO"; }, 50},
        {"Freq", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonFreq>(nullptr, h, 2); },
         "DispBtnFreqs", no, 89},
        {"WX", [](FakeHost& h) { return std::make_unique<TarqDisplayButtonWX>(nullptr, h, "EDDF"); },
         "DispBtnWXStations", no, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeHost host;
        auto button = row.make(host);
        EXPECT_EQ(Width(*button), 0) << "nothing set";
        if (row.key) {
            host.switches.insert(row.key);
            EXPECT_EQ(Width(*button), row.condition ? 0 : row.width) << "switch alone";
        }
        if (row.condition) {
            row.condition(host);
            EXPECT_EQ(Width(*button), row.width);
            if (row.key) {
                host.switches.erase(row.key);
                EXPECT_EQ(Width(*button), 0) << "condition alone";
            }
        }
    }
}

TEST(ButtonKinds, TimerChoicesCountExpiryAndStop) {
    FakeHost host;
    host.switches.insert("DispBtnTimer");
    host.now = 5000;
    TarqDisplayButtonTimer timer(nullptr, host);
    ButtonPicture idle = Compose(timer, 100, 10);
    EXPECT_EQ(idle.Texts(), (std::vector<std::string>{"2", "min", "3", "min"}));
    const auto& two = timer.TwoMinuteChoice();
    const auto& three = timer.ThreeMinuteChoice();
    EXPECT_EQ((std::vector<int>{two.left, two.bottom, two.right, two.top}),
              (std::vector<int>{106, 16, 140, 47}));
    EXPECT_EQ((std::vector<int>{three.left, three.bottom, three.right, three.top}),
              (std::vector<int>{146, 16, 180, 47}));

    timer.OnClick(143, 30);  // between the two choices
    EXPECT_FALSE(timer.IsRunning());
    timer.OnClick(140, 47);  // the 2-minute box's top-right corner
    ASSERT_TRUE(timer.IsRunning());

    struct Step {
        uint64_t after;  // ms since the click
        std::string count;
    };
    for (const Step& step : {Step{1, "2:00"}, Step{1000, "2:00"}, Step{1001, "1:59"}, Step{120000, "0:01"},
                             Step{120001, "0:00"}, Step{121000, "0:00"}}) {
        host.now = 5000 + step.after;
        ButtonPicture running = Compose(timer, 100, 10);
        ASSERT_EQ(running.Texts().size(), 1u);
        EXPECT_EQ(running.Texts()[0], step.count) << step.after;
        const ButtonShape* count = running.FindText(step.count);
        EXPECT_EQ(count->font, 4);
        EXPECT_EQ(count->left, 100 + 43 - 4 * 20 / 2);  // measured centring in font 4
    }
    EXPECT_TRUE(host.calls.empty());
    host.now = 5000 + 121001;
    EXPECT_EQ(Compose(timer).Texts(), (std::vector<std::string>{"0:00"}));
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"info Countdown timer has expired.", "sound SoundReminder"}));
    EXPECT_EQ(Compose(timer).Texts().size(), 4u) << "idle again";

    timer.OnClick(150, 20);  // three minutes
    host.now += 60000;
    EXPECT_EQ(Compose(timer).Texts(), (std::vector<std::string>{"2:01"}));
    host.calls.clear();
    timer.OnClick(0, 0);  // anywhere stops it, silently
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_TRUE(host.calls.empty());
}

TEST(ButtonKinds, RulerTextsAndClearingClick) {
    struct Case {
        int heading;
        double distance;
        std::string headings;
        std::string distanceText;
    };
    for (const Case& c : {Case{90, 12.34, "H:090-270", "D:12.3"}, Case{270, 5.0, "H:270-090", "D:5.0"},
                          Case{180, 0.05, "H:180-360", "D:0.1"}, Case{360, 100.0, "H:360-180", "D:100.0"}}) {
        FakeHost host;
        host.switches.insert("DispBtnRuler");
        host.rulerHeading = c.heading;
        host.rulerDistance = c.distance;
        TarqDisplayButtonRuler ruler(nullptr, host);
        EXPECT_EQ(Compose(ruler).Texts(),
                  (std::vector<std::string>{"Ruler Data", c.headings, c.distanceText}));
        ruler.OnClick(0, 0);
        EXPECT_EQ(Width(ruler), 0) << "the click clears the ruler";
    }
}

TEST(ButtonKinds, ClockFrequencyAndCallsignColour) {
    FakeHost host;
    host.switches.insert("DispBtnClock");
    TarqDisplayButtonClock clock(nullptr, host);
    struct Case {
        int kHz;
        std::string shown;
    };
    for (const Case& c : {Case{0, "SET PRIM FREQ"}, Case{118700, "118.700"}, Case{121500, "121.500"}}) {
        host.primaryKhz = c.kHz;
        ButtonPicture picture = Compose(clock, 100, 10);
        const ButtonShape* frequency = picture.FindText(c.shown);
        ASSERT_NE(frequency, nullptr) << c.shown;
        EXPECT_EQ(frequency->left, 100 + 50 - static_cast<int>(7 * c.shown.size()) / 2 - 1);  // centred - 1
        EXPECT_EQ(frequency->bottom, 10 + 43 - 39);
    }
    const ButtonColor normal{235, 235, 235};
    const ButtonColor refusing{235, 0, 0};
    const ButtonColor help{255, 140, 60};
    struct Colour {
        bool help;
        bool rejecting;
        uint64_t now;
        ButtonColor color;
    };
    for (const Colour& c :
         {Colour{false, false, 0, normal}, Colour{false, true, 0, refusing}, Colour{true, true, 100, help},
          Colour{true, true, 600, refusing}, Colour{true, false, 600, normal}}) {
        host.help = c.help;
        host.rejecting = c.rejecting;
        host.now = c.now;
        EXPECT_EQ(Compose(clock).FindText("EDDF_TWR")->color, c.color) << c.help << c.rejecting << c.now;
    }
    clock.OnClick(0, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"toggle comms", "menus all"}));
}

TEST(ButtonKinds, FrequencyTextOnlyEntryAndLights) {
    FakeHost host;
    host.switches.insert("DispBtnFreqs");
    host.ints["CommsEntryFreq3"] = 124350;
    host.textOnlyEntry = 3;
    TarqDisplayButtonFreq button(nullptr, host, 3);
    auto fills = [](const ButtonPicture& picture) {
        std::vector<int> bottoms;
        for (const ButtonShape& shape : picture.Shapes())
            if (shape.kind == ButtonShape::Kind::Fill) bottoms.push_back(shape.bottom - 10);
        return bottoms;
    };
    ButtonPicture picture = Compose(button, 100, 10);
    EXPECT_NE(picture.FindText("124.350"), nullptr);
    EXPECT_NE(picture.FindText("TXT ONLY"), nullptr);
    EXPECT_EQ(fills(picture), (std::vector<int>{5})) << "only the RX light without the TX box";
    button.OnClick(0, 0);
    EXPECT_TRUE(host.calls.empty()) << "a text-only entry ignores clicks";

    host.textOnlyEntry = -1;
    host.txChecked = true;
    picture = Compose(button, 100, 10);
    EXPECT_NE(picture.FindText("ON SPKR"), nullptr);
    EXPECT_EQ(fills(picture), (std::vector<int>{25, 5}));
    button.OnClick(0, 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"toggle entry 3"}));
}

TEST(ButtonKinds, WeatherMetarBoxStaysInsideTheViewport) {
    // Button 100 wide; METAR 7 px a character, 13 high; viewport 800 wide.
    struct Case {
        int x;
        int chars;
        int left;
        int right;
    };
    for (const Case& c : {
             Case{300, 30, 300 - 55 - 4, 300 - 55 - 4 + 218},  // fits: centred under the button
             Case{700, 60, 368, 796},                          // too far right: ends 4 inside
             Case{10, 40, 4, 292},                             // too far left: starts 4 inside
             Case{300, 7, 300 + 25 - 4, 300 + 25 - 4 + 57},    // narrower than the button
         }) {
        FakeHost host;
        host.switches.insert("DispBtnWXStations");
        host.metars["EDDF"] = std::string(static_cast<size_t>(c.chars), 'M');
        TarqDisplayButtonWX::ShownStation() = "EDDF";
        TarqDisplayButtonWX button(nullptr, host, "EDDF");
        ButtonPicture picture = Compose(button, c.x, 500);
        const ButtonShape* box = nullptr;
        for (const ButtonShape& shape : picture.Shapes())
            if (shape.kind == ButtonShape::Kind::Fill) box = &shape;
        ASSERT_NE(box, nullptr) << c.x;
        EXPECT_EQ(box->left, c.left) << c.x << " " << c.chars;
        EXPECT_EQ(box->right, c.right) << c.x << " " << c.chars;
        EXPECT_EQ(box->top, 493);
        EXPECT_EQ(box->bottom, 500 - 13 - 11);
        EXPECT_EQ(picture.FindText(host.metars["EDDF"])->left, c.left + 4);
    }
    TarqDisplayButtonWX::ShownStation().clear();
}

TEST(ButtonKinds, WeatherTextsAndClickOrder) {
    FakeHost host;
    host.switches.insert("DispBtnWXStations");
    TarqDisplayButtonWX button(nullptr, host, "KBOS");
    EXPECT_EQ(Compose(button).Texts(), (std::vector<std::string>{"KBOS WX", "Wind -----", "Alt ----"}));

    struct Case {
        bool alt;
        bool changed;
        std::string shown;
        std::string call;
        std::string shownAfter;
    };
    for (const Case& c :
         {Case{true, true, "KBOS", "remove KBOS", "KBOS"}, Case{false, true, "KBOS", "clear marks", "KBOS"},
          Case{false, false, "KBOS", "", ""}, Case{false, false, "EDDF", "show KBOS", "KBOS"}}) {
        host.calls.clear();
        host.alt = c.alt;
        host.changed.clear();
        if (c.changed) host.changed.insert("KBOS");
        TarqDisplayButtonWX::ShownStation() = c.shown;
        button.OnClick(0, 0);
        EXPECT_EQ(host.calls, c.call.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.call});
        EXPECT_EQ(TarqDisplayButtonWX::ShownStation(), c.shownAfter);
    }
    TarqDisplayButtonWX::ShownStation().clear();
}

// Alt+click removes the station, which rebuilds the bar under the click.
TEST(ButtonKinds, RemovingAStationFromItsButtonRebuildsAfterTheClick) {
    FakeHost host;
    host.switches.insert("DispBtnWXStations");
    host.alt = true;
    std::vector<std::string> stations = {"KBOS", "EDDF"};
    TarqHostButtonKinds kinds(host, {}, [&] { return stations; });
    TarqDisplayButtonBar bar(nullptr, kinds, nullptr);
    bar.Rebuild();
    size_t buttonsDuringClick = 0;
    host.onRemove = [&] {
        stations.erase(stations.begin());
        bar.Rebuild();
        buttonsDuringClick = bar.GetDynamicWidths().size();
    };
    bar.LayOut(0, 0, 800, 600);
    ASSERT_EQ(bar.GetDynamicWidths(), (std::vector<int>{101, 101}));
    EXPECT_TRUE(bar.HitTest(10, 560));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"remove KBOS"}));
    EXPECT_EQ(buttonsDuringClick, 2u) << "the clicked button outlives its click";
    EXPECT_EQ(bar.GetDynamicWidths(), (std::vector<int>{0})) << "rebuilt once the click returned";
}

TEST(ButtonKinds, LandLineLabelsAndClicks) {
    struct Case {
        LandLineView view;
        uint64_t now;
        std::string label;
        std::string name;
        ButtonColor color;
        std::string click;
    };
    auto view = [](auto set) {
        LandLineView v;
        set(v);
        return v;
    };
    const std::vector<Case> cases = {
        {view([](LandLineView& v) { v.overriddenBy = v.activePartner = "A"; }),
         0,
         "OVERRIDDEN BY:",
         "A",
         {235, 0, 0},
         "hang up"},
        {view([](LandLineView& v) { v.overriding = v.activePartner = "B"; }),
         0,
         "OVERRIDING:",
         "B",
         {235, 0, 0},
         "hang up"},
        {view([](LandLineView& v) {
             v.intercomPartner = v.activePartner = "C";
             v.onHold = v.onCall = true;
         }),
         0,
         "ON HOLD WITH:",
         "C",
         {0, 120, 0},
         "hang up"},
        {view([](LandLineView& v) {
             v.intercomPartner = v.activePartner = "D";
             v.onCall = true;
         }),
         0,
         "ON CALL WITH:",
         "D",
         {0, 235, 0},
         "hang up"},
        {view([](LandLineView& v) {
             v.intercomPartner = v.activePartner = "E";
             v.calling = true;
         }),
         600,
         "CALLING:",
         "E",
         {235, 0, 0},
         "hang up"},
        {view([](LandLineView& v) { v.intercomPartner = v.incomingCaller = "F"; }),
         100,
         "CALL FROM:",
         "F",
         {120, 120, 120},
         "accept"},
        {view([](LandLineView& v) { v.monitored = v.activePartner = "G"; }),
         0,
         "MONITORING:",
         "G",
         {102, 153, 255},
         "hang up"},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.landLines = c.view;
        host.now = c.now;
        TarqDisplayButtonGGStatus button(nullptr, host);
        ButtonPicture picture = Compose(button);
        EXPECT_EQ(picture.Texts(), (std::vector<std::string>{"LANDLINE STATUS:", c.label, c.name}));
        EXPECT_EQ(picture.FindText(c.name)->color, c.color) << c.label;
        button.OnClick(0, 0);
        EXPECT_EQ(host.calls, (std::vector<std::string>{c.click})) << c.label;
    }
}

struct ScriptedLines : LandLineSource {
    std::vector<std::string> GetControllerCallsigns() const override { return callsigns; }
    int GetLandLineState(int kind, const std::string& callsign) const override {
        auto it = states.find({kind, callsign});
        return it == states.end() ? 1 : it->second;
    }
    void Publish(const LandLineView& view) override {
        published.push_back(view.incomingCaller + "|" + view.intercomPartner + "|" + view.monitored);
    }
    std::vector<std::string> callsigns = {"EDDF_APP", "EDDF_CTR", "EDDF_GND", "EDDF_TWR"};
    std::map<std::pair<int, std::string>, int> states;
    std::vector<std::string> published;
};

TEST(LandLineWatch, WalkStopsAtTheFirstLineButNotAtAMonitor) {
    ScriptedLines lines;
    lines.states[{2, "EDDF_APP"}] = 6;  // monitored
    lines.states[{0, "EDDF_CTR"}] = 7;  // held
    lines.states[{0, "EDDF_GND"}] = 2;  // ringing in, met later
    LandLineView view = TarqLandLineWatch::Walk(lines);
    EXPECT_EQ(view.intercomPartner, "EDDF_CTR");
    EXPECT_TRUE(view.onHold && view.onCall);
    EXPECT_EQ(view.incomingCaller, "");
    EXPECT_EQ(view.monitored, "EDDF_APP");
    EXPECT_EQ(view.activePartner, "EDDF_CTR");

    lines.states.erase({0, "EDDF_CTR"});
    view = TarqLandLineWatch::Walk(lines);
    EXPECT_EQ(view.incomingCaller, "EDDF_GND");
    EXPECT_EQ(view.activePartner, "EDDF_APP") << "the monitored line stays the one to hang up";

    lines.states[{1, "EDDF_APP"}] = 5;  // override beats the monitor of the same controller
    view = TarqLandLineWatch::Walk(lines);
    EXPECT_EQ(view.overriddenBy, "EDDF_APP");
    EXPECT_EQ(view.monitored, "");
}

// The controller database hears of a call every tick, whether or not a
// frame (or the button) is drawn.
TEST(LandLineWatch, FrameTickRefreshesWithoutADraw) {
    struct Work : TarqTickWork {
        explicit Work(TarqLandLineWatch& watch) : watch(watch) {}
        int PushToTalkKey() override { return 0; }
        void SetPushToTalk(bool) override {}
        void VoicePeriodic() override {}
        void NetworkTimer() override {}
        void AircraftFrame() override {}
        bool HasThreeDDisplay() override { return false; }
        void RedrawAll(bool) override {}
        void StripBayFrame() override {}
        void CommsPanelFrame() override {}
        void WeatherRefresh() override {}
        void ControllerTimer() override {}
        void AircraftTimer() override {}
        void AircraftListTimer() override {}
        void LandLineRefresh() override { watch.Refresh(); }
        TarqLandLineWatch& watch;
    };
    ScriptedLines lines;
    TarqLandLineWatch watch(lines);
    Work work(watch);
    ManualKeyState keys;
    TarqFrameTick tick(work, keys);
    tick.OnFrameTick();
    lines.states[{0, "EDDF_TWR"}] = 2;
    tick.OnFrameTick();
    EXPECT_EQ(lines.published, (std::vector<std::string>{"||", "EDDF_TWR|EDDF_TWR|"}));
    EXPECT_EQ(watch.GetView().incomingCaller, "EDDF_TWR");
}

TEST(ButtonKinds, AtisLetterShiftsOnlyWithTheVoiceConnection) {
    FakeHost host;
    host.atisLetter = "CHARLIE";
    TarqDisplayButtonATIS button(nullptr, host);
    host.now = 600;  // p = 1: the "V" shows even while not on air
    EXPECT_EQ(Compose(button, 100, 10).FindText("C")->left, 100 + 25 - 10);
    EXPECT_EQ(Compose(button).Texts(), (std::vector<std::string>{"ATIS:", "C"}));
    host.voiceAtis = true;
    EXPECT_EQ(Compose(button, 100, 10).FindText("C")->left, 100 + 25 - 10 + 6);
    EXPECT_EQ(Compose(button).Texts(), (std::vector<std::string>{"ATIS:", "V", "C"}));
}

}  // namespace
