// TarqTargetManager: the targets of one scope. It owns the builder of the
// scope's radar mode and gives the builders what they draw with: the scope
// (projection, zoom, settings through its host), the display's fonts, the
// clock they blink on and the show-separation-rings switch.
// With an environment it is the scope's ScopeTargets: every frame it fills a
// record per aircraft and has the builder draw it, and it takes the scope's
// clicks first. Tested by tests/scope/target_builder_test.cpp and
// target_manager_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "platform/clock.h"
#include "scope/scope_targets.h"
#include "scope/target_batch.h"
#include "scope/target_state.h"

class ScopeFontSource;
class TarqDisplayScope;
class TarqTargetBuilder;

class TarqTargetManager : public ScopeTargets {
public:
    // scope and fonts must outlive the manager; clock is the process clock
    // the builders blink on.
    TarqTargetManager(TarqDisplayScope& scope, const ScopeFontSource& fonts, int radarMode,
                      const Clock& clock = SystemClock::Instance());
    virtual ~TarqTargetManager();
    TarqTargetManager(const TarqTargetManager&) = delete;
    TarqTargetManager& operator=(const TarqTargetManager&) = delete;

    // Where the aircraft come from and clicks go; without one Draw draws
    // nothing and clicks are not taken. Must outlive the manager.
    void SetEnvironment(TargetEnvironment* environment);
    TargetState* GetState() const { return m_state.get(); }
    // Whether the aircraft database holds the callsign on its request list.
    bool IsOnRequestList(const std::string& callsign) const;

    // ScopeTargets
    void Draw(bool in3D) override;
    // Replaces the builder by the one of the mode; the per-callsign state stays.
    void SetRadarMode(int mode) override;
    bool OnLeftButtonDown(int x, int y) override;
    void OnLeftButtonUp() override;
    bool OnMiddleButtonDown(int x, int y) override;
    bool OnRightButtonDown(int x, int y) override;
    void Declutter() override;
    void ToggleSepRings() override { m_showSepRings = !m_showSepRings; }
    void MarkPointout(const std::string& callsign) override;
    // An anchor was attached: the aircraft shows its full data block.
    void RefreshAnchor(const std::string& callsign) override;

    int GetRadarMode() const { return m_radarMode; }
    TarqTargetBuilder& GetBuilder() const { return *m_builder; }
    // The builder of a radar mode, owned by owner.
    static std::unique_ptr<TarqTargetBuilder> CreateBuilder(int radarMode, TarqTargetManager* owner);

    TarqDisplayScope& GetScope() const { return m_scope; }
    const ScopeFontSource& GetFonts() const { return m_fonts; }
    const Clock& GetClock() const { return m_clock; }
    // Where the 2-D builders queue a frame's drawing; Draw flushes it, and
    // so must whoever runs a builder by itself.
    TargetBatch& GetBatch() { return m_batch; }

    // ".seprings": off at first.
    bool GetShowSepRings() const { return m_showSepRings; }

private:
    TarqDisplayScope& m_scope;
    const ScopeFontSource& m_fonts;
    const Clock& m_clock;
    int m_radarMode = 0;
    std::unique_ptr<TarqTargetBuilder> m_builder;
    TargetBatch m_batch;
    bool m_showSepRings = false;
    std::unique_ptr<TargetState> m_state;
    TargetEnvironment* m_environment = nullptr;
};
