// The 2-D map kept between frames. Drawing the sector lists costs most of a
// frame on a software renderer, yet they only change with the view or the
// lists, so the frame that draws them copies its pixels into a texture
// (OpenGL 1.1: glCopyTexSubImage2D, no framebuffer objects) and the frames
// after lay that texture down instead. Tested by tests/scope/map_texture_test.cpp.
#pragma once

#include <array>
#include <cstdint>

#include "scope/sector_lists.h"

class GlContextResources;

// Everything the lists' pixels depend on; the kept map stands for the
// picture it was copied with and no other.
struct MapPicture {
    int width = 0;  // viewport pixels
    int height = 0;
    double spanX = 0.0;  // the projection
    double spanY = 0.0;
    double centerX = 0.0;
    double centerY = 0.0;
    double rotation = 0.0;
    double longitudeScale = 0.0;
    int background = 0;
    uint32_t shownLists = 0;  // bit per SectorListId
    std::array<uint64_t, kSectorListCount> generations{};
    std::array<const void*, 2> fonts{};  // the map's text and symbol fonts
    bool operator==(const MapPicture&) const = default;
};

class MapTexture {
public:
    // Made in the context current at the first capture, which must be gl's;
    // freed in gl's context.
    explicit MapTexture(GlContextResources& gl);
    ~MapTexture();
    MapTexture(const MapTexture&) = delete;
    MapTexture& operator=(const MapTexture&) = delete;

    bool Holds(const MapPicture& picture) const { return m_valid && picture == m_picture; }
    // Copies the viewport's pixels drawn so far (the picture's width and
    // height from the bottom left) into the texture. False, and nothing
    // kept, when the context has no texture that large.
    bool Capture(const MapPicture& picture);
    // Lays the kept pixels over the viewport one for one, untouched by the
    // depth buffer, blending or the current colour; leaves GL state as found.
    void Draw() const;
    void Forget() { m_valid = false; }

private:
    GlContextResources& m_gl;
    unsigned m_texture = 0;
    int m_textureWidth = 0;  // powers of two, as OpenGL 1.1 needs
    int m_textureHeight = 0;
    bool m_valid = false;
    MapPicture m_picture;
};
