// Tests of squawk assignment through the aircraft database: the sequence,
// codes already taken, the errors and the random strategy.
#include "atc/squawk_assigner.h"

#include <gtest/gtest.h>

#include <set>

#include "atc/aircraft_db.h"
#include "atc_fakes.h"

namespace {

std::vector<uint16_t> Pick(AtcWorld& w, uint16_t low, uint16_t high, int count) {
    std::vector<uint16_t> codes;
    for (int i = 0; i < count; ++i) codes.push_back(w.aircraft.AssignSquawk(low, high));
    return codes;
}

TEST(SquawkPicker, SequentialSkipsInvalidCodesOnly) {
    struct Row {
        const char* name;
        uint16_t low, high;
        int count;
        std::vector<uint16_t> expected;
    };
    const Row rows[] = {
        {"octal digits", 1000, 1077, 10, {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1010, 1011}},
        {"wraps after high", 1075, 1077, 4, {1075, 1076, 1077, 1075}},
        {"bounds with nines", 1069, 1071, 3, {1070, 1071, 1070}},
        {"nine in the third digit", 1090, 1101, 3, {1100, 1101, 1100}},
        {"second-digit eight keeps the next valid code", 1850, 2001, 2, {2000, 2001}},
        {"zero range", 0, 0, 1, {1}},
        {"above 7477", 7476, 7777, 3, {7476, 7477, 7476}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        EXPECT_EQ(Pick(w, row.low, row.high, row.count), row.expected);
    }
}

TEST(SquawkPicker, TakenCodesAndErrors) {
    AtcWorld w;
    // A pilot squawks 1001 unassigned; 1002 is assigned to someone.
    w.aircraft.UpdatePilotPosition("P", AtcWorld::Report(0, 0, 100, 10, 1001));
    w.aircraft.SetAssignedSquawk("Q", "XY_APP", 1002);
    EXPECT_EQ(Pick(w, 1000, 1003, 2), (std::vector<uint16_t>{1000, 1003}));
    w.aircraft.SetAssignedSquawk("Q2", "XY_APP", 1000);
    w.aircraft.SetAssignedSquawk("Q3", "XY_APP", 1003);
    w.log.Clear();
    EXPECT_EQ(w.aircraft.AssignSquawk(1000, 1003), 0);
    EXPECT_EQ(w.aircraft.AssignSquawk(4000, 3000), 0);
    const std::vector<std::string> expected = {"error: All squawk codes in the configured range are taken.",
                                               "error: Invalid squawk code range."};
    EXPECT_EQ(w.log.lines, expected);
}

TEST(SquawkPicker, FindsFreeCodeBelowLastHandedOut) {
    AtcWorld w;
    EXPECT_EQ(w.aircraft.AssignSquawk(1000, 1007), 1000);
    for (uint16_t code = 1001; code <= 1007; ++code)
        w.aircraft.SetAssignedSquawk("T" + std::to_string(code), "X", code);
    w.aircraft.SetAssignedSquawk("T1", "X", 1000);
    w.aircraft.SetAssignedSquawk("T1", "X", 0);  // 1000 free again
    EXPECT_EQ(w.aircraft.AssignSquawk(1000, 1007), 1000);
}

TEST(SquawkPicker, RandomStrategy) {
    AtcWorld w;
    w.settings.bools["AssignSquawksRandomly"] = true;
    EXPECT_EQ(w.aircraft.AssignSquawk(1077, 1080), 1077) << "one valid free code";
    std::set<uint16_t> seen;
    for (int i = 0; i < 200; ++i) {
        const uint16_t code = w.aircraft.AssignSquawk(1070, 1107);
        ASSERT_NE(code, 0);
        for (char c : std::to_string(code)) ASSERT_LT(c, '8') << code;
        seen.insert(code);
    }
    EXPECT_GT(seen.size(), 10u);
    EXPECT_EQ(w.aircraft.GetLastAssignedSquawk(), 0) << "the random pick leaves the sequence alone";
    w.aircraft.SetAssignedSquawk("T", "X", 1077);
    w.log.Clear();
    EXPECT_EQ(w.aircraft.AssignSquawk(1077, 1077), 0);
    EXPECT_EQ(w.log.lines,
              std::vector<std::string>{"error: All squawk codes in the configured range are taken."});
}

}  // namespace
