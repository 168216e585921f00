// Bitmap fonts for OpenGL: FreeType renders each glyph once into a glBitmap
// display list, and the same advances answer text-width queries, so what is
// measured is what is drawn. The program's terminal face adds its own symbol
// glyphs. Needs a current GL context; lives in tarq_platform_gl, which does not
// link GL itself (the program links libGL, offscreen tests libOSMesa).
// Tested by tests/platform/gl_font_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct GlFontSpec {
    std::string family;    // asked of fontconfig by name
    int pixelSize = 0;     // em size in pixels
    int firstChar = 32;    // first character with a display list
    int count = 0;         // number of characters (and lists)
    bool symbols = false;  // characters 0xC0 to 0xDF are the program's symbols
};

// One character as its display list draws it: glBitmap's size, origin and
// move, and its rows bottom-up, 1 bit a pixel, (width + 7) / 8 bytes a row.
struct GlGlyph {
    int width = 0;
    int height = 0;
    int xorig = 0;
    int yorig = 0;
    int advance = 0;
    std::vector<unsigned char> rows;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

// The five display fonts by id (1 to 5); an empty spec for any other id.
GlFontSpec DisplayFontSpec(int fontId);

// The font file fontconfig chooses for a family; empty when there is none.
std::string FindFontFile(const std::string& family, int* faceIndex = nullptr);

class GlBitmapFont {
public:
    // Null, with the reason in *error, when no face can be loaded or no
    // display lists can be had.
    static std::unique_ptr<GlBitmapFont> Create(const GlFontSpec& spec, std::string* error = nullptr);
    ~GlBitmapFont();
    GlBitmapFont(const GlBitmapFont&) = delete;
    GlBitmapFont& operator=(const GlBitmapFont&) = delete;

    // The list that draws spec.firstChar; character c is ListBase() + c - firstChar.
    unsigned ListBase() const { return m_listBase; }
    const GlFontSpec& Spec() const { return m_spec; }
    // Width: the sum of the advances of the characters (those without a list
    // advance 0, as they draw nothing); height: the font's line height.
    TextExtent MeasureText(std::string_view text) const;
    int Advance(unsigned char c) const;
    // The bitmap behind the character's list, for drawing text in batches
    // that lands on the pixels the list would; null outside the font.
    const GlGlyph* Glyph(unsigned char c) const;
    int Ascent() const { return m_ascent; }
    // Draws at the current raster position, which moves on by the advances.
    void Draw(std::string_view text) const;
    // The lists went with their context: the destructor frees nothing, so it
    // cannot free the same names in whichever context is current.
    void ForgetLists() { m_listBase = 0; }

private:
    GlBitmapFont() = default;

    GlFontSpec m_spec;
    unsigned m_listBase = 0;
    std::vector<int> m_advances;    // by character - firstChar
    std::vector<GlGlyph> m_glyphs;  // likewise
    int m_ascent = 0;
    int m_lineHeight = 0;
};
