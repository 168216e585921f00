// Tested by tests/platform/gl_font_test.cpp.
#include "platform/gl_font.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

namespace {

constexpr int kFirstSymbol = 0xC0;
constexpr int kLastSymbol = 0xDF;

struct Bitmap {
    int width = 0;
    int height = 0;
    int left = 0;                     // pen to left edge
    int top = 0;                      // baseline to top row
    std::vector<unsigned char> rows;  // 1 bit a pixel, top row first, (width + 7) / 8 bytes a row

    int Pitch() const { return (width + 7) / 8; }
    void Set(int x, int y) {
        rows[static_cast<size_t>(y * Pitch() + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
};

// The program's symbols: outline and filled forms of eight shapes, one per
// code from 0xC0, drawn in a square cell centred on the raster position.
Bitmap MakeSymbol(int code, int pixelSize) {
    int size = std::max(5, (pixelSize * 7) / 11) | 1;  // odd, so there is a centre pixel
    Bitmap bitmap;
    bitmap.width = size;
    bitmap.height = size;
    bitmap.left = -(size / 2);
    bitmap.top = size / 2 + 1;
    bitmap.rows.assign(static_cast<size_t>(bitmap.Pitch() * size), 0);
    int index = code - kFirstSymbol;
    int shape = index % 8;
    bool filled = (index / 8) % 2 == 1;
    double r = size / 2.0;
    double edge = 1.0 / r;  // one pixel in unit coordinates
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = (x + 0.5 - r) / r;
            double v = (r - y - 0.5) / r;
            double d;  // distance-like measure: the shape's outline is d == 1
            switch (shape) {
                case 0:
                    d = std::sqrt(u * u + v * v);
                    break;  // circle
                case 1:
                    d = std::max(std::fabs(u), std::fabs(v));
                    break;  // square
                case 2:
                    d = std::fabs(u) + std::fabs(v);
                    break;  // diamond
                case 3:
                    d = std::max(-v, std::fabs(u) * 2 + v);
                    break;  // triangle
                case 4:
                    d = std::max(std::fabs(u) * 0.87 + std::fabs(v) * 0.5, std::fabs(v));
                    break;  // hexagon
                case 5:
                    d = std::min(std::fabs(u), std::fabs(v)) < edge ? std::max(std::fabs(u), std::fabs(v))
                                                                    : 2;
                    break;  // plus
                case 6:
                    d = std::fabs(std::fabs(u) - std::fabs(v)) < edge ? std::max(std::fabs(u), std::fabs(v))
                                                                      : 2;
                    break;  // cross
                default:
                    d = std::max(std::fabs(u), std::fabs(v) * 2);
                    break;  // bar
            }
            bool on;
            if (shape == 5 || shape == 6) {
                on = d <= 1.0;
            } else if (filled) {
                on = d <= 1.0;
            } else {
                on = d <= 1.0 && d > 1.0 - 1.6 * edge;
            }
            if (on) bitmap.Set(x, y);
        }
    }
    return bitmap;
}

// The altitude trend marks of the data blocks, drawn where the terminal
// face has its braces: '{' an arrow up, '}' an arrow down, as high as a digit.
Bitmap MakeTrendArrow(bool up, int pixelSize) {
    int height = std::max(5, (pixelSize * 8) / 11);
    int width = std::max(5, (pixelSize * 5) / 11) | 1;
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.left = 0;
    bitmap.top = height;
    bitmap.rows.assign(static_cast<size_t>(bitmap.Pitch() * height), 0);
    int centre = width / 2;
    for (int i = 0; i < height; ++i) {
        int y = up ? i : height - 1 - i;  // i counts from the point
        int half = i <= centre ? i : 0;   // the head, then the shaft
        for (int x = centre - half; x <= centre + half; ++x) bitmap.Set(x, y);
    }
    return bitmap;
}

Bitmap FromFreeType(const FT_Bitmap& source, int left, int top) {
    Bitmap bitmap;
    bitmap.width = static_cast<int>(source.width);
    bitmap.height = static_cast<int>(source.rows);
    bitmap.left = left;
    bitmap.top = top;
    bitmap.rows.assign(static_cast<size_t>(bitmap.Pitch() * bitmap.height), 0);
    for (int y = 0; y < bitmap.height; ++y) {
        const unsigned char* row = source.buffer + y * source.pitch;
        for (int x = 0; x < bitmap.width; ++x) {
            if (row[x / 8] & (0x80 >> (x % 8))) bitmap.Set(x, y);
        }
    }
    return bitmap;
}

// Rows bottom-up, as glBitmap takes them and the atlas holds them.
GlGlyph MakeGlyph(const Bitmap& bitmap, int advance) {
    GlGlyph glyph;
    glyph.width = bitmap.width;
    glyph.height = bitmap.height;
    glyph.xorig = -bitmap.left;
    glyph.yorig = bitmap.height - bitmap.top;
    glyph.advance = advance;
    glyph.rows.resize(bitmap.rows.size());
    int pitch = bitmap.Pitch();
    for (int y = 0; y < bitmap.height; ++y) {
        std::copy_n(bitmap.rows.data() + (bitmap.height - 1 - y) * pitch, pitch,
                    glyph.rows.data() + y * pitch);
    }
    return glyph;
}

constexpr int kAtlasWidth = 512;
// The string texture: the glyphs at the bottom as in the atlas, stamps above.
constexpr int kStringsWidth = 1024;
constexpr int kStringsHeight = 2048;
constexpr size_t kMaxStrings = 20000;

// Unpacks bytes one by one into the texture, bound until the end of the
// scope, which restores the caller's binding and alignment.
class TextureUpload {
public:
    explicit TextureUpload(GLuint texture) {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &m_alignment);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &m_bound);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    ~TextureUpload() {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(m_bound));
        glPixelStorei(GL_UNPACK_ALIGNMENT, m_alignment);
    }
    TextureUpload(const TextureUpload&) = delete;
    TextureUpload& operator=(const TextureUpload&) = delete;

private:
    GLint m_alignment = 4;
    GLint m_bound = 0;
};

