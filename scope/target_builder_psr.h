// TarqTargetBuilderPSR: radar mode 8, a primary-radar picture. Every target
// is a bare return "\" with its history trail, whatever its transponder,
// code or owner; no leader, no data block, no vector line, no ring.
// Tested by tests/scope/target_builder_psr_test.cpp.
#pragma once

#include "scope/target_builder.h"

class TarqTargetBuilderPSR : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderPSR(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    // Always the empty rectangle: there is no data block to click.
    TagRect Build(TargetSnapshot& target) override;
};
