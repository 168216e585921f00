// TarqTargetManager: the targets of one scope. It owns the builder of the
// scope's radar mode and gives the builders what they draw with: the scope
// (projection, zoom, settings through its host), the display's fonts, the
// clock they blink on and the show-separation-rings switch.
// Tested by tests/scope/target_builder_test.cpp.
#pragma once

#include <memory>

#include "platform/clock.h"

class ScopeFontSource;
class TarqDisplayScope;
class TarqTargetBuilder;

class TarqTargetManager {
public:
    // scope and fonts must outlive the manager; clock is the process clock
    // the builders blink on.
    TarqTargetManager(TarqDisplayScope& scope, const ScopeFontSource& fonts, int radarMode,
                      const Clock& clock = SystemClock::Instance());
    virtual ~TarqTargetManager();
    TarqTargetManager(const TarqTargetManager&) = delete;
    TarqTargetManager& operator=(const TarqTargetManager&) = delete;

    // Replaces the builder by the one of the mode.
    void SetRadarMode(int mode);
    int GetRadarMode() const { return m_radarMode; }
    TarqTargetBuilder& GetBuilder() const { return *m_builder; }
    // The builder of a radar mode, owned by owner.
    static std::unique_ptr<TarqTargetBuilder> CreateBuilder(int radarMode, TarqTargetManager* owner);

    TarqDisplayScope& GetScope() const { return m_scope; }
    const ScopeFontSource& GetFonts() const { return m_fonts; }
    const Clock& GetClock() const { return m_clock; }

    // ".seprings": off at first.
    void ToggleSepRings() { m_showSepRings = !m_showSepRings; }
    bool GetShowSepRings() const { return m_showSepRings; }

private:
    TarqDisplayScope& m_scope;
    const ScopeFontSource& m_fonts;
    const Clock& m_clock;
    int m_radarMode = 0;
    std::unique_ptr<TarqTargetBuilder> m_builder;
    bool m_showSepRings = false;
};
