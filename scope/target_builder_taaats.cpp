// Radar mode 10. Tested by tests/scope/target_builder_taaats_test.cpp.
#include "scope/target_builder_taaats.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/geo_helpers.h"
#include "platform/gl_font.h"
#include "scope/display_scope.h"
#include "scope/scope_gl.h"
#include "scope/scope_host.h"
#include "scope/target_manager.h"

namespace {

constexpr double kShapeDepth = 0.97;
constexpr double kTextDepth = 0.965;
constexpr double kBoxDepth = 0.955;
constexpr int kSymbolFont = 5;
constexpr const char* kTickGlyph = "\xDC";

enum class Shape { Cup, Glyph2000, Hourglass, Square, Circle };

bool IsEmergencyCode(uint16_t squawk) { return squawk == 7700 || squawk == 7600 || squawk == 7500; }

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// Leader end and data block origin from the symbol; a zero length only
// places the block.
TagOffsets TaaatsPlacement(int position, int l) {
    switch (position) {
        case 1: {
            PixelPoint end = l == 0 ? PixelPoint{3, 0} : PixelPoint{-l, -l};
            return {{}, end, {end.x - 78, -l - 10}};
        }
        case 2:
            return {{}, {0, -l}, {3, -l - 10}};
        case 3: {
            PixelPoint end = l == 0 ? PixelPoint{3, 0} : PixelPoint{l, -l};
            return {{}, end, {end.x + 1, -l - 10}};
        }
        case 4: {
            PixelPoint end = l == 0 ? PixelPoint{3, 1} : PixelPoint{-l, 1};
            return {{}, end, {end.x - 78, -10}};
        }
        case 6: {
            PixelPoint end = l == 0 ? PixelPoint{3, 1} : PixelPoint{l, 1};
            return {{}, end, {end.x + 2, -10}};
        }
        case 7: {
            PixelPoint end = l == 0 ? PixelPoint{3, 0} : PixelPoint{-l, l};
            return {{}, end, {end.x - 78, l - 10}};
        }
        case 8:
            return {{}, {0, l}, {3, l - 10}};
        case 9: {
            PixelPoint end = l == 0 ? PixelPoint{3, 0} : PixelPoint{l, l};
            return {{}, end, {end.x + 2, l - 10}};
        }
        default:
            return {};
    }
}

// Where the anchor block goes, opposite the data block; 0 for none.
int AnchorSide(int position) {
    switch (position) {
        case 1:
        case 4:
            return 2;
        case 2:
        case 3:
        case 5:
        case 6:
            return 1;
        case 7:
            return 4;
        case 8:
        case 9:
            return 3;
        default:
            return 0;
    }
}

std::string WakeCategory(const std::string& weightClass) {
    if (weightClass == "S") return "L";
    if (weightClass == "S+" || weightClass == "L") return "M";
    return weightClass;
}

const char* VoiceLetter(int voiceType) {
    switch (voiceType) {
        case kVoiceTextOnly:
            return "T";
        case kVoiceReceiveOnly:
            return "R";
        case kVoiceFull:
            return "";
        default:
            return "?";
    }
}


}  // namespace

