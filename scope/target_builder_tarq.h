// TarqTargetBuilderTarq: the program's own radar mode, the one of every mode
// number without a builder of its own. Symbols by transponder state, VFR code
// and tracking; a two-line limited data block beside the symbol; a three-line
// full data block whose second line alternates every second between status
// and intent, with the anchor block under it; separation ring and vector line.
// Tested by tests/scope/target_builder_tarq_test.cpp.
#pragma once

#include "scope/target_builder.h"

class TarqTargetBuilderTarq : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderTarq(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;

private:
    uint32_t m_ringColor = kSepRingColor;
    uint32_t m_ringBlinkColor = kSepRingBlinkColor;
};
