// The sector lists as data: gating by show bits and shown items, rings,
// dashes, airway and diagram labels, colours, triangulation.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "foundation/geo_helpers.h"
#include "scope/sector_lists.h"
#include "scope_fixture.h"

namespace {

class SectorListsTest : public ::testing::Test {
protected:
    SectorListsTest() {
        source.data = &data;
        source.shown = &shown;
        source.ringSpacing = 5;
        source.centerlineLength = 10;
        source.color = [](const std::string& key) { return key == "ColorSID" ? 0x0000FF : 0x00FF00; };
    }
    static SectorNavaid Navaid(const char* name, double x, double y) { return {name, "0", {x, y}}; }
    std::vector<std::string> TextsOf(const DrawList& list) { return list.Texts(); }

    TarqSectorData data;
    ShownItems shown;
    SectorListSource source;
    LongitudeScaleGuard guard;
};

TEST_F(SectorListsTest, FixesFollowTheBitOrTheShownList) {
    data.fixes.insert({"AAA", Navaid("AAA", 1, 1)});
    data.fixes.insert({"BBB", Navaid("BBB", 2, 2)});
    EXPECT_TRUE(BuildSectorList(SectorListId::Fixes, source).Empty());
    EXPECT_FALSE(IsSectorListShown(SectorListId::Fixes, 0, shown));

    shown.fixes = {"BBB"};
    DrawList one = BuildSectorList(SectorListId::Fixes, source);
    EXPECT_TRUE(IsSectorListShown(SectorListId::Fixes, 0, shown));
    ASSERT_EQ(one.Texts().size(), 1u);
    EXPECT_EQ(one.Vertices()[0].x, 2.0);

    source.showMask = ShowBit::Fixes | ShowBit::FixLabels;
    DrawList all = BuildSectorList(SectorListId::Fixes, source);
    EXPECT_EQ(all.Texts(), (std::vector<std::string>{"\xC7", "AAA", "\xC7", "BBB"}));
}

TEST_F(SectorListsTest, LabelsCarryFrequenciesOnlyWhereTheClassHasThem) {
    data.vors.insert({"VVV", {"VVV", "115.000", {0, 0}}});
    data.airports["KAAA"] = {"KAAA", "118.100", {1, 1}, 'C'};
    source.showMask = ShowBit::Vors | ShowBit::VorLabels | ShowBit::VorFreqs | ShowBit::Airports;
    EXPECT_EQ(BuildSectorList(SectorListId::Vors, source).Texts(),
              (std::vector<std::string>{"\xC5", "VVV (115.000)"}));
    // Airport frequencies without the label bit show nothing.
    source.showMask |= ShowBit::AirportFreqs;
    EXPECT_EQ(BuildSectorList(SectorListId::Airports, source).Texts(), (std::vector<std::string>{"\xC4"}));
}

TEST_F(SectorListsTest, RangeRingsAreFiftyCirclesOfTheSpacing) {
    LongitudeScale = 0.5;
    source.ringCenter = {1.0, 2.0};
    DrawList rings = BuildSectorList(SectorListId::RangeRings, source);
    ASSERT_EQ(rings.Commands().size(), 50u);
    const DrawCommand& last = rings.Commands().back();
    EXPECT_EQ(last.op, DrawOp::LineLoop);
    EXPECT_EQ(last.count, 50u);
    // Ring 50 of 5 NM: 250 NM, x stretched by 1 / scale so it stays round on screen.
    const DrawVertex& east = rings.Vertices()[last.first];
    EXPECT_NEAR(east.x, 1.0 + 250.0 / 60.0 / 0.5, 1e-9);
    const DrawVertex& north = rings.Vertices()[last.first + 12];
    double a = 12 * 6.28318530717958 / 50;
    EXPECT_NEAR(north.y, 2.0 + std::sin(a) * 250.0 / 60.0, 1e-9);
    EXPECT_DOUBLE_EQ(east.z, 0.05);
}

TEST_F(SectorListsTest, DashedLineGivesDashesStartingOneDashOut) {
    LongitudeScale = 1.0;
    DrawList list;
    AddDashedLine(list, 0.0, 0.0, 360.0, 10.0, 1.0, 0.4);
    ASSERT_EQ(list.Vertices().size(), 10u);
    EXPECT_NEAR(list.Vertices()[0].y, 1.0 / 60.0, 1e-12);
    EXPECT_NEAR(list.Vertices()[1].y, 2.0 / 60.0, 1e-12);
    EXPECT_NEAR(list.Vertices()[9].y, 10.0 / 60.0, 1e-12);
}

TEST_F(SectorListsTest, DashedLineEndsWhateverTheDash) {
    LongitudeScale = 1.0;
    struct Case {
        const char* name;
        double dash;
        double length;
        size_t vertices;
    } cases[] = {
        {"short dash", 0.25, 10.0, 40},
        {"zero dash", 0.0, 10.0, 0},
        {"negative", -1.0, 10.0, 0},
        {"nan", NAN, 10.0, 0},
        {"fine dashes still dashed", 0.0078125, 10.0, 1280},
        {"tiny dash: one solid line", 1e-9, 10.0, 2},
        {"endless length", 1.0, INFINITY, 0},
        {"length past the dash bound", 1.0, 1e12, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawList list;
        AddDashedLine(list, 0, 0, 90, c.length, c.dash, 0.4);
        ASSERT_EQ(list.Vertices().size(), c.vertices);
        if (c.vertices == 2) {
            // From the threshold out to the full length.
            EXPECT_DOUBLE_EQ(list.Vertices()[0].x, 0.0);
            EXPECT_NEAR(list.Vertices()[1].x, c.length / 60.0, c.length * 1e-12);
            EXPECT_NEAR(list.Vertices()[1].y, 0.0, c.length * 1e-12);
        }
    }
}

TEST_F(SectorListsTest, CenterlinesLeaveTheThresholdAwayFromTheRunway) {
    LongitudeScale = 1.0;
    data.runways.push_back({"36", "18", 360, 180, {0, 0}, {0, 0.05}});
    shown.centerlines = {"36"};
    DrawList list = BuildSectorList(SectorListId::Centerlines, source);
    ASSERT_EQ(list.Vertices().size(), 10u);
    // Runway 36 is landed on heading north: its centreline runs south.
    EXPECT_LT(list.Vertices()[0].y, 0.0);
}

TEST_F(SectorListsTest, AirwayLabelsKeepOnePerPositionTheLaterName) {
    data.lowAirways["V1"] = {{0, 0, 1, 0, 0}};
    data.lowAirways["V2"] = {{0, 0, 1, 0, 0}, {0, 0, 0.01, 0.01, 0}};
    source.showMask = ShowBit::LowAirways | ShowBit::LowAirwayLabels;
    DrawList list = BuildSectorList(SectorListId::LowAirways, source);
    EXPECT_EQ(list.LineVertexCount(), 6u);
    ASSERT_EQ(list.Texts(), (std::vector<std::string>{"V2", "V2"}));
    // The long segment's label is raised; the short one's stays at the midpoint.
    const DrawVertex* labels[2] = {&list.Vertices()[6], &list.Vertices()[7]};
    std::set<std::pair<double, double>> at;
    for (const DrawVertex* v : labels) at.insert({v->x, v->y});
    EXPECT_TRUE(at.count({0.5, 0.01}));
    EXPECT_TRUE(at.count({0.005, 0.005}));
    // Labels are the airway colour brightened by 1.6, capped.
    EXPECT_EQ(labels[0]->rgb[1], 255);
    EXPECT_DOUBLE_EQ(labels[0]->z, 0.15);
}

TEST_F(SectorListsTest, OnlyShownAirwaysWithTheClassBitClear) {
    data.highAirways["J1"] = {{0, 0, 1, 1, 0}};
    data.highAirways["J2"] = {{0, 0, 2, 2, 0}};
    shown.airways = {"J2"};
    EXPECT_TRUE(IsSectorListShown(SectorListId::HighAirways, 0, shown));
    DrawList list = BuildSectorList(SectorListId::HighAirways, source);
    ASSERT_EQ(list.LineVertexCount(), 2u);
    EXPECT_EQ(list.Vertices()[1].x, 2.0);
}

TEST_F(SectorListsTest, DiagramsColourUncolouredSegmentsByClassAndLabelAboveTheStart) {
    data.sids["A"] = {{0, 0, 1, 0, -1}, {1, 0, 2, 0, 0xFF0000}, {2, 0, 3, 0, -1}};
    data.sids["B"] = {{0, 0, 0, 1, -1}};
    data.stars["C"] = {{5, 5, 6, 6, -1}};
    shown.sids = {"A", "B", "NOPE"};
    DrawList list = BuildSectorList(SectorListId::Diagrams, source);
    const auto& v = list.Vertices();
    ASSERT_GE(v.size(), 8u);
    EXPECT_EQ(v[0].rgb[0], 255);  // ColorSID, red in the low byte
    EXPECT_EQ(v[2].rgb[0], 0);
    EXPECT_EQ(v[2].rgb[2], 255);  // the segment's own 0xFF0000: blue
    EXPECT_EQ(v[4].rgb[0], 255);
    EXPECT_EQ(v.back().rgb[0], 255);
    // Both SIDs start at (0, 0): one label, the later one's.
    ASSERT_EQ(list.Texts(), (std::vector<std::string>{"B"}));
    EXPECT_DOUBLE_EQ(v.back().y, 0.01);
    // A STAR not selected draws nothing.
    EXPECT_EQ(list.LineVertexCount(), 8u);
}

TEST_F(SectorListsTest, GeographyPaintsLastLineFirstInItsOwnColour) {
    data.geo = {{0, 0, 1, 0, 0x0000FF}, {0, 1, 1, 1, 0x00FF00}};
    DrawList list = BuildSectorList(SectorListId::Geography, source);
    ASSERT_EQ(list.Vertices().size(), 4u);
    EXPECT_EQ(list.Vertices()[0].y, 1.0);
    EXPECT_EQ(list.Vertices()[0].rgb[1], 255);
    EXPECT_EQ(list.Vertices()[2].rgb[0], 255);
    EXPECT_EQ(list.Commands().size(), 1u);
}

TEST_F(SectorListsTest, LowBoundariesAreStippled) {
    data.artccLow["L"] = {{0, 0, 1, 1, 0}};
    DrawList list = BuildSectorList(SectorListId::LowBoundaries, source);
    ASSERT_EQ(list.Commands().size(), 3u);
    EXPECT_EQ(list.Commands()[0].op, DrawOp::Stipple);
    EXPECT_TRUE(list.Commands()[0].flag);
    EXPECT_FALSE(list.Commands()[2].flag);
}

TEST_F(SectorListsTest, TriangulationCoversConcaveAndCrossedOutlines) {
    auto area = [](const std::vector<ScopePoint>& p, const std::vector<uint32_t>& t) {
        double sum = 0;
        for (size_t i = 0; i + 2 < t.size(); i += 3) {
            const ScopePoint &a = p[t[i]], &b = p[t[i + 1]], &c = p[t[i + 2]];
            sum += std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2;
        }
        return sum;
    };
    // An L shape of area 3, clockwise.
    std::vector<ScopePoint> l = {{0, 0}, {0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}};
    std::vector<uint32_t> t = TriangulatePolygon(l);
    EXPECT_EQ(t.size(), 12u);
    EXPECT_NEAR(area(l, t), 3.0, 1e-12);
    // A bow tie crosses itself: it still ends with n - 2 triangles.
    std::vector<ScopePoint> bow = {{0, 0}, {1, 1}, {1, 0}, {0, 1}};
    EXPECT_EQ(TriangulatePolygon(bow).size(), 6u);
    EXPECT_TRUE(TriangulatePolygon({{0, 0}, {1, 1}}).empty());
}

TEST_F(SectorListsTest, ScaleColorCapsAndTruncates) {
    uint8_t rgb[3] = {100, 200, 3};
    ScaleColor(rgb, 1.6);
    EXPECT_EQ(rgb[0], 160);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 4);
}

}  // namespace
