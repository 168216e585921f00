// The steps every radar mode's builder shares.
// Tested by tests/scope/target_builder_test.cpp.
#include "scope/target_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "foundation/geo_helpers.h"
#include "platform/gl_font.h"
#include "scope/display_scope.h"
#include "scope/scope_gl.h"
#include "scope/scope_host.h"
#include "scope/sector_lists.h"
#include "scope/target_manager.h"

namespace {

constexpr double kTwoPi = 6.28318530717958;
constexpr int kSepRingVertices = 30;

// One shape's lines, handed to the batch together.
class LineRun {
public:
    LineRun(TargetBatch& batch, double z) : m_batch(batch), m_z(z) {}
    ~LineRun() { Send(); }
    LineRun(const LineRun&) = delete;
    LineRun& operator=(const LineRun&) = delete;
    void Add(double x1, double y1, double x2, double y2) {
        if (m_count == kMax) Send();
        m_lines[m_count++] = {x1, y1, x2, y2};
    }

private:
    static constexpr int kMax = 32;
    void Send() {
        m_batch.Lines(m_lines, m_count, m_z);
        m_count = 0;
    }
    TargetBatch& m_batch;
    double m_z;
    int m_count = 0;
    TargetBatch::Ends m_lines[kMax];
};

void AddStrip(LineRun& run, PixelPoint at, std::initializer_list<PixelPoint> corners) {
    const PixelPoint* c = corners.begin();
    for (size_t i = 1; i < corners.size(); ++i)
        run.Add(at.x + c[i - 1].x, at.y + c[i - 1].y, at.x + c[i].x, at.y + c[i].y);
}

bool IsDiagonal(int tagPosition) {
    return tagPosition == 1 || tagPosition == 3 || tagPosition == 7 || tagPosition == 9;
}

}  // namespace

TarqTargetBuilder::TarqTargetBuilder(TarqTargetManager* owner) : m_owner(owner) {}

TarqTargetBuilder::~TarqTargetBuilder() = default;

TarqDisplayScope& TarqTargetBuilder::Scope() const { return m_owner->GetScope(); }

ScopeHost& TarqTargetBuilder::Host() const { return m_owner->GetScope().Host(); }

bool TarqTargetBuilder::IsVfrCode(uint16_t squawk) const { return Host().IsVFRCode(squawk); }

uint64_t TarqTargetBuilder::NowMs() const { return m_owner->GetClock().NowMs(); }

bool TarqTargetBuilder::IsHidden(const TargetSnapshot& target) { return target.hideSymbol && !target.seeAll; }

bool TarqTargetBuilder::IsDataBlockHidden(const TargetSnapshot& target) {
    return target.hideDataBlock && !target.seeAll;
}

bool TarqTargetBuilder::IsHandoffBlinkOff(const TargetSnapshot& target) {
    return target.incomingHandoff && (target.blinkPhase == 4 || target.blinkPhase == 8);
}

double TarqTargetBuilder::DataBlockDepth(const TargetSnapshot& target) {
    if (target.trackedByMe) return kTrackedDataBlockDepth;
    return target.fullDataBlock ? kFullDataBlockDepth : kDataBlockDepth;
}

std::vector<PixelPoint> TarqTargetBuilder::ScreenPoints(const TargetSnapshot& target) const {
    const TarqDisplayScope& scope = Scope();
    int limit = Host().GetInt("HistoryCount");
    if (limit < 0) limit = 0;
    std::vector<PixelPoint> points;
    points.reserve(std::min(target.history.size(), static_cast<size_t>(limit)) + 1);
    points.push_back(scope.ProjectToScreen(target.position));
    for (const ScopePoint& p : target.history) {
        if (points.size() > static_cast<size_t>(limit)) break;
        // Unfilled history slots hold (0, 0); nothing real lies on the axes.
        if (p.x == 0.0 || p.y == 0.0) continue;
        points.push_back(scope.ProjectToScreen(p));
    }
    return points;
}

