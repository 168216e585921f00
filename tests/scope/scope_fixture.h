// A small sector with one element of every class at round positions, written
// to a temporary file, and a scope over a fake host that loads it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "fake_scope_host.h"
#include "foundation/geo_helpers.h"
#include "scope/display_scope.h"
#include "scope/scope_targets.h"
#include "scope/sector_library.h"
#include "tests/temp_dir.h"

// Packed with red in the low byte, as the profile holds colours.
constexpr int Packed(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// A colour of its own for each sector list and overlay, so a pixel tells
// which of them drew it.
inline std::map<std::string, int> DistinctListColors() {
    return {
        {"ColorRangeRings", Packed(255, 0, 0)},    {"ColorVOR", Packed(0, 255, 0)},
        {"ColorFix", Packed(0, 0, 255)},           {"ColorARTCCBound", Packed(255, 255, 0)},
        {"ColorHighBound", Packed(255, 0, 255)},   {"ColorLowBound", Packed(0, 255, 255)},
        {"ColorRunway", Packed(128, 128, 128)},    {"ColorAirport", Packed(255, 128, 0)},
        {"ColorNDB", Packed(0, 128, 255)},         {"ColorLowAirway", Packed(64, 64, 64)},
        {"ColorHighAirway", Packed(32, 32, 32)},   {"ColorStickyBorder", Packed(200, 100, 50)},
        {"ColorStickyText", Packed(50, 100, 200)}, {"ColorToolLines", Packed(250, 250, 250)},
        {"ColorSID", Packed(128, 0, 255)},         {"ColorSTAR", Packed(255, 0, 128)},
        {"ColorCenterlines", Packed(128, 255, 0)},
    };
}

// Targets that only draw: the rest of the scope's calls have nothing to act on.
struct DrawOnlyTargets : ScopeTargets {
    void SetRadarMode(int) override {}
    bool OnLeftButtonDown(int, int) override { return false; }
    void OnLeftButtonUp() override {}
    bool OnMiddleButtonDown(int, int) override { return false; }
    bool OnRightButtonDown(int, int) override { return false; }
    void Declutter() override {}
    void ToggleSepRings() override {}
    void MarkPointout(const std::string&) override {}
    void RefreshAnchor(const std::string&) override {}
};

// Centre N40 W74; 60 and 45 NM per degree give a longitude scale of 0.75.
inline const char* const kSmallSector = R"([INFO]
Test sector
TST_CTR
KAAA
N040.00.00.000
W074.00.00.000
60
45
0
1

[VOR]
VVV 115.000 N040.10.00.000 W074.00.00.000

[NDB]
NNN 300 N039.50.00.000 W074.00.00.000

[AIRPORT]
KAAA 118.100 N040.00.00.000 W074.10.00.000 C

[RUNWAY]
04 22 040 220 N040.00.00.000 W074.10.00.000 N040.01.00.000 W074.09.00.000

[FIXES]
FFF N040.00.00.000 W073.50.00.000
EQTR N000.00.00.000 E000.00.00.000

[ARTCC]
BND N040.20.00.000 W074.20.00.000 N040.20.00.000 W073.40.00.000

[ARTCC HIGH]
HBND N040.25.00.000 W074.20.00.000 N040.25.00.000 W073.40.00.000

[ARTCC LOW]
LBND N039.40.00.000 W074.20.00.000 N039.40.00.000 W073.40.00.000

[SID]
KAAA DEP1                 KAAA KAAA VVV VVV

[STAR]
KAAA ARR1                 FFF FFF KAAA KAAA

[LOW AIRWAY]
V1 VVV VVV FFF FFF

[HIGH AIRWAY]
J1 NNN NNN FFF FFF

[GEO]
N039.55.00.000 W074.05.00.000 N039.55.00.000 W073.55.00.000 255

[REGIONS]
65280 N039.45.00.000 W074.15.00.000
      N039.45.00.000 W074.13.00.000
      N039.47.00.000 W074.13.00.000
      N039.47.00.000 W074.15.00.000

[LABELS]
"HELLO" N040.05.00.000 W074.05.00.000 16711680
)";

// Restores the program-wide longitude scale a test changes.
class LongitudeScaleGuard {
public:
    LongitudeScaleGuard() : m_saved(LongitudeScale) {}
    ~LongitudeScaleGuard() { LongitudeScale = m_saved; }
    LongitudeScaleGuard(const LongitudeScaleGuard&) = delete;
    LongitudeScaleGuard& operator=(const LongitudeScaleGuard&) = delete;

private:
    double m_saved;
};

class ScopeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("small.sct2", kSmallSector);
        host.startDirectory = dir.Path();
        host.colors = {{"ColorRangeRings", 0x0000FF}, {"ColorVOR", 0x00FF00}, {"ColorFix", 0xFF0000},
                       {"ColorToolLines", 0xFFFF00}};
    }
    // A main-display scope over an 800 x 600 viewport, the sector loaded.
    std::unique_ptr<TarqDisplayScope> MakeScope(TarqDisplaySettings settings = {}) {
        if (settings.Zoom == 0.0) settings.Zoom = 0.1;
        if (settings.CenterLon == 0.0 && settings.CenterLat == 0.0) {
            settings.CenterLon = -74.0;
            settings.CenterLat = 40.0;
        }
        if (settings.SectorFile.empty()) settings.SectorFile = dir.File("small.sct2");
        auto scope = std::make_unique<TarqDisplayScope>(host, settings, &library);
        scope->SetViewportSize(800, 600);
        host.mainScope = scope.get();
        return scope;
    }

    LongitudeScaleGuard scaleGuard;
    TempDir dir;
    FakeScopeHost host;
    SectorLibrary library;
};
