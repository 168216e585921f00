// Tested by tests/app/scope_queries_test.cpp.
#include "app/controller_select.h"

void SelectControllerFromText(const std::string& text, ControllerSelectHost& host) {
    if (text.empty() || text.size() > 3) {
        host.ShowError("Invalid parameter. Enter either the sectorID or single-digit chat group index.");
        return;
    }
    const std::string callsign = host.GetCallsignForPositionId(text);
    if (!callsign.empty()) {
        host.OpenChatWindow(callsign);
        host.ShowControllerInfo(callsign);
        return;
    }
    const std::string group = text.size() == 1 && text[0] >= '1' && text[0] <= '9'
                                  ? host.GetChatGroupName(text[0] - '0')
                                  : std::string();
    if (group.empty()) {
        host.ShowError("Unknown controller list index.");
        return;
    }
    host.OpenChatWindow(group);
}