// An alpha texture of the image, sampled nearest; 0 when none can be had.
GLuint NewAlphaTexture(int width, int height, const unsigned char* alpha) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    if (texture == 0) return 0;
    TextureUpload upload(texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

// Calls ink(glyph, pen) for each glyph of the text that has pixels; pen is
// the sum of the advances before it.
template <typename Ink>
void ForEachInk(const GlBitmapFont& font, std::string_view text, Ink&& ink) {
    int pen = 0;
    for (char ch : text) {
        const GlGlyph* g = font.Glyph(static_cast<unsigned char>(ch));
        if (!g) continue;
        if (g->width > 0 && g->height > 0) ink(*g, pen);
        pen += g->advance;
    }
}

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

}  // namespace

GlFontSpec DisplayFontSpec(int fontId) {
    // The faces of the original fonts are not on a Linux desktop: Liberation
    // Mono stands in for the terminal faces (7 pixels a character at an
    // 11-pixel em, the width the button and label layouts assume) and for
    // Courier New, Liberation Sans for Arial (both metric-compatible).
    switch (fontId) {
        case 1:
            return {"Liberation Mono", 11, 32, 96, false};
        case 2:
            return {"Liberation Mono", 11, 32, 224, true};
        case 3:
            return {"Liberation Mono", 12, 32, 224, false};
        case 4:
            return {"Liberation Sans", 32, 32, 60, false};
        case 5:
            return {"Liberation Mono", 20, 209, 1, true};
        default:
            return {};
    }
}

std::string FindFontFile(const std::string& family, int* faceIndex) {
    if (!FcInit()) return "";
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = reinterpret_cast<char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch && faceIndex) *faceIndex = index;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

