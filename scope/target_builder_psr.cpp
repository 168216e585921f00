// Radar mode 8. Tested by tests/scope/target_builder_psr_test.cpp.
#include "scope/target_builder_psr.h"

TagRect TarqTargetBuilderPSR::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    DrawSymbols(points, target.primaryTargetColor, target.historyTrailColor, [&](PixelPoint p, double z) {
        DrawText(p + PixelPoint{-3, -3}, z, "\\");
    });
    return TagRect::Empty();
}
