// The targets of one scope. Tested by tests/scope/target_builder_test.cpp.
#include "scope/target_manager.h"

#include "atc/aircraft_db.h"
#include "scope/display_scope.h"
#include "scope/target_builder.h"
#include "scope/target_builder_3d.h"
#include "scope/target_builder_arts.h"
#include "scope/target_builder_dsr.h"
#include "scope/target_builder_gnd.h"
#include "scope/target_builder_parkair.h"
#include "scope/target_builder_psr.h"
#include "scope/target_builder_simple.h"
#include "scope/target_builder_stars.h"
#include "scope/target_builder_taaats.h"
#include "scope/target_builder_tarq.h"
#include "scope/target_builder_twr.h"

TarqTargetManager::TarqTargetManager(TarqDisplayScope& scope, const ScopeFontSource& fonts, int radarMode,
                                     const Clock& clock)
    : m_scope(scope), m_fonts(fonts), m_clock(clock) {
    m_radarMode = radarMode;
    m_builder = CreateBuilder(radarMode, this);
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
        case 2:
            return std::make_unique<TarqTargetBuilderTWR>(owner);
        case 3:
            return std::make_unique<TarqTargetBuilderARTS>(owner);
        case 4:
            return std::make_unique<TarqTargetBuilderDSR>(owner);
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
        case 11:
            return std::make_unique<TarqTargetBuilderSTARS>(owner);
        default:
            return std::make_unique<TarqTargetBuilderTarq>(owner);
    }
}

void TarqTargetManager::SetEnvironment(TargetEnvironment* environment) {
    m_environment = environment;
    m_state = environment ? std::make_unique<TargetState>(m_scope, *environment) : nullptr;
}

bool TarqTargetManager::IsOnRequestList(const std::string& callsign) const {
    const TarqAircraftDB* db = m_environment ? m_environment->GetAircraftDB() : nullptr;
    return db && db->GetRequestTime(callsign) != 0;
}

void TarqTargetManager::Draw(bool in3D) {
    if (!m_state || in3D != (m_radarMode == kRadarMode3D)) return;
    m_state->RunFrame(m_radarMode, TargetBlinkPhase(m_clock.NowMs()),
                      [this](TargetSnapshot& target) { return m_builder->Build(target); });
    m_batch.Flush();
}

bool TarqTargetManager::OnLeftButtonDown(int x, int y) {
    return m_state && m_state->OnLeftClick(x, y, m_radarMode);
}

void TarqTargetManager::OnLeftButtonUp() {
    if (m_state) m_state->CancelDrag();
}

bool TarqTargetManager::OnMiddleButtonDown(int x, int y) {
    return m_state && m_state->OnMiddleClick(x, y, m_radarMode);
}

bool TarqTargetManager::OnRightButtonDown(int x, int y) {
    return m_state && m_state->OpenMenuAt(x, y, m_radarMode);
}

void TarqTargetManager::Declutter() {
    if (m_state) m_state->Declutter();
}

void TarqTargetManager::MarkPointout(const std::string& callsign) {
    if (m_state) m_state->ToggleFullDataBlock(callsign);
}

void TarqTargetManager::RefreshAnchor(const std::string& callsign) {
    if (m_state) m_state->ForceFullDataBlock(callsign);
}
