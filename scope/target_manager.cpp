// The targets of one scope. Tested by tests/scope/target_builder_test.cpp.
#include "scope/target_manager.h"

#include "scope/target_builder.h"
#include "scope/target_builder_3d.h"
#include "scope/target_builder_gnd.h"
#include "scope/target_builder_psr.h"
#include "scope/target_builder_parkair.h"
#include "scope/target_builder_simple.h"
#include "scope/target_builder_taaats.h"
#include "scope/target_builder_tarq.h"

TarqTargetManager::TarqTargetManager(TarqDisplayScope& scope, const ScopeFontSource& fonts, int radarMode,
                                     const Clock& clock)
    : m_scope(scope), m_fonts(fonts), m_clock(clock) {
    SetRadarMode(radarMode);
}

TarqTargetManager::~TarqTargetManager() = default;

void TarqTargetManager::SetRadarMode(int mode) {
    m_radarMode = mode;
    m_builder = CreateBuilder(mode, this);
}

std::unique_ptr<TarqTargetBuilder> TarqTargetManager::CreateBuilder(int radarMode, TarqTargetManager* owner) {
    switch (radarMode) {
        case 1:
            return std::make_unique<TarqTargetBuilderSimple>(owner);
        case 6:
            return std::make_unique<TarqTargetBuilder3D>(owner);
        case 7:
            return std::make_unique<TarqTargetBuilderGND>(owner);
        case 8:
            return std::make_unique<TarqTargetBuilderPSR>(owner);
        case 9:
            return std::make_unique<TarqTargetBuilderParkAir>(owner);
        case 10:
            return std::make_unique<TarqTargetBuilderTAAATS>(owner);
        // Tower (2), ARTS (3), DSR (4) and STARS (11) draw as the program's own
        // mode until their builders come.
        default:
            return std::make_unique<TarqTargetBuilderTarq>(owner);
    }
}
