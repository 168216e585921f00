// The program's own pictures into the toolkit: a wxImage with its alpha, a
// cursor with its hot spot, and the window icon on a top-level window.
// Tested through tests/app/looks_program_test.cpp.
#pragma once

#include <wx/cursor.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/toplevel.h>

#include "app/program_icon.h"
#include "app/rgba_image.h"

inline wxImage ToWxImage(const RgbaImage& picture) {
    wxImage image(picture.width, picture.height, false);
    image.InitAlpha();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.At(x, y);
            image.SetRGB(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            image.SetAlpha(x, y, (p >> 24) & 0xFF);
        }
    }
    return image;
}

inline wxCursor ToWxCursor(const RgbaImage& picture, int hotX, int hotY) {
    wxImage image = ToWxImage(picture);
    image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, hotX);
    image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, hotY);
    return wxCursor(image);
}

// Every size of the icon, so that the window manager need not scale one.
inline void SetProgramIcon(wxTopLevelWindow& window) {
    wxIconBundle icons;
    for (int size : kProgramIconSizes) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(ToWxImage(DrawProgramIcon(size))));
        icons.AddIcon(icon);
    }
    window.SetIcons(icons);
}
