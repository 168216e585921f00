// TarqTargetBuilderParkAir: radar mode 9. A thick plot bar across the plot
// bearing at every position, fading from yellow through darkening greens; a
// white symbol whose shape tells the tracking state; a white data block (red
// for the emergency and hijack codes) with levels against the transition
// level, blinking alert items and a blinking red box around a conflict.
// No vector line.
// Tested by tests/scope/target_builder_parkair_test.cpp.
#pragma once

#include "scope/target_builder.h"

class TarqTargetBuilderParkAir : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderParkAir(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;

private:
    // Red in the low byte.
    uint32_t m_alertColor = 0x0000FF;
    uint32_t m_symbolColor = 0xFFFFFF;
    uint32_t m_plotColor = 0x00FFFF;
    uint32_t m_trailColor = 0x00C000;
};
