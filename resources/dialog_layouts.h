// Dialog layouts as data: each dialog's caption, size and controls, by the
// resource number the code opens it with. The window classes build their
// controls from these; the behaviour lives in plain classes elsewhere.
// Tested by tests/scope/diagrams_dialog_test.cpp.
#pragma once

#include <vector>

enum class DialogControlKind { ListBox, Button, Label };

struct DialogControl {
    int id;  // -1 for a static label
    DialogControlKind kind;
    const char* text;
    // Dialog units from the top left.
    int x;
    int y;
    int width;
    int height;
    bool multiSelect;
};

struct DialogLayout {
    int resourceId;
    const char* caption;
    int width;  // dialog units
    int height;
    std::vector<DialogControl> controls;
};

// The layout of a dialog resource; null for an unknown number.
const DialogLayout* FindDialogLayout(int resourceId);

// Resource numbers and control ids the scope's dialogs use.
namespace ScopeDialog {
inline constexpr int kDiagrams = 169;
inline constexpr int kSidList = 1110;
inline constexpr int kStarList = 1111;
inline constexpr int kClearSids = 1112;
inline constexpr int kClearStars = 1113;
inline constexpr int kCancel = 2;
inline constexpr int kOceanic = 390;
inline constexpr int kTrackList = 1204;
inline constexpr int kEastbound = 6;
inline constexpr int kWestbound = 3;
inline constexpr int kClearAll = 4;
inline constexpr int kDownload = 5;
inline constexpr int kOk = 1;
}  // namespace ScopeDialog
