// Radar mode 1. Tested by tests/scope/target_builder_simple_test.cpp.
#include "scope/target_builder_simple.h"

namespace {


// Offsets from the symbol; the data block sits closer in when there is no
// leader.
TagOffsets SimplePlacement(int position, int l) {
    switch (position) {
        case 1:
            return {
                {-10, -10}, {-10 - l, -10 - l}, l == 0 ? PixelPoint{-57, -45} : PixelPoint{-70 - l, -45 - l}};
        case 2:
            return {{0, -10}, {0, -10 - l}, {-25, -45 - l}};
        case 3:
            return {{10, -10}, {10 + l, -10 - l}, l == 0 ? PixelPoint{10, -45} : PixelPoint{17 + l, -45 - l}};
        case 4:
            return {{-10, 1}, {-10 - l, 1}, l == 0 ? PixelPoint{-62, -16} : PixelPoint{-75 - l, -16}};
        case 6:
            return {{10, 1}, {10 + l, 1}, l == 0 ? PixelPoint{11, -16} : PixelPoint{18 + l, -16}};
        case 7:
            return {{-10, 10}, {-10 - l, 10 + l}, l == 0 ? PixelPoint{-57, 2} : PixelPoint{-70 - l, 2 + l}};
        case 8:
            return {{0, 13}, {0, 13 + l}, {-25, 8 + l}};
        case 9:
            return {{13, 13}, {13 + l, 13 + l}, l == 0 ? PixelPoint{6, 2} : PixelPoint{16 + l, 2 + l}};
        default:
            return {};
    }
}

}  // namespace

TagRect TarqTargetBuilderSimple::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);

    DrawCodeSymbols(target, points, {{-1, 0, 2, 0}, {-1, -1, 2, -1}, {0, 2, 0, -2}}, {-3, -5});

    if (IsDataBlockHidden(target) || IsHandoffBlinkOff(target)) return TagRect::Empty();
    double z = DataBlockDepth(target);
    TagPlacement tag = PlaceTag(target, points[0], &SimplePlacement);
    SetColor(target.dataBlockColor);
    DrawLeader(tag, z);
    DrawText(tag.origin + PixelPoint{0, 12}, z, CallsignLine(target));
    return DataBlockRect(tag.origin);
}
