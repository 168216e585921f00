// The chat window's command processor: the seven commands a chat window runs
// itself, the 108 command words it hands to the main display's command
// processor, alias expansion for any other dot word, and text sent to the
// partner or to every member of a group. TarqChatWindow::ProcessCommandLine
// is defined in chat_commands.cpp.
// Tested by tests/comms/chat_commands_test.cpp.
#pragma once

#include <string>
#include <vector>

// The main display's command processor as a chat window reaches it.
class ChatCommandForwarder {
public:
    virtual ~ChatCommandForwarder() = default;
    // Runs the line as if typed on the main display's command line, without
    // alias expansion and without a history entry there. chatWindowName is
    // the window the line was typed in: the partner's callsign, ":" and the
    // group's name, or "Incoming Chat Log".
    virtual void ForwardCommandLine(const std::string& line, const std::string& chatWindowName) = 0;
};

// The forwarded command words, lower case, in the order they are compared.
const std::vector<std::string>& ChatForwardedWords();
bool IsChatForwardedWord(const std::string& lowerWord);
