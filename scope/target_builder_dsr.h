// TarqTargetBuilderDSR: radar mode 4. A character or figure per track state,
// a diamond and vector line on the user's own tracks, ident bars; a
// three-line full data block with altitude trend and a rotating field, and a
// code and altitude beside limited targets, which have no rectangle. Alerts
// force the full block and blink it dim.
// Tested by tests/scope/target_builder_dsr_test.cpp.
#pragma once

#include <string>

#include "scope/target_builder.h"

class TarqTargetBuilderDSR : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderDSR(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;

private:
    // Line 2: cleared or planned altitude, trend and the rounded-up altitude.
    static std::string AltitudeLine(const TargetSnapshot& target);
    // After the aircraft number: an emergency, else a field by blink phase.
    static std::string RotatingField(const TargetSnapshot& target);

    uint32_t m_ringColor = kSepRingColor;
    uint32_t m_ringBlinkColor = kSepRingBlinkColor;
};
