// Tested by tests/platform/gl_context_resources_test.cpp.
#include "platform/gl_context_resources.h"

#include <GL/gl.h>

#include <algorithm>

GlContextResources::GlContextResources(std::function<bool()> makeCurrent)
    : m_makeCurrent(std::move(makeCurrent)) {}

GlContextResources::~GlContextResources() { FreeAll(); }

bool GlContextResources::LoadFont(int id, const GlFontSpec& spec) {
    if (!MakeCurrent()) return false;
    auto font = GlBitmapFont::Create(spec);
    if (!font) return false;
    m_fonts[id] = std::move(font);
    return true;
}

const GlBitmapFont* GlContextResources::Font(int id) const {
    auto it = m_fonts.find(id);
    return it == m_fonts.end() ? nullptr : it->second.get();
}

unsigned GlContextResources::NewLists(int count) {
    if (count <= 0 || !MakeCurrent()) return 0;
    unsigned base = glGenLists(count);
    if (base != 0) m_lists.emplace_back(base, count);
    return base;
}

void GlContextResources::FreeLists(unsigned base) {
    auto it = std::find_if(m_lists.begin(), m_lists.end(), [base](const auto& l) { return l.first == base; });
    if (it == m_lists.end() || !MakeCurrent()) return;
    glDeleteLists(it->first, it->second);
    m_lists.erase(it);
}

void GlContextResources::FreeAll() {
    if (m_fonts.empty() && m_lists.empty()) return;
    bool current = MakeCurrent();
    if (!current) {
        for (auto& [id, font] : m_fonts) font->ForgetTexture();
    } else {
        for (auto [base, count] : m_lists) glDeleteLists(base, count);
    }
    m_fonts.clear();
    m_lists.clear();
}