std::unique_ptr<GlBitmapFont> GlBitmapFont::Create(const GlFontSpec& spec, std::string* error) {
    auto fail = [error](const std::string& reason) -> std::unique_ptr<GlBitmapFont> {
        if (error) *error = reason;
        return nullptr;
    };
    if (spec.count <= 0 || spec.pixelSize <= 0) return fail("no such font");
    int faceIndex = 0;
    std::string file = FindFontFile(spec.family, &faceIndex);
    if (file.empty()) return fail("no font file for " + spec.family);
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return fail("FreeType did not start");
    FT_Face face;
    if (FT_New_Face(library, file.c_str(), faceIndex, &face) != 0) {
        FT_Done_FreeType(library);
        return fail("cannot load " + file);
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(spec.pixelSize));
    std::unique_ptr<GlBitmapFont> font(new GlBitmapFont);
    font->m_spec = spec;
    font->m_ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    font->m_lineHeight =
        static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
    // The terminal face's own advance, so symbols keep the text columns.
    int cellAdvance = 0;
    if (FT_Load_Char(face, 'M', FT_LOAD_DEFAULT) == 0)
        cellAdvance = static_cast<int>(face->glyph->advance.x >> 6);
    font->m_advances.assign(static_cast<size_t>(spec.count), 0);
    font->m_glyphs.resize(static_cast<size_t>(spec.count));
    for (int i = 0; i < spec.count; ++i) {
        int code = spec.firstChar + i;
        if (spec.symbols && code >= kFirstSymbol && code <= kLastSymbol) {
            Bitmap symbol = MakeSymbol(code, spec.pixelSize);
            int advance = std::max(cellAdvance, symbol.width);
            font->m_glyphs[static_cast<size_t>(i)] = MakeGlyph(symbol, advance);
            font->m_advances[static_cast<size_t>(i)] = advance;
            continue;
        }
        if (spec.symbols && (code == '{' || code == '}')) {
            font->m_glyphs[static_cast<size_t>(i)] =
                MakeGlyph(MakeTrendArrow(code == '{', spec.pixelSize), cellAdvance);
            font->m_advances[static_cast<size_t>(i)] = cellAdvance;
            continue;
        }
        // Text is ISO 8859-1, whose codes are the first 256 of Unicode.
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
            font->m_glyphs[static_cast<size_t>(i)] = MakeGlyph(Bitmap{}, 0);
            continue;
        }
        FT_GlyphSlot glyph = face->glyph;
        int advance = static_cast<int>(glyph->advance.x >> 6);
        font->m_glyphs[static_cast<size_t>(i)] =
            MakeGlyph(FromFreeType(glyph->bitmap, glyph->bitmap_left, glyph->bitmap_top), advance);
        font->m_advances[static_cast<size_t>(i)] = advance;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!font->MakeAtlas()) return fail("no texture (is a GL context current?)");
    return font;
}

bool GlBitmapFont::MakeAtlas() {
    // Glyphs side by side in rows of the atlas's width, a texel apart, so
    // nearest sampling at a pixel's centre never reaches a neighbour.
    int rowHeight = 1;
    for (const GlGlyph& g : m_glyphs) rowHeight = std::max(rowHeight, g.height);
    int x = 0, y = 0;
    for (GlGlyph& g : m_glyphs) {
        if (x + g.width > kAtlasWidth) {
            x = 0;
            y += rowHeight + 1;
        }
        g.atlasLeft = x;
        g.atlasBottom = y;
        x += g.width + 1;
    }
    m_atlasWidth = kAtlasWidth;
    m_atlasHeight = PowerOfTwoAtLeast(y + rowHeight);
    std::vector<unsigned char> alpha(static_cast<size_t>(m_atlasWidth) * m_atlasHeight, 0);
    for (const GlGlyph& g : m_glyphs) Stamp(g, g.atlasLeft, g.atlasBottom, alpha.data(), m_atlasWidth);
    m_texture = NewAlphaTexture(m_atlasWidth, m_atlasHeight, alpha.data());
    if (m_texture == 0) return false;
    return glIsTexture(m_texture) == GL_TRUE;
}

