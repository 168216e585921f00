#include "platform/message_box.h"

#include <cstdio>

namespace {

MessageBoxHandler* g_handler = nullptr;

}  // namespace

MessageBoxResult DefaultMessageBoxResult(MessageBoxStyle style) {
    switch (style.buttons) {
        case MessageBoxButtons::Ok:
            return MessageBoxResult::Ok;
        case MessageBoxButtons::OkCancel:
            return style.defaultButton == 1 ? MessageBoxResult::Cancel : MessageBoxResult::Ok;
        case MessageBoxButtons::YesNo:
            return style.defaultButton == 1 ? MessageBoxResult::No : MessageBoxResult::Yes;
        case MessageBoxButtons::YesNoCancel:
            if (style.defaultButton == 1) return MessageBoxResult::No;
            if (style.defaultButton == 2) return MessageBoxResult::Cancel;
            return MessageBoxResult::Yes;
    }
    return MessageBoxResult::Ok;
}

MessageBoxResult ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxStyle style,
                                WindowHandle owner) {
    if (g_handler) return g_handler->Show(text, caption, style, owner);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return DefaultMessageBoxResult(style);
}

MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler) {
    MessageBoxHandler* previous = g_handler;
    g_handler = handler;
    return previous;
}