TagRect TarqTargetBuilderTAAATS::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    const PixelPoint p = points[0];
    const bool selected = target.isRadioSelected;

    uint32_t color = !target.handoffTargetId.empty() || target.incomingHandoff ? m_handoff
                     : target.trackedByMe      ? (selected ? m_mineSelected : m_mine)
                     : !target.ownerId.empty() ? (selected ? m_otherSelected : m_other)
                     : selected                ? m_selectedUntracked
                                               : m_untracked;

    // Offsets of the octagon's corners that differ by shape.
    enum class Octagon { Wide, Glyph, Narrow };
    auto drawOctagon = [&](Octagon kind) {
        if (!selected) return;
        SetColor(color);
        int r = kind == Octagon::Wide ? 3 : 2;     // right end of the bottom edge
        int e = kind == Octagon::Wide ? 8 : 7;     // right edge
        int t = kind == Octagon::Narrow ? 3 : 4;   // top of the right edge
        int tt = kind == Octagon::Narrow ? 7 : 8;  // top edge
        int lt = kind == Octagon::Narrow ? 2 : 3;  // top of the left edge
        int tr = kind == Octagon::Wide ? 4 : 3;    // right end of the top edge
        DrawSegments(p, kShapeDepth,
                     {{-3, -8, r, -8},
                      {r, -8, e, -3},
                      {e, -3, e, t},
                      {e, t, tr, tt},
                      {tr, tt, -3, tt},
                      {-3, tt, -8, lt},
                      {-8, lt, -8, -2},
                      {-8, -2, -2, -8}});
    };

    if (target.transponderMode == 'S' && !target.seeAll) {
        SetColor(m_untracked);
        DrawSegments(p, kShapeDepth, {{-5, 0, 6, 0}, {0, 6, 0, -5}});
        drawOctagon(Octagon::Wide);
        return TagRect::Empty();
    }

    const bool vfr = IsVfrCode(target.squawk);
    Shape shape = target.squawk == 100    ? Shape::Cup
                  : target.squawk == 2000 ? Shape::Glyph2000
                  : vfr                   ? Shape::Hourglass
                  : target.coasting       ? Shape::Square
                                          : Shape::Circle;
    // An identing symbol shows in its own colour for half of every second.
    bool visible = true;
    uint32_t shapeColor = color;
    if (target.transponderMode == 'Y' && shape != Shape::Square) {
        visible = NowMs() % 1000 >= 500;
        shapeColor = m_ident;
    }
    if (visible) {
        SetColor(shapeColor);
        switch (shape) {
            case Shape::Cup:
                DrawStrip(p, kShapeDepth, {{-4, 5}, {-4, -4}, {4, -4}, {4, 5}});
                break;
            case Shape::Glyph2000:
                if (const GlBitmapFont* font = Owner()->GetFonts().GetFont(kSymbolFont)) {
                    const char glyph = static_cast<char>(font->Spec().firstChar);
                    Batch().Text(*font, p.x - 8, p.y - 7, kShapeDepth, std::string_view(&glyph, 1));
                }
                break;
            case Shape::Hourglass:
                DrawSegments(p, kShapeDepth,
                             {{-5, -5, 5, -5}, {5, -5, -5, 5}, {-5, 4, 5, 4}, {5, 5, -5, -5}});
                break;
            case Shape::Square:
                DrawStrip(p, kShapeDepth, {{-4, 4}, {-4, -4}, {4, -4}, {4, 4}});
                DrawSegments(p, kShapeDepth, {{5, 4, -4, 4}});
                break;
            case Shape::Circle:
            {
                static const auto unit = [] {
                    std::array<std::array<double, 2>, 30> corners;
                    for (int i = 0; i < 30; ++i) {
                        double a = i * 2.0 * M_PI / 30;
                        corners[static_cast<size_t>(i)] = {std::cos(a), std::sin(a)};
                    }
                    return corners;
                }();
                double circle[30][2];
                for (size_t i = 0; i < 30; ++i) {
                    circle[i][0] = p.x + 5 * unit[i][0];
                    circle[i][1] = p.y + 5 * unit[i][1];
                }
                DrawOutline(circle, 30, kShapeDepth, true);
            }
                break;
        }
    }
    drawOctagon(shape == Shape::Glyph2000                             ? Octagon::Glyph
                : shape == Shape::Hourglass || shape == Shape::Circle ? Octagon::Narrow
                                                                      : Octagon::Wide);

    SetColor(color);
    for (size_t i = 1; i < points.size(); ++i)
        DrawText(points[i] + PixelPoint{-3, -4}, kTextDepth, kTickGlyph);

    if (target.filtered && !selected) return TagRect::Empty();

    TagPlacement tag = PlaceTag(target, p, &TaaatsPlacement);
    SetColor(color);
    if (tag.leaderLength != 0) DrawLine(p, tag.leaderEnd, kTextDepth);
    PixelPoint o = tag.origin;

    // Cleared level: the temporary altitude, else the cruise altitude.
    const int64_t altitude = target.altitude;
    const int64_t previous = target.previousAltitude;
    const int64_t cleared = target.temporaryAltitude > 0 ? target.temporaryAltitude : target.cruiseAltitude;
    bool leavesCleared = target.trackedByMe && cleared > 0 && Abs64(altitude - previous) > 30 &&
                         Abs64(altitude - cleared) > 400 &&
                         Abs64(altitude - cleared) > Abs64(previous - cleared);
    const char* alert = target.coasting                           ? "CSTA"
                        : target.inConflict && target.trackedByMe ? "STCA"
                        : target.squawk == 7700                   ? "EMRG"
                        : target.squawk == 7500                   ? "HIJK"
                        : target.squawk == 7600                   ? "RDOF"
                        : leavesCleared                           ? "CLAM"
                                                                  : nullptr;
    std::string word = alert ? alert : "";
    bool wordBox = alert && word != "CSTA" && word != "CLAM";
    uint32_t boxColor = word == "STCA" ? m_alertRed : m_alertYellow;
    bool redWord = word == "EMRG" || word == "HIJK" || word == "RDOF";
    uint32_t wordColor = redWord ? m_alertRed : m_alertYellow;
    uint32_t frameColor = word == "EMRG" || word == "HIJK" ? m_alertRed : m_alertYellow;

    bool scratchpadShown = !target.scratchpad.empty() && target.scratchpad != target.destination;
    bool wrongCode =
        target.assignedCode != 0 && target.assignedCode != target.squawk && !IsEmergencyCode(target.squawk);
    bool shortBlock = (wrongCode || vfr || target.squawk == 100 || target.squawk == 2000) && !target.seeAll;

    TagRect result;
    if (shortBlock) {
        int position = target.tagPosition;
        if (position == 1 || position == 4 || position == 7) o.x += 40;
        int lines = alert ? 3 : 2;
        if (alert) {
            if (wordBox) {
                SetColor(boxColor);
                FillConvex(o, kBoxDepth, {{21, 22}, {49, 22}, {49, 34}, {21, 34}});
            }
            SetColor(wordColor);
            DrawText(o + PixelPoint{0, 24}, kTextDepth, FormatLine("   %s", alert));
        }
        SetColor(color);
        DrawText(o + PixelPoint{0, 12}, kTextDepth, FormatLine("%04d", target.squawk));
        DrawText(o, kTextDepth, FormatLine("%03d", target.altitude / 100));
        result = {o.x, o.y + 8 * lines, o.x + 7 * (alert ? 7 : 4), o.y};
    } else {
        if (Owner()->IsOnRequestList(target.callsign)) {
            SetColor(m_selectedUntracked);
            DrawText(o + PixelPoint{0, 24}, kTextDepth, "C");
        }
        SetColor(color);
        if (scratchpadShown)
            DrawText(o + PixelPoint{0, 24}, kTextDepth,
                     FormatLine(" %s", target.scratchpad.substr(0, 5).c_str()));
        if (alert) {
            if (wordBox) {
                SetColor(boxColor);
                FillConvex(o, kBoxDepth, {{49, 22}, {77, 22}, {77, 34}, {49, 34}});
            }
            SetColor(wordColor);
            DrawText(o + PixelPoint{49, 24}, kTextDepth, alert);
        }
        std::string callsignLine =
            FormatLine("%s %s", target.callsign.c_str(), WakeCategory(target.weightClass).c_str());
        if (word == "STCA") {
            SetColor(m_alertRed);
            const int right = 6 * static_cast<int>(callsignLine.size()) + 1;
            FillConvex(o, kBoxDepth, {{0, 10}, {right, 10}, {right, 22}, {0, 22}});
            SetColor(m_alertYellow);
        } else {
            SetColor(color);
        }
        DrawText(o + PixelPoint{0, 12}, kTextDepth, callsignLine);

        SetColor(color);
        const char* trend = " ";
        if (target.groundSpeed >= 40)
            trend = altitude - previous > 30 ? "^" : altitude - previous < -30 ? "v" : ">";
        DrawText(o, kTextDepth,
                 FormatLine("%03d%s%03lld %02d", target.altitude / 100, trend,
                            static_cast<long long>(cleared / 100), target.groundSpeed / 10));

        std::string suffix = target.equipmentSuffix;
        for (char& c : suffix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        bool qualified =
            suffix.size() == 1 && std::string_view("JKLQW").find(suffix[0]) != std::string_view::npos;
        const char* marker = target.isVfr ? "V" : qualified ? "" : "X";
        if (*marker) {
            bool high = altitude >= 29000 || cleared >= 29000;
            SetColor(high ? m_highLevelMarker : color);
            DrawText(o + PixelPoint{49, 0}, kTextDepth, marker);
        }

        int lines = scratchpadShown || alert ? 3 : 2;
        if (target.blockToggled) {
            SetColor(color);
            DrawText(o + PixelPoint{0, -12}, kTextDepth,
                     FormatLine("%s %s %s", target.destination.c_str(), target.typeCode.c_str(),
                                VoiceLetter(target.voiceType)));
            ++lines;
        }
        if (alert && target.trackedByMe) {
            SetColor(frameColor);
            DrawLoop(o, kTextDepth, {{-2, -15}, {77, -15}, {77, 35}, {-2, 34}});
        }
        result = {o.x, o.y + 8 * lines, o.x + 77, o.y};
    }

    int side = AnchorSide(target.tagPosition);
    if (side != 0 && target.hasAnchor && !target.anchor.timeToGo.empty()) {
        PixelPoint d = p + PixelPoint{side % 2 == 1 ? -46 : 8, side >= 3 ? -38 : 0};
        SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
        DrawText(d + PixelPoint{2, 27}, kTextDepth, FormatLine("%.1f", target.anchor.distance));
        DrawText(d + PixelPoint{2, 15}, kTextDepth, FormatLine("%03d", target.anchor.heading));
        DrawText(d + PixelPoint{2, 3}, kTextDepth, FormatLine("%s", target.anchor.timeToGo.c_str()));
        DrawLoop(d, kTextDepth, {{0, 0}, {37, 0}, {38, 37}, {0, 37}});
    }

    if (target.groundSpeed > 0) DrawVector(target, p, color);
    return result;
}

