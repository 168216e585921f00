// TarqTargetBuilder: the base of the radar modes' target builders. Build
// draws one target record into the current GL context in window pixels (y up,
// depth test on, a larger z in front) and returns its data block rectangle.
// The protected helpers are the steps every 2-D mode shares, so a mode's
// builder only chooses its symbol shapes, placement table and text lines:
//
//   if (IsHidden(t)) return TagRect::Empty();
//   std::vector<PixelPoint> points = ScreenPoints(t);
//   DrawSymbols(points, t.targetSymbolColor, t.historyTrailColor, shape);
//   if (IsDataBlockHidden(t)) return TagRect::Empty();
//   double z = DataBlockDepth(t);
//   TagPlacement tag = PlaceTag(t, points[0], &MyTable);
//   SetColor(t.dataBlockColor);
//   DrawLeader(tag, z);
//   DrawText(tag.origin + PixelPoint{0, 12}, z, CallsignLine(t));
//   return DataBlockRect(tag.origin);
//
// The 2-D builders queue what they draw in the manager's TargetBatch, which
// the manager draws once the frame's targets are built. Settings are read
// from the scope's host at each use; builders keep no state between calls.
// Main thread only.
// Tested by tests/scope/target_builder_test.cpp.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "scope/scope_projection.h"
#include "scope/target_batch.h"
#include "scope/target_record.h"

class ScopeHost;
class TarqDisplayScope;
class TarqTargetManager;

// Depths of the 2-D scope.
inline constexpr double kSepRingDepth = 0.97;
inline constexpr double kHistoryDepth = 0.975;
inline constexpr double kSymbolDepth = 0.98;  // the vector line too
inline constexpr double kDataBlockDepth = 0.99;
inline constexpr double kFullDataBlockDepth = 0.995;
inline constexpr double kTrackedDataBlockDepth = 0.998;

// Display fonts by id: symbols and data blocks, and the anchor lines.
inline constexpr int kDataBlockFont = 2;
inline constexpr int kAnchorFont = 1;

// The separation ring, packed with red in the low byte: (255, 0, 0), and
// (120, 0, 0) for the dark half of a conflict's blink.
inline constexpr uint32_t kSepRingColor = 0x0000FF;
inline constexpr uint32_t kSepRingBlinkColor = 0x000078;

// Every line of a data block is cut to this many characters.
inline constexpr size_t kMaxDataBlockLine = 50;

// One row of a builder's placement table: offsets from the symbol.
struct TagOffsets {
    PixelPoint leaderStart;
    PixelPoint leaderEnd;
    PixelPoint origin;  // of the data block
};

// A placement table: the row of a tag position (1 to 4 or 6 to 9; 5 comes as
// 6) for an effective leader length (already cut for the diagonals).
using TagTable = TagOffsets (*)(int tagPosition, int leaderLength);

// Where a target's leader and data block go, in window pixels.
struct TagPlacement {
    PixelPoint leaderStart;
    PixelPoint leaderEnd;
    PixelPoint origin;
    int leaderLength = 0;  // the effective length
};

class TarqTargetBuilder {
public:
    // owner: the manager that creates and owns the builder; never null.
    explicit TarqTargetBuilder(TarqTargetManager* owner);
    virtual ~TarqTargetBuilder();
    TarqTargetBuilder(const TarqTargetBuilder&) = delete;
    TarqTargetBuilder& operator=(const TarqTargetBuilder&) = delete;

    // Draws one target; the record may be changed (the diagonal leader
    // length always). TagRect::Empty() when no data block was drawn.
    virtual TagRect Build(TargetSnapshot& target) = 0;

    TarqTargetManager* Owner() const { return m_owner; }

protected:
    TarqDisplayScope& Scope() const;
    // Settings and colours, read at each use.
    ScopeHost& Host() const;
    bool IsVfrCode(uint16_t squawk) const;
    // The manager's clock, for blinking on the second.
    uint64_t NowMs() const;

    // The symbol is hidden by the altitude filter and see-all is off.
    static bool IsHidden(const TargetSnapshot& target);
    // The data block is hidden by the altitude filter and see-all is off.
    static bool IsDataBlockHidden(const TargetSnapshot& target);
    // A handoff offered to the user blinks its data block off in phases 4 and 8.
    static bool IsHandoffBlinkOff(const TargetSnapshot& target);
    // 0.998 tracked by the user, else 0.995 with a full data block, else 0.99.
    static double DataBlockDepth(const TargetSnapshot& target);

