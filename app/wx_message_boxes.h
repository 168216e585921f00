// Message boxes shown with wx, installed as the program's message-box
// handler. Tested through tests/app/program_test.cpp.
#pragma once

#include "platform/message_box.h"

class WxMessageBoxHandler final : public MessageBoxHandler {
public:
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle owner) override;
};