int TarqTargetBuilder::EffectiveLeaderLength(TargetSnapshot& target) {
    if (!IsDiagonal(target.tagPosition)) return target.leaderLength;
    // Three quarters along each axis keeps a diagonal leader about as long
    // as a straight one.
    target.leaderLength = static_cast<int16_t>(std::trunc(0.75 * target.leaderLength));
    return target.leaderLength;
}

TagPlacement TarqTargetBuilder::PlaceTag(TargetSnapshot& target, PixelPoint symbol, TagTable table) {
    int length = EffectiveLeaderLength(target);
    TagPlacement tag{symbol, symbol, symbol, length};
    int position = target.tagPosition;
    if (position < 1 || position > 9) return tag;
    if (position == 5) position = 6;
    TagOffsets row = table(position, length);
    tag.leaderStart = symbol + row.leaderStart;
    tag.leaderEnd = symbol + row.leaderEnd;
    tag.origin = symbol + row.origin;
    return tag;
}

void TarqTargetBuilder::DrawLeader(const TagPlacement& tag, double z) const {
    if (tag.leaderLength != 0) DrawLine(tag.leaderStart, tag.leaderEnd, z);
}

const char* TarqTargetBuilder::VoiceSuffix(int voiceType) {
    switch (voiceType) {
        case kVoiceTextOnly:
            return "/t";
        case kVoiceReceiveOnly:
            return "/r";
        case kVoiceFull:
            return "";
        default:
            return "/?";
    }
}

std::string TarqTargetBuilder::FormatLine(const char* format, ...) {
    char line[kMaxDataBlockLine + 1];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return n < 0 ? std::string() : std::string(line);
}

std::string TarqTargetBuilder::CallsignLine(const TargetSnapshot& target) {
    return FormatLine("%s%s", target.callsign.c_str(), VoiceSuffix(target.voiceType));
}

TagRect TarqTargetBuilder::DataBlockRect(PixelPoint origin, int width, int height) {
    return {origin.x, origin.y + height, origin.x + width, origin.y};
}

void TarqTargetBuilder::DrawText(PixelPoint at, double z, std::string_view text, int fontId) const {
    const GlBitmapFont* font = m_owner->GetFonts().GetFont(fontId);
    if (font) Batch().Text(*font, at.x, at.y, z, text);
}

bool TarqTargetBuilder::WantsSepRing(const TargetSnapshot& target) const {
    if (!target.trackedByMe) return false;
    if (m_owner->GetShowSepRings() && target.groundSpeed >= 40) return true;
    return target.inConflict && Host().GetBool("ShowSepRingsOnCA");
}

void TarqTargetBuilder::DrawSepRing(const TargetSnapshot& target, PixelPoint symbol, uint32_t ringColor,
                                    uint32_t blinkColor) const {
    if (!WantsSepRing(target)) return;
    double radius = Host().GetInt("CALateralMin") / Scope().GetZoom();
    SetColor(target.inConflict && NowMs() % 1000 < 500 ? blinkColor : ringColor);
    DrawCircle(symbol.x, symbol.y, radius, kSepRingVertices, kSepRingDepth);
}

void TarqTargetBuilder::DrawVectorLine(const TargetSnapshot& target, PixelPoint symbol) const {
    if (!target.trackedByMe || target.groundSpeed <= 0) return;
    // Degrees of latitude: minutes at the ground speed, or NM.
    double length = Host().GetBool("TimeBasedVector")
                        ? static_cast<double>(target.groundSpeed) * target.vectorLength / 3600.0
                        : target.vectorLength / 60.0;
    // A setting of hours or thousands of miles would only project past any
    // pixel an int can hold.
    length = std::min(length, kMaxVectorDegrees);
    PlanarOffset offset = PolarOffset(length, target.track);
    ScopePoint end{target.position.x + offset.x / LongitudeScale, target.position.y + offset.y};
    SetColor(target.vectorLineColor);
    DrawLine(symbol, Scope().ProjectToScreen(end), kSymbolDepth);
}

