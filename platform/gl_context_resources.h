// What one GL context owns: its fonts today, its display lists and whatever
// else its drawing makes. Each context has its own list names (two displays'
// fonts both start at list 1), so every one of them is made and freed with
// the owning context current, never with whichever context drew last.
// Tested by tests/platform/gl_context_resources_test.cpp.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/gl_font.h"

class GlContextResources {
public:
    // makeCurrent makes the owning context current; false when it cannot
    // (the window is not on the screen, the context is gone).
    explicit GlContextResources(std::function<bool()> makeCurrent);
    // Frees everything (FreeAll).
    ~GlContextResources();
    GlContextResources(const GlContextResources&) = delete;
    GlContextResources& operator=(const GlContextResources&) = delete;

    bool MakeCurrent() const { return m_makeCurrent && m_makeCurrent(); }

    // Makes the context current and loads the font under that id; false when
    // the context or the font cannot be had. A second load replaces the first.
    bool LoadFont(int id, const GlFontSpec& spec);
    // Null for an id never loaded.
    const GlBitmapFont* Font(int id) const;
    // Makes the context current and reserves count display lists, freed with
    // the rest; 0 when that fails.
    unsigned NewLists(int count);
    // Frees the lists NewLists returned base for, in this context; when it
    // cannot be made current the record is only dropped.
    void FreeLists(unsigned base);

    // Makes the context current and frees everything. When the context can
    // no longer be made current its names died with it: nothing is freed
    // into another context, the records are dropped.
    void FreeAll();

private:
    std::function<bool()> m_makeCurrent;
    std::map<int, std::unique_ptr<GlBitmapFont>> m_fonts;
    std::vector<std::pair<unsigned, int>> m_lists;  // base and count
};
