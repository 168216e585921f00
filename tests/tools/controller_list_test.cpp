#include "tools/controller_list.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class FakeControllerSource : public ControllerListSource {
public:
    std::map<std::string, ControllerListInfo> controllers;
    std::set<std::string> positionFile;
    std::map<std::string, std::string> help;  // callsign -> message
    std::map<std::pair<std::string, int>, int> landLines;
    std::set<std::string> activeGroup;
    std::set<std::string> chatWindows;
    std::vector<std::string> groups;
    bool separators = true;
    int rating = 5;
    mutable int walks = 0;

    std::vector<std::string> GetControllerCallsigns() const override {
        ++walks;
        std::vector<std::string> out;
        for (const auto& entry : controllers) out.push_back(entry.first);
        return out;
    }
    bool GetController(const std::string& c, ControllerListInfo& info) const override {
        auto it = controllers.find(c);
        if (it == controllers.end()) return false;
        info = it->second;
        return true;
    }
    bool IsSameFacilityCallsign(const std::string& c, int) const override {
        return positionFile.count(c) != 0;
    }
    bool GetHelpFlag(const std::string& c) const override { return help.count(c) != 0; }
    std::string GetHelpMessage(const std::string& c) const override {
        auto it = help.find(c);
        return it == help.end() ? std::string() : it->second;
    }
    int GetLandLineState(const std::string& c, int kind) const override {
        auto it = landLines.find({c, kind});
        return it == landLines.end() ? 1 : it->second;
    }
    bool IsMemberOfActiveGroup(const std::string& n) const override { return activeGroup.count(n) != 0; }
    bool HasPrivateChatWindow(const std::string& c) const override { return chatWindows.count(c) != 0; }
    bool HasQueuedMessages(const std::string&) const override { return false; }
    std::vector<std::string> GetGroupNames() const override { return groups; }
    bool GetSeparatorsEnabled() const override { return separators; }
    int GetOwnRating() const override { return rating; }

    void Add(const std::string& c, const std::string& id = "", int kHz = 118300) {
        ControllerListInfo info;
        info.frequency = kHz;
        info.positionId = id;
        controllers[c] = info;
    }
};

struct ControllerListFixture : ::testing::Test {
    FakeControllerSource source;
    ControllerListModel list{source};

    std::vector<std::string> Shown() const {
        std::vector<std::string> out;
        for (const ControllerListEntry& row : list.GetRows()) {
            out.push_back(row.header ? "<" + row.name + ">" : row.idText + " " + row.name);
        }
        return out;
    }
};

TEST(ControllerGroups, GroupFromTheCallsignsEnd) {
    struct Case {
        const char* callsign;
        int group;
        int alphaGroup;
    };
    const Case cases[] = {
        {"LON_CTR", kGroupCenter, kGroupControllers},
        {"EGLL_APP", kGroupApproach, kGroupControllers},
        {"EGLL_DEP", kGroupDeparture, kGroupControllers},
        {"EGLL_TWR", kGroupTower, kGroupControllers},
        {"EGLL_GND", kGroupGround, kGroupControllers},
        {"EGLL_DEL", kGroupDelivery, kGroupControllers},
        {"LON_FSS", kGroupFlightService, kGroupControllers},
        {"EGLL_ATIS", kGroupAtis, kGroupControllers},
        {"LON_ctr", kGroupObservers, kGroupObservers},
        {"XY_OBS", kGroupObservers, kGroupObservers},
        {"AB", kGroupObservers, kGroupObservers},
        {"ATIS", kGroupAtis, kGroupControllers},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ControllerListModel::GroupForCallsign(c.callsign, false), c.group) << c.callsign;
        EXPECT_EQ(ControllerListModel::GroupForCallsign(c.callsign, true), c.alphaGroup) << c.callsign;
    }
}

TEST_F(ControllerListFixture, GroupsUnderHeadersWithPilotsAndChatGroups) {
    source.Add("LON_CTR", "L", 127825);
    source.Add("EGLL_TWR", "LT");
    source.Add("EGKK_TWR", "KT");
    source.Add("XX_OBS");
    list.SetUnreadFlag("BAW12");
    list.AddChatGroup(":a:b");
    list.Rebuild();
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "<Center>", "L LON_CTR", "<Tower>", "KT EGKK_TWR", "LT EGLL_TWR", "<Observers>",
                           " XX_OBS", "<Pilots/Out of Range>", " BAW12", "<Chat Groups>", "1 [ab]"}));
    EXPECT_EQ(list.GetRows()[1].frequencyText, "127.825");
    source.separators = false;
    list.ToggleGroup(kGroupTower);
    list.Rebuild();
    EXPECT_EQ(list.GetRows().size(), 6u);  // no headers, and collapsing hides nothing
}

