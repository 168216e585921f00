// Where drawing code finds a display's bitmap fonts by id (1 to 5).
// Tested through tests/app/furniture_gl_test.cpp.
#pragma once

class GlBitmapFont;

class TarqFontSource {
public:
    virtual ~TarqFontSource() = default;
    // Null when the display has no font of that id.
    virtual const GlBitmapFont* GetFont(int id) const = 0;
};
