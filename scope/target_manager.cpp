// The targets of one scope. Tested by tests/scope/target_builder_test.cpp.
#include "scope/target_manager.h"

#include <GL/gl.h>

#include "scope/display_scope.h"
#include "scope/target_builder.h"
#include "scope/target_builder_simple.h"

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
        // Tower (2), ARTS (3), DSR (4), 3-D (6), Ground (7), primary radar (8),
        // Park Air (9), TAAATS (10), STARS (11) and the program's own mode
        // (any other number) draw as Simple until their builders come.
        default:
            return std::make_unique<TarqTargetBuilderSimple>(owner);
    }
}

void TarqTargetManager::SetEnvironment(TargetEnvironment* environment) {
    m_state = environment ? std::make_unique<TargetState>(m_scope, *environment) : nullptr;
}

void TarqTargetManager::Draw(bool in3D) {
    if (!m_state || in3D != (m_radarMode == kRadarMode3D)) return;
    glPushAttrib(GL_LIST_BIT);
    m_state->RunFrame(m_radarMode, TargetBlinkPhase(m_clock.NowMs()),
                      [this](TargetSnapshot& target) { return m_builder->Build(target); });
    glPopAttrib();
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
