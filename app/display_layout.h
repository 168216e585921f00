// The display window's title and the places of its controls, as plain
// functions of the window's state. Tested by tests/app/display_layout_test.cpp.
#pragma once

#include <string>

inline constexpr const char* kProgramName = "Tarq";
inline constexpr const char* kProgramVersion = "1.2.3";

struct TitleState {
    int displayNumber = 0;
    std::string profileName;
    bool isMain = false;
    bool connected = false;
    std::string server;  // the profile's "Server"
    bool filtersEnabled = false;
    bool quicklook = false;
};

// "[n] Tarq 1.2.3 - "<profile>"" with the connection part (main display
// only), the filter part and the quicklook part.
std::string FormatDisplayTitle(const TitleState& state);

struct ControlRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ControlRect&) const = default;
};

struct DisplayLayout {
    ControlRect glArea;
    ControlRect callsignField;  // main display only
    ControlRect commandLine;    // main display only
};

// Places in a client area of width x height; the command line keeps its
// height and the callsign field its width.
DisplayLayout LayoutDisplayControls(int width, int height, bool isMain, int commandLineHeight,
                                    int callsignWidth);

// Whether a display draws a frame: not while it is minimised, and a
// secondary display not while the main display is minimised either.
bool ShouldDrawDisplay(bool visible, bool isMain, bool mainVisible);

// The GL viewport height: never 0.
inline int ViewportHeight(int height) { return height == 0 ? 1 : height; }