TEST_F(ControllerListFixture, CollapsedGroupKeepsRowsThatNeedAttention) {
    source.Add("EGLL_TWR");
    source.Add("EGKK_TWR");
    source.landLines[{"EGKK_TWR", kLandLineIntercom}] = 2;
    list.Rebuild();
    ASSERT_TRUE(list.OnRowClick(0, 9, 7));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"<Tower>", " EGKK_TWR"}));
    EXPECT_FALSE(list.OnRowClick(0, 14, 7));
}

TEST_F(ControllerListFixture, LandLinePriorityAndColours) {
    struct Case {
        int intercom, override, monitor;
        const char* flag;
        int text;
        int background;
    };
    const Case cases[] = {
        {2, 5, 5, "override", 0xFF0000, -1},   {2, 1, 5, "calling", -1, 0xFF6666},
        {3, 1, 1, "calling", -1, 0xFF6666},    {4, 1, 5, "active", 0x009900, -1},
        {7, 1, 5, "hold", 0x006600, -1},       {1, 6, 1, "override", 0xFF0000, -1},
        {1, 1, 5, "monitoring", 0x0000FF, -1}, {1, 1, 6, "none", -1, -1},
    };
    source.Add("LON_CTR");
    for (const Case& c : cases) {
        source.landLines[{"LON_CTR", kLandLineIntercom}] = c.intercom;
        source.landLines[{"LON_CTR", kLandLineOverride}] = c.override;
        source.landLines[{"LON_CTR", kLandLineMonitor}] = c.monitor;
        list.Rebuild();
        const ControllerListEntry& row = list.GetRows()[1];
        const std::string flag = row.override          ? "override"
                                 : row.intercomCalling ? "calling"
                                 : row.intercomActive  ? "active"
                                 : row.intercomOnHold  ? "hold"
                                 : row.monitoring      ? "monitoring"
                                                       : "none";
        EXPECT_EQ(flag, c.flag);
        EXPECT_EQ(
            row.override + row.intercomCalling + row.intercomActive + row.intercomOnHold + row.monitoring,
            flag == "none" ? 0 : 1);
        const ControllerRowColours colours = ControllerListModel::RowColours(row);
        EXPECT_EQ(colours.text, c.text) << c.flag;
        EXPECT_EQ(colours.background, c.background) << c.flag;
    }
    ControllerListEntry row;
    row.unread = true;
    row.intercomCalling = true;
    row.busy = true;
    row.help = true;
    EXPECT_EQ(ControllerListModel::RowColours(row).background, 0xFF6666);
    EXPECT_EQ(ControllerListModel::RowColours(row).text, 0xFF8C3C);
    row = {};
    row.inActiveGroup = true;
    row.header = true;
    EXPECT_EQ(ControllerListModel::RowColours(row).background, 0xE0E0E0);
    row.inActiveGroup = false;
    EXPECT_EQ(ControllerListModel::RowColours(row).background, 0xD2D2D2);
    row = {};
    row.busy = true;
    EXPECT_EQ(ControllerListModel::RowColours(row).text, 0xFF3399);
}

TEST_F(ControllerListFixture, PositionFileOnlyKeepsUnreadControllers) {
    source.Add("LON_CTR");
    source.Add("EGLL_TWR");
    source.Add("EGKK_TWR");
    source.positionFile = {"EGLL_TWR"};
    list.SetUnreadFlag("LON_CTR");
    list.SetPositionFileOnly(true);
    list.Rebuild();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"<Center>", " LON_CTR", "<Tower>", " EGLL_TWR"}));
}

TEST_F(ControllerListFixture, PilotsStayWhileTheirChatIsOpen) {
    list.SetUnreadFlag("BAW12");
    EXPECT_TRUE(list.AnyUnread());
    source.chatWindows = {"BAW12"};
    list.ClearUnreadFlag("BAW12");
    EXPECT_FALSE(list.AnyUnread());
    list.Rebuild();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"<Pilots/Out of Range>", " BAW12"}));
    list.RemoveChatPartner("BAW12");
    list.Rebuild();
    EXPECT_TRUE(list.GetRows().empty());
}

TEST_F(ControllerListFixture, ChatGroupSlotsAndRealNames) {
    for (int i = 0; i < 10; ++i) list.AddChatGroup(":g" + std::to_string(i));
    EXPECT_EQ(list.GetChatGroupName(1), ":g0");
    EXPECT_EQ(list.GetChatGroupName(9), ":g8");
    EXPECT_EQ(list.GetChatGroupName(0), "");
    EXPECT_EQ(list.GetChatGroupName(10), "");
    list.AddChatGroup(":ops:x");
    list.Rebuild();
    const auto& rows = list.GetRows();
    EXPECT_EQ(rows.back().name, "[opsx]");
    EXPECT_EQ(rows.back().idText, "");
    // The row shows the group without colons but opens the group by its real name.
    EXPECT_EQ(list.OnRowDoubleClick(rows.size() - 1), ":ops:x");
    EXPECT_EQ(list.OnRowDoubleClick(rows.size() - 2), ":g9");
    EXPECT_TRUE(list.BuildContextMenu(rows.size() - 1).empty());
    list.RemoveChatPartner(":g3");
    list.AddChatGroup(":new");
    EXPECT_EQ(list.GetChatGroupName(4), ":new");
}

