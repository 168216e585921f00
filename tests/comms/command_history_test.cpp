// Tests of the command history's browsing and its bound.
#include "comms/command_history.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandHistoryTest, NewHistoryGivesTheCurrentTextBack) {
    TarqCommandHistory history;
    EXPECT_EQ(history.Previous("x"), "x");
    EXPECT_EQ(history.Next("y"), "y");
}

TEST(CommandHistoryTest, BrowsingIsCircularThroughTheEditSlot) {
    TarqCommandHistory history;
    history.Add("A");
    history.Add("B");
    EXPECT_EQ(history.Previous("x"), "B");
    EXPECT_EQ(history.Previous("B2"), "A");  // the edited recall is not kept
    EXPECT_EQ(history.Previous("A"), "x");
    EXPECT_EQ(history.Next("x"), "A");
    EXPECT_EQ(history.Next("A"), "B");
    EXPECT_EQ(history.Next("B"), "x");
}

TEST(CommandHistoryTest, AddEndsBrowsingAndKeepsRepeats) {
    TarqCommandHistory history;
    history.Add("A");
    history.Add("B");
    history.Previous("");
    history.Previous("");
    history.Add("B");
    EXPECT_EQ(history.GetPosition(), 0);
    EXPECT_EQ(history.Count(), 4);
    EXPECT_EQ(history.Previous(""), "B");
    EXPECT_EQ(history.Previous(""), "B");
}

TEST(CommandHistoryTest, KeepsOnlyTheNewestLines) {
    TarqCommandHistory history;
    for (size_t i = 0; i < TarqCommandHistory::kMaxLines + 50; ++i) history.Add(std::to_string(i));
    EXPECT_EQ(history.Count(), static_cast<int>(TarqCommandHistory::kMaxLines) + 1);
    EXPECT_EQ(history.Previous("now"), std::to_string(TarqCommandHistory::kMaxLines + 49));
    EXPECT_EQ(history.Next(""), "now");
    EXPECT_EQ(history.Next(""), "50");  // the oldest kept
}

}  // namespace
