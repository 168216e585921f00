// The display fonts for offscreen drawing tests, created on first use in the
// GL context that is current then. Destroy them before their context.
#pragma once

#include <map>
#include <memory>

#include "platform/gl_font.h"
#include "scope/scope_gl.h"

class GlContextResources;

class TestFonts : public ScopeFontSource {
public:
    const GlBitmapFont* GetFont(int id) const override {
        auto it = m_fonts.find(id);
        if (it != m_fonts.end()) return it->second.get();
        auto font = GlBitmapFont::Create(DisplayFontSpec(id));
        const GlBitmapFont* raw = font.get();
        m_fonts[id] = std::move(font);
        return raw;
    }
    // The context's shared lists, when the test gives it some.
    GlContextResources* GetGlResources() const override { return resources; }
    GlContextResources* resources = nullptr;

private:
    mutable std::map<int, std::unique_ptr<GlBitmapFont>> m_fonts;
};