    // The points to draw: the current position, then the history points with
    // both coordinates non-zero, at most "HistoryCount" (a negative count is 0)
    // of them. Never empty.
    std::vector<PixelPoint> ScreenPoints(const TargetSnapshot& target) const;
    // Calls shape(point, z) for every point with the colour set: point 0 in
    // symbolColor at kSymbolDepth, the others in historyColor at kHistoryDepth.
    template <class Shape>
    void DrawSymbols(const std::vector<PixelPoint>& points, uint32_t symbolColor,
                            uint32_t historyColor, Shape&& shape) const {
        for (size_t i = 0; i < points.size(); ++i) {
            if (i < 2) SetColor(i == 0 ? symbolColor : historyColor);
            shape(points[i], i == 0 ? kSymbolDepth : kHistoryDepth);
        }
    }

    // The leader length a tag position uses: trunc(0.75 L) for the diagonals
    // 1, 3, 7 and 9, written back into the record; L otherwise.
    static int EffectiveLeaderLength(TargetSnapshot& target);
    // Places the tag by the table around the symbol. A tag position outside 1
    // to 9 puts leader and data block on the symbol (the length is kept).
    static TagPlacement PlaceTag(TargetSnapshot& target, PixelPoint symbol, TagTable table);
    // The leader in the current colour, unless the effective length is 0.
    void DrawLeader(const TagPlacement& tag, double z) const;

    // "/t", "/r", "" or "/?" for text only, receive only, full or unknown voice.
    static const char* VoiceSuffix(int voiceType);
    // printf into a data block line, cut to kMaxDataBlockLine characters.
    static std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The first line of most data blocks: the callsign and its voice suffix.
    static std::string CallsignLine(const TargetSnapshot& target);
    // The fixed box of a data block at origin: 48 by 33 pixels unless a mode
    // says otherwise; the text's length does not matter.
    static TagRect DataBlockRect(PixelPoint origin, int width = 48, int height = 33);

    // Text at a raster position in the current colour; nothing when the
    // display lacks the font.
    void DrawText(PixelPoint at, double z, std::string_view text, int fontId = kDataBlockFont) const;

    // The ring is drawn with the rings switched on, tracked by the user at 40
    // knots or more, or in conflict and tracked with "ShowSepRingsOnCA".
    bool WantsSepRing(const TargetSnapshot& target) const;
    // When WantsSepRing: "CALateralMin" NM around the symbol, blinking to
    // blinkColor in the first half of every second while in conflict.
    void DrawSepRing(const TargetSnapshot& target, PixelPoint symbol, uint32_t ringColor = kSepRingColor,
                     uint32_t blinkColor = kSepRingBlinkColor) const;
    static constexpr double kMaxVectorDegrees = 60.0;
    // Tracked by the user and moving: from the symbol along the track, for
    // "VectorLength" minutes with "TimeBasedVector", else NM.
    void DrawVectorLine(const TargetSnapshot& target, PixelPoint symbol) const;

    // Pieces in window pixels, queued in the manager's batch.
    TargetBatch& Batch() const;
    void SetColor(uint32_t packed) const;
    // The packed colour with each channel scaled by factor.
    static uint32_t ScaledColor(uint32_t packed, double factor);
    void DrawLine(PixelPoint a, PixelPoint b, double z) const;
    struct Segment {
        int x1, y1, x2, y2;
    };
    // Segments and closed outlines given as offsets from a point.
    void DrawSegments(PixelPoint at, double z, std::initializer_list<Segment> segments) const;
    void DrawLoop(PixelPoint at, double z, std::initializer_list<PixelPoint> corners) const;
    // Open outlines, and filled convex outlines.
    void DrawStrip(PixelPoint at, double z, std::initializer_list<PixelPoint> corners) const;
    void FillConvex(PixelPoint at, double z, std::initializer_list<PixelPoint> corners) const;
    // A circle of vertices vertices, as a loop.
    void DrawCircle(double x, double y, double radius, int vertices, double z) const;
    // Lines through count points, back to the first when closed.
    void DrawOutline(const double (*xy)[2], int count, double z, bool closed) const;

    // The symbol set that Simple, Ground, Tower and ARTS share, chosen in this
    // order: standby (a primary return, drawn by the mode's own segments), a
    // VFR code, the owner's letter, else a star at the mode's offset.
    void DrawCodeSymbols(const TargetSnapshot& target, const std::vector<PixelPoint>& points,
                         std::initializer_list<Segment> standby, PixelPoint starOffset) const;

private:
    TarqTargetManager* m_owner;
};
