// The fixed prompts and the string table.
#include "foundation/prompts.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/resource_strings.h"

namespace {

struct ScriptedBoxes : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle owner) override {
        shown.push_back(caption + "|" + text);
        lastStyle = style;
        lastOwner = owner;
        return answer;
    }
    MessageBoxResult answer = MessageBoxResult::Ok;
    std::vector<std::string> shown;
    MessageBoxStyle lastStyle;
    WindowHandle lastOwner = nullptr;
};

TEST(Prompts, ConfirmDisconnectIsTrueForOkOnly) {
    ScriptedBoxes boxes;
    MessageBoxHandler* previous = SetMessageBoxHandler(&boxes);
    int owner = 0;
    EXPECT_TRUE(ConfirmDisconnect(&owner));
    EXPECT_EQ(boxes.shown.back(),
              "Confirm Disconnect|You are still connected to the network. Press OK to disconnect.");
    EXPECT_EQ(boxes.lastStyle.buttons, MessageBoxButtons::OkCancel);
    EXPECT_EQ(boxes.lastStyle.icon, MessageBoxIcon::Warning);
    EXPECT_EQ(boxes.lastOwner, &owner);
    boxes.answer = MessageBoxResult::Cancel;
    EXPECT_FALSE(ConfirmDisconnect(nullptr));
    SetMessageBoxHandler(previous);
}

TEST(Prompts, PromptSaveProfileReturnsTheButton) {
    ScriptedBoxes boxes;
    MessageBoxHandler* previous = SetMessageBoxHandler(&boxes);
    for (MessageBoxResult answer : {MessageBoxResult::Yes, MessageBoxResult::No, MessageBoxResult::Cancel}) {
        boxes.answer = answer;
        EXPECT_EQ(PromptSaveProfile(nullptr), answer);
    }
    EXPECT_EQ(
        boxes.shown.back(),
        "Save Profile|The currently active session profile contains unsaved changes. Would you like to save "
        "the session profile now?");
    EXPECT_EQ(boxes.lastStyle.buttons, MessageBoxButtons::YesNoCancel);
    EXPECT_EQ(boxes.lastStyle.icon, MessageBoxIcon::Question);
    SetMessageBoxHandler(previous);
}

TEST(ResourceStrings, KnownIdsAndEmptyForOthers) {
    EXPECT_EQ(LoadResourceString(140), "Interrupted function call");
    EXPECT_EQ(LoadResourceString(182), "Valid name, no data record of requested type");
    EXPECT_EQ(LoadResourceString(274), "Redirect loop detected");
    EXPECT_EQ(LoadResourceString(144), "") << "no entry between 143 and 145";
    EXPECT_EQ(LoadResourceString(0), "");
    EXPECT_EQ(LoadResourceString(99999), "");
}

}  // namespace
