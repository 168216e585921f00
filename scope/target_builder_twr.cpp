// Radar mode 2. Tested by tests/scope/target_builder_twr_test.cpp.
#include "scope/target_builder_twr.h"

#include <string>

#include "scope/scope_host.h"
#include "scope/target_builder_arts.h"

namespace {


// Without a leader the block's side rows pull in to a fixed end point.
TagOffsets TowerPlacement(int position, int l) {
    TagOffsets row{};
    auto end = [l](int x, int y) { return PixelPoint{l == 0 ? 3 : x, y}; };
    switch (position) {
        case 1:
            row.leaderStart = {-10, -10};
            row.leaderEnd = end(-10 - l, -10 - l);
            row.origin = {row.leaderEnd.x - 60, row.leaderEnd.y - 30};
            break;
        case 2:
            row.leaderStart = {0, -10};
            row.leaderEnd = {0, -10 - l};
            row.origin = {-25, row.leaderEnd.y - 30};
            break;
        case 3:
            row.leaderStart = {10, -10};
            row.leaderEnd = end(10 + l, -10 - l);
            row.origin = {row.leaderEnd.x + 7, row.leaderEnd.y - 30};
            break;
        case 4:
            row.leaderStart = {-10, 1};
            row.leaderEnd = end(-10 - l, 1);
            row.origin = {row.leaderEnd.x - 65, -11};
            break;
        case 6:
            row.leaderStart = {10, 1};
            row.leaderEnd = end(10 + l, 1);
            row.origin = {row.leaderEnd.x + 8, -11};
            break;
        case 7:
            row.leaderStart = {-10, 10};
            row.leaderEnd = end(-10 - l, 10 + l);
            row.origin = {row.leaderEnd.x - 60, row.leaderEnd.y - 3};
            break;
        case 8:
            row.leaderStart = {0, 13};
            row.leaderEnd = {0, 13 + l};
            row.origin = {-25, row.leaderEnd.y};
            break;
        case 9:
            row.leaderStart = {13, 13};
            row.leaderEnd = end(13 + l, 13 + l);
            row.origin = {row.leaderEnd.x + 3, row.leaderEnd.y - 6};
            break;
        default:
            break;
    }
    return row;
}

}  // namespace

TagRect TarqTargetBuilderTWR::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);

    bool vfrCode = IsVfrCode(target.squawk);
    DrawCodeSymbols(target, points, {{-1, 0, 2, 0}, {-1, -1, 2, -1}, {0, 2, 0, -2}}, {-3, -7});

    double z = DataBlockDepth(target);
    if (IsDataBlockHidden(target)) return TagRect::Empty();
    if (target.destination.empty()) target.blinkPhase = 1;
    if (target.scratchpad.size() > 4) target.scratchpad.erase(0, target.scratchpad.size() - 4);
    if (IsHandoffBlinkOff(target)) return TagRect::Empty();

    TagPlacement tag = PlaceTag(target, points[0], &TowerPlacement);
    SetColor(target.dataBlockColor);
    DrawLeader(tag, z);
    bool even = target.blinkPhase % 2 == 0;
    const char* alert = !even ? "" : target.squawk == 7700 ? "EM" : target.squawk == 7600 ? "RF" : "";
    if (*alert) DrawText(tag.origin + PixelPoint{0, 24}, z, alert);
    DrawText(tag.origin + PixelPoint{0, 12}, z, CallsignLine(target));
    const char* ident = target.transponderMode == 'Y' && even ? "ID" : "";
    DrawText(tag.origin, z, TarqTargetBuilderARTS::SecondLine(target, vfrCode, ident));

    std::vector<std::string> anchor = TarqTargetBuilderARTS::AnchorLines(target);
    if (!anchor.empty()) SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
    for (size_t i = 0; i < anchor.size(); ++i) {
        DrawText(tag.origin + PixelPoint{0, -11 - 10 * static_cast<int>(i)}, z, anchor[i], kAnchorFont);
    }
    return DataBlockRect(tag.origin);
}