TEST_F(ControllerListFixture, MenuCommands) {
    source.Add("LON_CTR", "L");
    source.Add("XX_OBS");
    source.groups = {"g7", "g2", "g5", "g1", "g6", "g3", "g4"};
    list.Rebuild();  // rows: header, LON_CTR, header, XX_OBS
    auto menu = list.BuildContextMenu(1);
    ASSERT_EQ(menu.size(), 8u);
    EXPECT_EQ(menu[2].text, "Add to Group");
    ASSERT_EQ(menu[2].submenu.size(), 5u);
    EXPECT_EQ(menu[2].submenu[0].text, "[g1]");
    EXPECT_EQ(menu[2].submenu[4].command, 555);
    EXPECT_EQ(list.GetMenuGroup(552), "g2");
    EXPECT_EQ(list.GetMenuGroup(556), "");
    EXPECT_TRUE(list.BuildContextMenu(0).empty());

    struct Case {
        size_t row;
        int command;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {1, 501, {".atis LON_CTR"}},
        {1, 502, {".chat LON_CTR"}},
        {1, 508, {".showloc LON_CTR"}},
        {1, 504, {".ov L"}},
        {1, 505, {".ic L"}},
        {1, 506, {".mon L"}},
        {3, 508, {}},
        {3, 505, {}},
        {1, 507, {}},
        {1, 16, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(list.GetMenuCommands(c.row, c.command), c.lines) << c.command;

    source.rating = 11;
    menu = list.BuildContextMenu(1);
    ASSERT_EQ(menu.size(), 11u);
    EXPECT_EQ(menu.back().text, "Request INF");
    EXPECT_EQ(list.GetMenuCommands(1, 16),
              (std::vector<std::string>{".inf LON_CTR", ".msg SERVER IP LON_CTR"}));
    EXPECT_EQ(list.GetMenuCommands(1, 507), (std::vector<std::string>{".ver LON_CTR"}));
    source.groups.clear();
    EXPECT_FALSE(list.BuildContextMenu(1)[2].enabled);
}

TEST_F(ControllerListFixture, InfoTextWithBoundedTables) {
    ControllerListInfo info;
    info.frequency = 127825;
    info.facility = 6;
    info.rating = 5;
    info.visRange = 300;
    info.realName = "Jo Bloggs";
    info.positionName = "London Control";
    info.sectorFile = "uk.sct";
    source.controllers["LON_CTR"] = info;
    source.help["LON_CTR"] = "";
    EXPECT_EQ(
        list.ShowControllerInfo("LON_CTR"),
        "LON_CTR (CTR) 127.825\r\nJo Bloggs (C1)\r\nLondon Control\r\nuk.sct\r\nVis Range: 300\r\nHelp: No "
        "message.");
    source.controllers["LON_CTR"].facility = 7;
    source.controllers["LON_CTR"].rating = 0;
    source.controllers["LON_CTR"].positionName.clear();
    source.help.clear();
    EXPECT_EQ(list.ShowControllerInfo("LON_CTR"),
              "LON_CTR (7) 127.825\r\nJo Bloggs (0)\r\nuk.sct\r\nVis Range: 300\r\n");
    source.controllers["LON_CTR"].rating = 13;
    source.controllers["LON_CTR"].realName = std::string(400, 'n');
    EXPECT_EQ(list.ShowControllerInfo("LON_CTR").size(), 255u);
    EXPECT_EQ(ControllerListModel::FacilityText(-1), "-1");
    EXPECT_EQ(ControllerListModel::RatingText(12), "ADM");
    EXPECT_EQ(list.ShowControllerInfo("BAW12"), "");
    EXPECT_EQ(list.GetInfoName(), "BAW12");
}

TEST_F(ControllerListFixture, ManyEventsRebuildOncePerTick) {
    source.Add("LON_CTR");
    for (int i = 0; i < 30; ++i) list.SetUnreadFlag("P" + std::to_string(i));
    list.AddChatGroup(":ops");
    EXPECT_EQ(source.walks, 0);
    EXPECT_TRUE(list.OnFrameTick());
    EXPECT_FALSE(list.OnFrameTick());
    EXPECT_EQ(source.walks, 1);
}

}  // namespace
