// The controller-select key: the command line names a controller by its
// position identifier, or a chat group by its slot digit, and that chat
// opens. Tested by tests/app/scope_queries_test.cpp.
#pragma once

#include <string>

class ControllerSelectHost {
public:
    virtual ~ControllerSelectHost() = default;
    // Empty when no controller has the identifier.
    virtual std::string GetCallsignForPositionId(const std::string& id) const = 0;
    // Empty for an unused slot (1 to 9).
    virtual std::string GetChatGroupName(int slot) const = 0;
    virtual void OpenChatWindow(const std::string& name) = 0;
    virtual void ShowControllerInfo(const std::string& callsign) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

// The caller empties the command line afterwards, whatever happened.
void SelectControllerFromText(const std::string& text, ControllerSelectHost& host);
