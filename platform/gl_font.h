// Bitmap fonts for OpenGL: FreeType renders each glyph once, 1 bit a pixel,
// into one alpha texture atlas per font, which GlTextBatch draws from; the
// same advances answer text-width queries, so what is measured is what is
// drawn. A second texture, made on first use, holds the glyphs again and
// whole strings laid out once, for text drawn frame after frame. The
// program's terminal face adds its own symbol glyphs. Needs a current GL
// context; lives in tarq_platform_gl, which does not link GL itself (the
// program links libGL, offscreen tests libOSMesa).
// Tested by tests/platform/gl_font_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct GlFontSpec {
    std::string family;    // asked of fontconfig by name
    int pixelSize = 0;     // em size in pixels
    int firstChar = 32;    // first character with a glyph
    int count = 0;         // number of characters
    bool symbols = false;  // characters 0xC0 to 0xDF are the program's symbols, '{' and '}' trend arrows
};

// One character as glBitmap would draw it: size, origin and move, and its
// rows bottom-up, 1 bit a pixel, (width + 7) / 8 bytes a row; and the texel
// column and row of its lower left corner in the font's atlas.
struct GlGlyph {
    int width = 0;
    int height = 0;
    int xorig = 0;
    int yorig = 0;
    int advance = 0;
    std::vector<unsigned char> rows;
    int atlasLeft = 0;
    int atlasBottom = 0;
};

// A string's glyphs as GlTextBatch lays them from a pen on a whole pixel:
// where each glyph's lower left lands is the pen plus the advances before it
// less its origin. The box of their pixels from the pen, and its texel
// column and row in the font's string texture.
struct GlStringStamp {
    int left = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;
    int atlasLeft = 0;
    int atlasBottom = 0;
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
    // texture can be had.
    static std::unique_ptr<GlBitmapFont> Create(const GlFontSpec& spec, std::string* error = nullptr);
    ~GlBitmapFont();
    GlBitmapFont(const GlBitmapFont&) = delete;
    GlBitmapFont& operator=(const GlBitmapFont&) = delete;

    // The alpha texture holding every glyph: 255 where a bitmap sets a bit.
    unsigned AtlasTexture() const { return m_texture; }
    int AtlasWidth() const { return m_atlasWidth; }
    int AtlasHeight() const { return m_atlasHeight; }
    const GlFontSpec& Spec() const { return m_spec; }
    // Width: the sum of the advances of the characters (those without a glyph
    // advance 0, as they draw nothing); height: the font's line height.
    TextExtent MeasureText(std::string_view text) const;
    int Advance(unsigned char c) const;
    // The character's bitmap and its place in the atlas; null outside the font.
    const GlGlyph* Glyph(unsigned char c) const;
    int Ascent() const { return m_ascent; }
    // The texture went with its context: the destructor frees nothing, so it
    // cannot free the same name in whichever context is current.
    void ForgetTexture();

    // The string texture holds every glyph where the atlas has it, and
    // stamps: each string of two or more glyphs that do not overlap, as they
    // would light its pixels. Its size is fixed.
    int StringsWidth() const;
    int StringsHeight() const;
    // The stamp of the text, made if need be; null when it cannot have one
    // (one glyph, overlapping glyphs, or no room). A stamp stays in place
    // until the first call after the next SendStrings, so what is queued from
    // it must be drawn before the texts of a later frame are asked for.
    const GlStringStamp* StringStamp(std::string_view text) const;
    // Makes the string texture, or sends it the stamps made since the last
    // call, and returns its name (0 when none can be had). Needs the
    // context current; the bound texture is left as it was.
    unsigned SendStrings() const;

private:
    struct Strings;

    GlBitmapFont() = default;
    bool MakeAtlas();
    Strings& StringsState() const;
    // Sets the texels of the glyph's bits to 255 in an alpha image of the width.
    static void Stamp(const GlGlyph& g, int left, int bottom, unsigned char* alpha, int width);

    GlFontSpec m_spec;
    unsigned m_texture = 0;
    int m_atlasWidth = 0;
    int m_atlasHeight = 0;
    std::vector<int> m_advances;    // by character - firstChar
    std::vector<GlGlyph> m_glyphs;  // likewise
    int m_ascent = 0;
    int m_lineHeight = 0;
    mutable std::unique_ptr<Strings> m_strings;
};
