// The GL side of a scope: compiles its sector lists into GL display lists and
// draws its frames (2-D map or 3-D scene, tool lines, markers, sticky notes;
// the targets through the scope's ScopeTargets seam) into the GL context that
// is current, so a display window and an offscreen test draw alike. The 2-D
// map is kept between frames (map_texture.h) and drawn again only when what
// it shows changes. Create, draw and destroy it with the same context current.
// Tested by tests/scope/scope_gl_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "atc/oceanic_tracks.h"
#include "platform/gl_context_resources.h"
#include "scope/draw_list.h"
#include "scope/map_texture.h"
#include "scope/sector_lists.h"

class GlBitmapFont;
class GlContextResources;
class TarqDisplayScope;

// A display's bitmap fonts by id (1 to 5).
class ScopeFontSource {
public:
    virtual ~ScopeFontSource() = default;
    // Null when the display has no font of that id.
    virtual const GlBitmapFont* GetFont(int id) const = 0;
    // What the display's context owns, for lists a drawer keeps across
    // frames; null where there is none.
    virtual GlContextResources* GetGlResources() const = 0;
};

class ScopeGl {
public:
    // The sector lists are made and freed through gl, in its context.
    ScopeGl(TarqDisplayScope& scope, const ScopeFontSource& fonts, GlContextResources& gl);
    ~ScopeGl();
    ScopeGl(const ScopeGl&) = delete;
    ScopeGl& operator=(const ScopeGl&) = delete;

    // The colour and depth buffers cleared to the scope's background colour.
    void Clear();
    // Viewport and projection matrix for the scope's viewport and mode.
    void SetupProjection();
    // One frame over the scope's viewport; the caller has cleared and swaps.
    void Draw();
    // Compiles a DrawList's lines, fills and stipple into the GL display list
    // id; its texts are left out, as they land on window pixels.
    static void CompileList(unsigned id, const DrawList& list);
    // The list's texts through fonts, in the current transform, as bitmaps
    // at their raster positions would be; after its compiled list.
    static void DrawListTexts(const DrawList& list, const ScopeFontSource& fonts);
    // A hash of everything Draw would show but the targets (which the
    // caller judges from its traffic); 0 when every frame differs (3-D, the
    // debug overlay's frame counter). Equal keys: the frame would come out
    // the same. Keep in step with what Draw reads.
    uint64_t PictureKey();
    // Frames that drew the sector lists rather than the 2-D map kept from
    // an earlier frame.
    int GetMapDrawCount() const { return m_mapDraws; }

private:
    void CompileDirtyLists();
    void Draw2DMap();
    MapPicture CurrentMapPicture() const;
    void Draw3DScene();
    void DrawOverlay(bool in3D);
    void DrawDebugOverlay(bool in3D);
    void DrawHeadingTape();
    void DrawMouseReadout();
    // The North Atlantic tracks the scope shows: lines in map coordinates,
    // then their labels in window pixels, from one copy of the tracks a frame.
    void DrawOceanicTracks();
    void DrawOceanicLabels();
    void DrawLoadingBox(int outlineColor);

    TarqDisplayScope& m_scope;
    const ScopeFontSource& m_fonts;
    GlContextResources& m_gl;
    unsigned m_listBase = 0;
    std::array<uint64_t, kSectorListCount> m_compiled{};
    OceanicTrackMap m_oceanic;
    MapTexture m_map;
    int m_mapDraws = 0;
};
