// Sector loading (shared parses, failures that keep the old map, the
// longitude scale, messages, the report path), list rebuilds by mask, route
// display, diagrams and items shown one by one.
#include <gtest/gtest.h>

#include <filesystem>

#include "atc/sector_parser.h"
#include "scope_fixture.h"

namespace {

class SectorLoadingTest : public ScopeFixture {
protected:
    // The small sector with other INFO scale lines.
    std::string WithScale(const char* lat, const char* lon) {
        std::string text = kSmallSector;
        text.replace(text.find("\n60\n45\n"), 7, std::string("\n") + lat + "\n" + lon + "\n");
        return text;
    }
};

TEST_F(SectorLoadingTest, DisplaysShowingOneFileShareOneParse) {
    auto main = MakeScope();
    FakeScopeHost otherHost;
    otherHost.isMain = false;
    TarqDisplaySettings settings;
    settings.SectorFile = dir.File("small.sct2");
    TarqDisplayScope other(otherHost, settings, &library);
    EXPECT_EQ(library.ParseCount(), 1);
    EXPECT_EQ(&main->GetSectorData(), &other.GetSectorData());
    // A reload reads the file again, and the diagrams dialog filled from
    // the old parse goes.
    main->ReloadSectorFile();
    EXPECT_EQ(library.ParseCount(), 2);
    EXPECT_EQ(host.diagramsClosed, 1);
    EXPECT_EQ(otherHost.diagramsClosed, 0);
    EXPECT_EQ(host.infos.back(), "Sector file reloaded.");
}

TEST_F(SectorLoadingTest, TheSectorIsShiftedByMinusItsCentre) {
    auto scope = MakeScope();
    const TarqSectorData& data = scope->GetSectorData();
    EXPECT_EQ(data.centre, (ScopePoint{0.0, 0.0}));
    EXPECT_EQ(scope->GetSectorOffset(), (ScopePoint{74.0, -40.0}));
    EXPECT_NEAR(data.airports.at("KAAA").position.x, -10.0 / 60.0, 1e-9);
    ASSERT_EQ(data.geo.size(), 1u);
    EXPECT_NEAR(data.geo[0].y1, -5.0 / 60.0, 1e-9);
    EXPECT_NEAR(data.regions.at(0).points.at(0).x, -0.25, 1e-9);
    EXPECT_NEAR(data.labels.at(0).position.y, 5.0 / 60.0, 1e-9);
}

TEST_F(SectorLoadingTest, AFailedLoadKeepsTheOldMapAndSaysWhy) {
    auto scope = MakeScope();
    const TarqSectorData* before = &scope->GetSectorData();
    uint64_t generation = scope->GetListGeneration(SectorListId::Fixes);
    dir.Write("broken.sct2", "[INFO]\nonly a name\n");
    EXPECT_FALSE(scope->LoadSectorFile(dir.File("broken.sct2"), true));
    ASSERT_EQ(host.errorBoxes.size(), 1u);
    EXPECT_EQ(host.errorBoxes[0],
              "The following error occurred while loading the sector file:\n\nMissing required data from [INFO] section");
    EXPECT_EQ(&scope->GetSectorData(), before);
    EXPECT_EQ(scope->GetSectorFileName(), dir.File("small.sct2"));
    EXPECT_EQ(scope->GetListGeneration(SectorListId::Fixes), generation);
    EXPECT_EQ(host.busyDepth, 0);  // the wait cursor is restored

    // A reload after the file went bad keeps the map and announces nothing.
    std::string path = scope->GetSectorFileName();
    dir.Write("small.sct2", "[NOPE]\n");
    size_t infos = host.infos.size();
    scope->ReloadSectorFile();
    EXPECT_EQ(host.infos.size(), infos);
    EXPECT_EQ(host.errorBoxes.size(), 2u);
    EXPECT_EQ(&scope->GetSectorData(), before);
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(SectorLoadingTest, TheReportGoesIntoTheStartDirectory) {
    auto scope = MakeScope();
    EXPECT_TRUE(std::filesystem::exists(dir.File(kSectorParseReportName)));
}

TEST_F(SectorLoadingTest, LongitudeScaleFromTheMainDisplayOnly) {
    struct Case {
        const char* name;
        const char* lat;
        const char* lon;
        bool main;
        double scale;
    } cases[] = {
        {"main", "60", "45", true, 0.75},
        {"latitude 0 divides by 1", "0", "0.5", true, 0.5},
        {"zero longitude keeps 1", "60", "0", true, 1.0},
        {"negative keeps 1", "60", "-30", true, 1.0},
        {"secondary leaves it", "60", "30", false, 0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LongitudeScale = 0.25;
        dir.Write("scaled.sct2", WithScale(c.lat, c.lon));
        FakeScopeHost h;
        h.isMain = c.main;
        TarqDisplayScope scope(h, TarqDisplaySettings{}, nullptr);
        ASSERT_TRUE(scope.LoadSectorFile(dir.File("scaled.sct2"), true));
        EXPECT_DOUBLE_EQ(LongitudeScale, c.scale);
        EXPECT_EQ(h.infos.back(), c.main ? "Sector file loaded. Visibility center(s) reset." : "Sector file loaded.");
    }
}

TEST_F(SectorLoadingTest, AnnouncedLoadResetsTheViewAndQuietLoadDoesNot) {
    TarqDisplaySettings settings;
    settings.CenterLon = -73.0;
    settings.CenterLat = 41.0;
    auto scope = MakeScope(settings);
    EXPECT_NEAR(scope->GetCenter().x, 1.0, 1e-9);
    scope->SetVisibilityCenter(0, {1, 1});
    ASSERT_TRUE(scope->LoadSectorFile(dir.File("small.sct2"), true));
    EXPECT_EQ(scope->GetCenter(), (ScopePoint{0.0, 0.0}));
    EXPECT_FALSE(scope->HasPrimaryVisibilityCenter());
    EXPECT_NEAR(scope->GetCameraAltitudeFeet(), 911, 1);
}

TEST_F(SectorLoadingTest, AProfileWithoutACentreIsCentredOnItsSector) {
    TarqDisplaySettings settings;
    settings.CenterLon = 83.0;  // what the profile reads for a missing key
    settings.CenterLat = -70.0;
    settings.CenterUnset = true;
    auto scope = MakeScope(settings);
    EXPECT_EQ(scope->GetCenter(), (ScopePoint{0.0, 0.0}));
    EXPECT_EQ(scope->GetRangeRingCenter(), (ScopePoint{0.0, 0.0}));
    // The position the network is told: the sector file's centre.
    EXPECT_EQ(scope->GetVisibilityCenter(0), (ScopePoint{-74.0, 40.0}));

    settings.SectorFile = dir.File("missing.sct2");  // nothing to centre on: the stored values stand
    auto unloaded = MakeScope(settings);
    EXPECT_EQ(unloaded->GetVisibilityCenter(0), (ScopePoint{83.0, -70.0}));
}

TEST_F(SectorLoadingTest, RebuildMaskNamesListsAndTheDiagramsAlwaysFollow) {
    auto scope = MakeScope();
    std::array<uint64_t, kSectorListCount> before{};
    for (int i = 0; i < kSectorListCount; ++i) before[i] = scope->GetListGeneration(static_cast<SectorListId>(i));
    scope->RebuildDisplayLists(ShowBit::RangeRings);
    for (int i = 0; i < kSectorListCount; ++i) {
        SectorListId id = static_cast<SectorListId>(i);
        bool expected = id == SectorListId::RangeRings || id == SectorListId::Diagrams;
        EXPECT_EQ(scope->GetListGeneration(id), before[i] + (expected ? 1 : 0)) << i;
    }
}

TEST_F(SectorLoadingTest, RouteTokensSplitAtBlanksAndDotsAndAddItemsWithoutRemoving) {
    auto scope = MakeScope();
    scope->ShowItems("FFF", 0, false);
    scope->PlotRoute("KAAA..VVV  UNKNOWN.FFF NNN", true);
    ScopeFrameOverlay overlay = scope->PrepareFrame();
    ASSERT_EQ(overlay.route.size(), 4u);
    EXPECT_NEAR(overlay.route[0].x, -10.0 / 60.0, 1e-9);
    const ShownItems& shown = scope->GetShownItems();
    EXPECT_EQ(shown.fixes, (std::vector<std::string>{"FFF"}));
    EXPECT_EQ(shown.airports, (std::vector<std::string>{"KAAA"}));
    EXPECT_EQ(shown.vors, (std::vector<std::string>{"VVV"}));
    EXPECT_EQ(shown.ndbs, (std::vector<std::string>{"NNN"}));
    scope->PlotRoute("", true);
    EXPECT_EQ(scope->PrepareFrame().route.size(), 4u);  // an empty text keeps the route
}

TEST_F(SectorLoadingTest, ShowRouteReadsTheFiledPlan) {
    auto scope = MakeScope();
    host.plans["AAL1"] = {"KAAA", "NNN", "+vvv.dct fff"};
    scope->ShowRoute("AAL1", false);
    EXPECT_EQ(scope->PrepareFrame().route.size(), 4u);
    scope->ShowRoute("NOPLAN", false);
    EXPECT_EQ(host.errors.back(), "No route for selected aircraft.");
    size_t errors = host.errors.size();
    scope->ShowRoute("", false);
    EXPECT_EQ(host.errors.size(), errors);
}

TEST_F(SectorLoadingTest, ShownItemsToggleByKindAndHideClearsOne) {
    auto scope = MakeScope();
    scope->ShowItems("fff vvv", 7, false);  // any other kind means fixes
    EXPECT_EQ(scope->GetShownItems().fixes, (std::vector<std::string>{"FFF", "VVV"}));
    scope->ShowItems("FFF", 0, false);
    EXPECT_EQ(scope->GetShownItems().fixes, (std::vector<std::string>{"VVV"}));
    scope->ShowItems("V1", 5, false);
    EXPECT_FALSE(scope->GetSectorList(SectorListId::LowAirways).Empty());
    scope->HideItems(5);
    EXPECT_TRUE(scope->GetShownItems().airways.empty());
    scope->HideItems(0);
    EXPECT_TRUE(scope->GetShownItems().fixes.empty());
}

TEST_F(SectorLoadingTest, DiagramsToggleInBothSelections) {
    auto scope = MakeScope();
    scope->ShowDiagrams("KAAA DEP1|NOTHING");
    EXPECT_EQ(scope->GetSelectedSIDs(), (std::vector<std::string>{"KAAA DEP1", "NOTHING"}));
    EXPECT_EQ(scope->GetSelectedSTARs(), (std::vector<std::string>{"KAAA DEP1", "NOTHING"}));
    EXPECT_EQ(scope->GetSectorList(SectorListId::Diagrams).Texts(), (std::vector<std::string>{"KAAA DEP1"}));
    scope->ShowDiagrams("NOTHING");
    EXPECT_EQ(scope->GetSelectedSIDs(), (std::vector<std::string>{"KAAA DEP1"}));
    scope->ClearDiagrams();
    EXPECT_TRUE(scope->GetSelectedSIDs().empty());
    EXPECT_TRUE(scope->GetSectorList(SectorListId::Diagrams).Empty());
}

}  // namespace
