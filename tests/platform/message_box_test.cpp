#include "platform/message_box.h"

#include <gtest/gtest.h>

namespace {

class Recorder : public MessageBoxHandler {
public:
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle owner) override {
        lastText = text;
        lastOwner = owner;
        return MessageBoxResult::No;
    }
    std::string lastText;
    WindowHandle lastOwner = nullptr;
};

}  // namespace

TEST(MessageBoxTest, InstalledHandlerAnswersAndIsReplaceable) {
    Recorder recorder;
    MessageBoxHandler* previous = SetMessageBoxHandler(&recorder);
    int owner = 0;
    EXPECT_EQ(ShowMessageBox("Sure?", "Confirm", {MessageBoxButtons::YesNo}, &owner), MessageBoxResult::No);
    EXPECT_EQ(recorder.lastText, "Sure?");
    EXPECT_EQ(recorder.lastOwner, &owner);
    EXPECT_EQ(SetMessageBoxHandler(previous), &recorder);
}

TEST(MessageBoxTest, WithoutHandlerTheDefaultButtonAnswers) {
    struct Case {
        const char* name;
        MessageBoxStyle style;
        MessageBoxResult expected;
    } cases[] = {
        {"ok", {MessageBoxButtons::Ok}, MessageBoxResult::Ok},
        {"ok cancel, cancel default",
         {MessageBoxButtons::OkCancel, MessageBoxIcon::None, 1},
         MessageBoxResult::Cancel},
        {"yes no, yes default", {MessageBoxButtons::YesNo}, MessageBoxResult::Yes},
        {"yes no, no default", {MessageBoxButtons::YesNo, MessageBoxIcon::Question, 1}, MessageBoxResult::No},
        {"yes no cancel, cancel default",
         {MessageBoxButtons::YesNoCancel, MessageBoxIcon::None, 2},
         MessageBoxResult::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShowMessageBox("text", "caption", c.style), c.expected);
    }
}
