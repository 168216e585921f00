// Message boxes behind a replaceable implementation: the program installs the
// toolkit's, tests install a script of answers. Without one, the text goes to
// standard error and the default button is the answer.
// Tested by tests/platform/message_box_test.cpp.
#pragma once

#include <string>

#include "platform/window_handle.h"

enum class MessageBoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageBoxIcon { None, Error, Warning, Information, Question };
enum class MessageBoxResult { Ok, Cancel, Yes, No };

struct MessageBoxStyle {
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
    MessageBoxIcon icon = MessageBoxIcon::None;
    // 0-based index of the button that Enter chooses (1 = "No" of Yes/No).
    int defaultButton = 0;
};

class MessageBoxHandler {
public:
    virtual ~MessageBoxHandler() = default;
    virtual MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                                  WindowHandle owner) = 0;
};

// Shows a modal message box owned by owner (nullptr: no owner) and returns
// the button chosen. Main thread only.
MessageBoxResult ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxStyle style,
                                WindowHandle owner = nullptr);

// Installs the implementation (nullptr: back to standard error); returns the
// previous one. The caller keeps ownership.
MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler);

// The answer a box gives when nobody chooses: its default button.
MessageBoxResult DefaultMessageBoxResult(MessageBoxStyle style);