void GlBitmapFont::Stamp(const GlGlyph& g, int left, int bottom, unsigned char* alpha, int width) {
    const int pitch = (g.width + 7) / 8;
    for (int row = 0; row < g.height; ++row) {
        for (int column = 0; column < g.width; ++column) {
            if (g.rows[static_cast<size_t>(row * pitch + column / 8)] & (0x80 >> (column % 8)))
                alpha[static_cast<size_t>(bottom + row) * static_cast<size_t>(width) +
                      static_cast<size_t>(left + column)] = 255;
        }
    }
}

struct GlBitmapFont::Strings {
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    struct Entry {
        GlStringStamp stamp;
        bool placed = false;  // false: the text cannot have a stamp
        uint32_t round = 0;   // the last round that asked for it
    };
    unsigned texture = 0;
    bool made = false;
    std::unordered_map<std::string, Entry, Hash, std::equal_to<>> entries;
    std::vector<const std::pair<const std::string, Entry>*> unsent;
    int floor = 0;  // the first row above the glyphs
    int shelfLeft = 0, shelfBottom = 0, shelfHeight = 0;
    // A round is the texts asked for between two sends: one frame's. Its
    // stamps must stay where they are until it has been drawn.
    uint32_t round = 1;
    bool sent = false;
    long used = 0;      // texels of the stamps asked for this round
    long usedLast = 0;  // and the last
    long placed = 0;    // texels of all stamps held

    void Clear() {
        entries.clear();
        unsent.clear();
        shelfLeft = 0;
        shelfBottom = floor;
        shelfHeight = 0;
        placed = 0;
    }
    // Room for a box, a texel apart from its neighbours; false when full.
    bool Place(int width, int height, int& left, int& bottom) {
        if (width + 1 > kStringsWidth) return false;
        if (shelfLeft + width + 1 > kStringsWidth || height > shelfHeight) {
            if (shelfLeft > 0) {
                shelfBottom += shelfHeight + 1;
                shelfLeft = 0;
                shelfHeight = height;
            } else {
                shelfHeight = std::max(shelfHeight, height);
            }
        }
        if (shelfBottom + shelfHeight > kStringsHeight) return false;
        left = shelfLeft;
        bottom = shelfBottom;
        shelfLeft += width + 1;
        placed += static_cast<long>(width) * height;
        return true;
    }
};

int GlBitmapFont::StringsWidth() const { return kStringsWidth; }

int GlBitmapFont::StringsHeight() const { return kStringsHeight; }

GlBitmapFont::Strings& GlBitmapFont::StringsState() const {
    if (!m_strings) {
        m_strings = std::make_unique<Strings>();
        m_strings->floor = m_atlasHeight + 1;
        m_strings->Clear();
    }
    return *m_strings;
}