TargetBatch& TarqTargetBuilder::Batch() const { return m_owner->GetBatch(); }

void TarqTargetBuilder::SetColor(uint32_t packed) const { Batch().SetColor(packed); }

uint32_t TarqTargetBuilder::ScaledColor(uint32_t packed, double factor) {
    uint8_t rgb[3];
    UnpackRGB(static_cast<int>(packed), rgb);
    ScaleColor(rgb, factor);
    return static_cast<uint32_t>(PackRGB(rgb));
}

void TarqTargetBuilder::DrawLine(PixelPoint a, PixelPoint b, double z) const {
    Batch().Line(a.x, a.y, b.x, b.y, z);
}

void TarqTargetBuilder::DrawSegments(PixelPoint at, double z, std::initializer_list<Segment> segments) const {
    LineRun run(Batch(), z);
    for (const Segment& s : segments) run.Add(at.x + s.x1, at.y + s.y1, at.x + s.x2, at.y + s.y2);
}

void TarqTargetBuilder::DrawStrip(PixelPoint at, double z, std::initializer_list<PixelPoint> corners) const {
    LineRun run(Batch(), z);
    AddStrip(run, at, corners);
}

void TarqTargetBuilder::DrawLoop(PixelPoint at, double z, std::initializer_list<PixelPoint> corners) const {
    LineRun run(Batch(), z);
    AddStrip(run, at, corners);
    if (corners.size() < 2) return;
    const PixelPoint first = *corners.begin(), last = *(corners.end() - 1);
    run.Add(at.x + last.x, at.y + last.y, at.x + first.x, at.y + first.y);
}

void TarqTargetBuilder::FillConvex(PixelPoint at, double z, std::initializer_list<PixelPoint> corners) const {
    double xy[8][2];
    int n = 0;
    for (const PixelPoint& c : corners) {
        if (n == 8) break;
        xy[n][0] = at.x + c.x;
        xy[n][1] = at.y + c.y;
        ++n;
    }
    Batch().Polygon(xy, n, z);
}

void TarqTargetBuilder::DrawOutline(const double (*xy)[2], int count, double z, bool closed) const {
    LineRun run(Batch(), z);
    for (int i = 1; i < count; ++i) run.Add(xy[i - 1][0], xy[i - 1][1], xy[i][0], xy[i][1]);
    if (closed && count > 1) run.Add(xy[count - 1][0], xy[count - 1][1], xy[0][0], xy[0][1]);
}

void TarqTargetBuilder::DrawCircle(double x, double y, double radius, int vertices, double z) const {
    LineRun run(Batch(), z);
    double px = x + radius, py = y;
    for (int i = 1; i <= vertices; ++i) {
        const double a = (i % vertices) * kTwoPi / vertices;
        const double nx = x + radius * std::cos(a), ny = y + radius * std::sin(a);
        run.Add(px, py, nx, ny);
        px = nx;
        py = ny;
    }
}

void TarqTargetBuilder::DrawCodeSymbols(const TargetSnapshot& target, const std::vector<PixelPoint>& points,
                                        std::initializer_list<Segment> standby, PixelPoint starOffset) const {
    // Standby first: a standby target with a VFR code is still primary only.
    const bool isStandby = target.transponderMode == 'S';
    const bool isVfr = !isStandby && IsVfrCode(target.squawk);
    const std::string letter = target.ownerSectorText.substr(0, 1);
    DrawSymbols(points, target.targetSymbolColor, target.historyTrailColor, [&](PixelPoint p, double z) {
        if (isStandby)
            DrawSegments(p, z, standby);
        else if (isVfr)
            DrawLoop(p, z, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}});
        else if (!target.ownerId.empty())
            DrawText(p + PixelPoint{-3, -3}, z, letter);
        else
            DrawText(p + starOffset, z, "*");
    });
}
