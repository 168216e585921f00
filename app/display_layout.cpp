// Tested by tests/app/display_layout_test.cpp.
#include "app/display_layout.h"

std::string FormatDisplayTitle(const TitleState& s) {
    std::string title = "[" + std::to_string(s.displayNumber) + "] " + kProgramName + " " + kProgramVersion +
                        " - \"" + s.profileName + "\"";
    if (s.isMain) title += s.connected ? " - Connected to server: " + s.server : " - Not connected";
    title += s.filtersEnabled ? " - Filters Enabled" : " - Filters Disabled";
    if (s.quicklook) title += " - Quicklook Enabled";
    return title;
}

DisplayLayout LayoutDisplayControls(int w, int h, bool isMain, int commandLineHeight, int callsignWidth) {
    DisplayLayout layout;
    if (!isMain) {
        layout.glArea = {3, 3, w - 6, h - 6};
        return layout;
    }
    int y = h - commandLineHeight - 2;
    layout.callsignField = {3, y, callsignWidth, commandLineHeight};
    layout.commandLine = {callsignWidth + 3, y, w - callsignWidth - 5, commandLineHeight};
    layout.glArea = {3, 3, w - 6, h - 7 - commandLineHeight};
    return layout;
}

bool ShouldDrawDisplay(bool visible, bool isMain, bool mainVisible) {
    return visible && (isMain || mainVisible);
}