const GlStringStamp* GlBitmapFont::StringStamp(std::string_view text) const {
    Strings& s = StringsState();
    if (s.sent) {
        // Nothing asked for before is waiting to be drawn: when most of what
        // is held went unused last round, start afresh.
        s.sent = false;
        ++s.round;
        s.usedLast = s.used;
        s.used = 0;
        const bool mostlyFull = (s.shelfBottom - s.floor) * 4 > (kStringsHeight - s.floor) * 3;
        // Texts refused a stamp are remembered too, but not without end.
        if ((mostlyFull && s.usedLast * 2 < s.placed) || s.entries.size() > kMaxStrings) s.Clear();
    }
    auto it = s.entries.find(text);
    if (it == s.entries.end()) {
        Strings::Entry entry;
        // The glyphs' boxes from the pen, as GlTextBatch lays them.
        int left = 0, bottom = 0, right = 0, top = 0, count = 0;
        bool apart = true;
        struct Box {
            int left, bottom, right, top;
        };
        std::vector<Box> boxes;
        ForEachInk(*this, text, [&](const GlGlyph& g, int pen) {
            const Box b{pen - g.xorig, -g.yorig, pen - g.xorig + g.width, -g.yorig + g.height};
            for (const Box& o : boxes)
                apart = apart && (b.right <= o.left || o.right <= b.left || b.top <= o.bottom || o.top <= b.bottom);
            boxes.push_back(b);
            left = count ? std::min(left, b.left) : b.left;
            bottom = count ? std::min(bottom, b.bottom) : b.bottom;
            right = count ? std::max(right, b.right) : b.right;
            top = count ? std::max(top, b.top) : b.top;
            ++count;
        });
        entry.stamp = {left, bottom, right - left, top - bottom, 0, 0};
        entry.placed = count >= 2 && apart &&
                       s.Place(entry.stamp.width, entry.stamp.height, entry.stamp.atlasLeft, entry.stamp.atlasBottom);
        if (!entry.placed && count >= 2 && apart) {
            // No room: wanted all the same, so a full texture in use is kept.
            s.used += static_cast<long>(entry.stamp.width) * entry.stamp.height;
            return nullptr;
        }
        it = s.entries.emplace(std::string(text), entry).first;
        if (entry.placed) s.unsent.push_back(&*it);
    }
    Strings::Entry& entry = it->second;
    if (!entry.placed) return nullptr;
    if (entry.round != s.round) {
        entry.round = s.round;
        s.used += static_cast<long>(entry.stamp.width) * entry.stamp.height;
    }
    return &entry.stamp;
}

unsigned GlBitmapFont::SendStrings() const {
    Strings& s = StringsState();
    s.sent = true;
    if (!s.made) {
        s.made = true;
        std::vector<unsigned char> alpha(static_cast<size_t>(kStringsWidth) * kStringsHeight, 0);
        for (const GlGlyph& g : m_glyphs) Stamp(g, g.atlasLeft, g.atlasBottom, alpha.data(), kStringsWidth);
        s.texture = NewAlphaTexture(kStringsWidth, kStringsHeight, alpha.data());
    }
    if (s.texture != 0 && !s.unsent.empty()) {
        TextureUpload upload(s.texture);
        std::vector<unsigned char> alpha;
        for (const auto* unsent : s.unsent) {
            const GlStringStamp& stamp = unsent->second.stamp;
            alpha.assign(static_cast<size_t>(stamp.width) * stamp.height, 0);
            ForEachInk(*this, unsent->first, [&](const GlGlyph& g, int pen) {
                Stamp(g, pen - g.xorig - stamp.left, -g.yorig - stamp.bottom, alpha.data(), stamp.width);
            });
            glTexSubImage2D(GL_TEXTURE_2D, 0, stamp.atlasLeft, stamp.atlasBottom, stamp.width, stamp.height, GL_ALPHA,
                            GL_UNSIGNED_BYTE, alpha.data());
        }
    }
    s.unsent.clear();
    return s.texture;
}

void GlBitmapFont::ForgetTexture() {
    m_texture = 0;
    if (m_strings) m_strings->texture = 0;
}

GlBitmapFont::~GlBitmapFont() {
    if (m_texture != 0) glDeleteTextures(1, &m_texture);
    if (m_strings && m_strings->texture != 0) glDeleteTextures(1, &m_strings->texture);
}

int GlBitmapFont::Advance(unsigned char c) const {
    int index = c - m_spec.firstChar;
    if (index < 0 || index >= m_spec.count) return 0;
    return m_advances[static_cast<size_t>(index)];
}

const GlGlyph* GlBitmapFont::Glyph(unsigned char c) const {
    int index = c - m_spec.firstChar;
    if (index < 0 || index >= m_spec.count) return nullptr;
    return &m_glyphs[static_cast<size_t>(index)];
}

TextExtent GlBitmapFont::MeasureText(std::string_view text) const {
    TextExtent extent;
    extent.height = m_lineHeight;
    for (char c : text) extent.width += Advance(static_cast<unsigned char>(c));
    return extent;
}
