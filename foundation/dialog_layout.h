// A dialog's layout as data: its caption, its size and its controls in
// dialog units (a quarter of the average character width across, an eighth
// of the character height down), which the window class turns into controls.
// The layouts themselves live in resources/.
#pragma once

#include <cstddef>

enum class DialogControlKind {
    Label,
    Edit,
    UpperCaseEdit,  // letters forced to upper case
    DigitsEdit,     // digits only
    PasswordEdit,   // input masked
    DropList,
    SortedDropList,  // the list keeps its entries in alphabetical order
    DefaultButton,
    Button,
};

struct DialogControl {
    int id;  // 0: a label nobody addresses
    DialogControlKind kind;
    const char* text;
    int x;
    int y;
    int width;
    int height;  // of a drop-down list: the list opened
};

struct DialogLayout {
    int id;
    const char* caption;
    int width;
    int height;
    const DialogControl* controls;
    size_t controlCount;
};