void TarqTargetBuilderTAAATS::DrawVector(const TargetSnapshot& target, PixelPoint symbol,
                                         uint32_t color) const {
    const TarqDisplayScope& scope = Scope();
    double zoom = scope.GetZoom();
    if (!(zoom > 0.0)) return;
    // Degrees of latitude per step: a minute at the ground speed, or a mile.
    double step = Host().GetBool("TimeBasedVector") ? target.groundSpeed / 3600.0 : 1.0 / 60.0;
    double length = step * target.vectorLength;
    // Past the viewport's farthest corner nothing more can be seen: the line
    // stops there and so do the ticks, however long the vector.
    PixelPoint size = scope.GetViewportSize();
    double reachPixels = 0.0;
    for (PixelPoint c : {PixelPoint{0, 0}, {size.x, 0}, {0, size.y}, size})
        reachPixels = std::max(reachPixels, std::hypot(c.x - symbol.x, c.y - symbol.y));
    double reach = (reachPixels + 2.0) * zoom / 60.0;
    auto pointAt = [&](double distance) {
        PlanarOffset offset = PolarOffset(distance, target.track);
        return scope.ProjectToScreen(
            {target.position.x + offset.x / LongitudeScale, target.position.y + offset.y});
    };
    SetColor(color);
    DrawLine(symbol, pointAt(std::clamp(length, -reach, reach)), kSymbolDepth);

    // Ticks closer than a pixel would only smear the line.
    if (step * 60.0 / zoom < 1.0) return;
    int64_t last = std::min<int64_t>(static_cast<int64_t>(target.vectorLength) - 1,
                                     static_cast<int64_t>(reach / step) + 1);
    for (int64_t k = 1; k <= last; ++k)
        DrawText(pointAt(k * step) + PixelPoint{-2, -4}, kTextDepth, kTickGlyph);
}
