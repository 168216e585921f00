// Whole frames of every radar mode, of the map at the view's edges and of
// the scope's overlays, compared with the frames the drawing made before its
// text went to glyph atlases and its target geometry to vertex arrays: a
// fingerprint of each reference frame, taken from the immediate-mode drawing
// with one glBitmap per glyph. (Called through the fonts' display lists, Mesa
// lost the spaces of some texts once a list of a sector map had used them.) A frame that differs in any pixel fails; set
// TARQ_FRAME_DUMP_DIR to a directory to get each drawn frame as a PPM file.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/geo_helpers.h"
#include "platform/gl_context_resources.h"
#include "platform/gl_font.h"
#include "platform/gl_text_batch.h"
#include "scope/display_scope.h"
#include "scope/scope_gl.h"
#include "scope/sticky_builder.h"
#include "scope/target_batch.h"
#include "scope/target_builder.h"
#include "scope/target_manager.h"
#include "scope_fixture.h"
#include "test_fonts.h"
#include "tests/atc/atc_fakes.h"
#include "tests/scope/fake_target_environment.h"
#include "tests/offscreen_gl.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The fingerprints of the reference frames, by frame name.
const std::map<std::string, uint64_t>& ReferenceFrames() {
    static const std::map<std::string, uint64_t> frames = {
#include "drawn_frames_reference.inc"
    };
    return frames;
}

class DrawnFramesTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        ASSERT_TRUE(m_gl.Ok());
        host.colors = {
            {"ColorRangeRings", Packed(90, 0, 0)},       {"ColorVOR", Packed(0, 255, 0)},
            {"ColorFix", Packed(0, 0, 255)},             {"ColorARTCCBound", Packed(255, 255, 0)},
            {"ColorHighBound", Packed(255, 0, 255)},     {"ColorLowBound", Packed(0, 255, 255)},
            {"ColorRunway", Packed(128, 128, 128)},      {"ColorAirport", Packed(255, 128, 0)},
            {"ColorNDB", Packed(0, 128, 255)},           {"ColorLowAirway", Packed(64, 64, 64)},
            {"ColorHighAirway", Packed(96, 32, 32)},     {"ColorStickyBorder", Packed(200, 100, 50)},
            {"ColorStickyText", Packed(50, 100, 200)},   {"ColorToolLines", Packed(250, 250, 250)},
            {"ColorSID", Packed(128, 0, 255)},           {"ColorSTAR", Packed(255, 0, 128)},
            {"ColorCenterlines", Packed(128, 255, 0)},   {"ColorAnchorLines", Packed(200, 200, 0)},
            {"ColorBackground", Packed(10, 10, 30)},
        };
        host.ints["HistoryCount"] = 5;
        host.ints["CALateralMin"] = 3;
        host.ints["LeaderLength"] = 20;
        host.ints["TagPosition"] = 6;
        host.bools["ShowSepRingsOnCA"] = true;
        host.vfrCodes = {1200};
        // The program's blending, set where its windows make their contexts.
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        // Loaded before drawing, as a display loads its fonts with its context.
        for (int id = 1; id <= 5; ++id) ASSERT_NE(fonts.GetFont(id), nullptr);
    }

    std::unique_ptr<TarqDisplayScope> Scope(int mode, uint32_t mask, int width, int height) {
        TarqDisplaySettings settings;
        settings.Toggles = static_cast<int>(mask);
        settings.Mode = mode;
        auto scope = MakeScope(settings);
        scope->SetViewportSize(width, height);
        scope->GetCamera().SetPosition(0.0f, 0.05f, 2.0f);
        scope->GetCamera().SetPitch(-20.0f);
        return scope;
    }

    // Aircraft in a grid around the sector's centre, each with a few reports
    // flown north, so every mode has history, leaders and data blocks, some
    // of them cut by the view's edges and some overlapping.
    void FillTraffic(int count) {
        for (int i = 0; i < count; ++i) {
            char callsign[16];
            std::snprintf(callsign, sizeof callsign, "TST%03d", i);
            double lon = -74.62 + (i % 16) * 0.083;
            double lat = 39.66 + (i / 16) * 0.071 + (i % 3) * 0.004;
            for (int step = 0; step <= 6; ++step) {
                m_world.aircraft.UpdatePilotPosition(
                    callsign, AtcWorld::Report(lat + step * 0.006, lon + step * 0.002 * (i % 5 - 2),
                                               3000 + 700 * (i % 40), 120 + 10 * (i % 30),
                                               static_cast<uint16_t>(i % 9 == 4 ? 1200 : 2000 + i)));
            }
            if (i % 4 == 1) continue;  // no plan: primary-style data blocks
            TarqFlightPlanRecord plan;
            plan.flightRules = i % 6 == 0 ? 'V' : 'I';
            plan.bareType = i % 3 == 0 ? "B744" : "C172";
            plan.aircraftType = i % 3 == 0 ? "H/B744/L" : "C172/G";
            plan.cruiseAltitude = "24000";
            plan.departure = "KAAA";
            plan.destination = "KBOS";
            m_world.aircraft.OnFlightPlanReceived(callsign, plan);
        }
    }

    // A record for the builders straight, varied by index over the fields
    // the modes branch on.
    TargetSnapshot Variant(int i, PixelPoint at, const TarqDisplayScope& scope) const {
        TargetSnapshot t;
        t.dataBlockColor = static_cast<uint32_t>(Packed(0, 255 - (i % 4) * 40, 60));
        t.positionSymbolColor = static_cast<uint32_t>(Packed(255, 128, 0));
        t.targetSymbolColor = static_cast<uint32_t>(Packed(255, 255, i % 2 ? 0 : 120));
        t.primaryTargetColor = static_cast<uint32_t>(Packed(128, 128, 255));
        t.historyTrailColor = static_cast<uint32_t>(Packed(0, 200, 255));
        t.vectorLineColor = static_cast<uint32_t>(Packed(255, 0, 255));
        char callsign[16];
        std::snprintf(callsign, sizeof callsign, "VAR%02d", i);
        t.callsign = callsign;
        t.squawk = static_cast<uint16_t>(i % 6 == 2 ? 1200 : i % 11 == 5 ? 7700 : 4000 + i);
        t.duplicateCode = i % 10 == 9;
        t.assignedCode = static_cast<uint16_t>(i % 7 == 1 ? 4321 : 0);
        t.transponderMode = i % 7 == 3 ? 'S' : i % 7 == 4 ? 'Y' : 'N';
        const ScopeProjection& p = scope.Projection();
        auto point = [&](PixelPoint px) {
            double perPixel = p.SpanY() / scope.GetViewportSize().y;
            double mx = p.Left() + (px.x + 0.5) * perPixel;
            double cx = p.GetCenter().x;
            return ScopePoint{cx + (mx - cx) / LongitudeScale, p.Bottom() + (px.y + 0.5) * perPixel};
        };
        t.position = point(at);
        for (int h = 1; h <= 5; ++h) t.history.push_back(point(at + PixelPoint{-4 * h, -5 * h}));
        t.altitude = 2000 + 900 * i;
        t.temporaryAltitude = i % 4 == 2 ? 12000 : 0;
        t.previousAltitude = t.altitude + (i % 3 - 1) * 300;
        t.groundSpeed = (i % 10) * 45;
        t.track = (i * 37) % 360;
        t.reportedHeading = t.track;
        t.cruiseAltitude = 24000;
        t.typeCode = i % 3 == 0 ? "B744" : "C172";
        t.equipmentSuffix = "L";
        t.departure = "KAAA";
        t.destination = "KBOS";
        t.scratchpad = i % 5 == 3 ? "SP1" : "";
        t.trackedByMe = i % 3 == 0;
        t.ownerId = t.trackedByMe ? "--" : i % 4 == 1 ? "XY" : "";
        t.ownerSectorText = t.trackedByMe ? "M" : i % 4 == 1 ? "B" : "??";
        t.handoffTargetId = i % 8 == 6 ? "ZZ" : "";
        t.handoffTargetSectorText = i % 8 == 6 ? "Z" : "";
        t.incomingHandoff = i % 8 == 6;
        t.tagPosition = 1 + i % 9;
        t.leaderLength = static_cast<int16_t>(8 + (i * 7) % 30);
        t.voiceType = 1 + i % 4;
        t.blinkPhase = static_cast<uint16_t>(1 + i % 8);
        t.fullDataBlock = i % 2 == 0;
        t.inConflict = i % 5 == 0;
        t.coasting = i % 13 == 7;
        t.vectorLength = 2;
        t.hasAnchor = i % 9 == 4;
        if (t.hasAnchor) {
            t.anchor.callsign = t.callsign;
            t.anchor.pointName = i % 2 ? "VVV" : "";
            t.anchor.heading = 123;
            t.anchor.distance = 12.5;
            t.anchor.timeToGo = "3:20";
        }
        t.isVfr = i % 6 == 2;
        t.isRadioSelected = i % 12 == 5;
        t.blockToggled = i % 6 == 1;
        t.extraFlag = i % 7 == 2;
        t.extraText = "EX";
        t.plotBearing = (i * 29) % 360;
        t.plotExtent = 0.5 + (i % 4) * 0.4;
        t.isHeavy = i % 5 == 1;
        t.weightClass = i % 5 == 1 ? "H" : "M";
        return t;
    }

    // Runs the builder of the mode over varied records: a grid over the
    // view, a dense cluster and a row along the edges.
    void DrawVariants(TarqDisplayScope& scope, TarqTargetManager& manager, int mode) {
        std::vector<PixelPoint> places;
        for (int row = 0; row < 6; ++row)
            for (int column = 0; column < 7; ++column) places.push_back({40 + column * 110, 30 + row * 95});
        for (int k = 0; k < 14; ++k) places.push_back({560 + (k % 5) * 9, 430 + (k / 5) * 7});
        for (int k = 0; k < 8; ++k) places.push_back({k % 2 ? 3 : kWidth - 4, 40 + k * 70});
        for (int k = 0; k < 6; ++k) places.push_back({100 + k * 120, k % 2 ? 2 : kHeight - 3});
        glClearColor(0.04f, 0.04f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, kWidth, kHeight);
        m_gl.UsePixelProjection();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glPointSize(mode == 9 ? 4.0f : 6.0f);
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_BLEND);
        TarqTargetBuilder& builder = manager.GetBuilder();
        for (size_t i = 0; i < places.size(); ++i) {
            TargetSnapshot t = Variant(static_cast<int>(i), places[i], scope);
            builder.Build(t);
        }
        manager.GetBatch().Flush();
        glDisable(GL_BLEND);
        glDisable(GL_POINT_SMOOTH);
        glFinish();
    }

    uint64_t Fingerprint(const std::string& name, int width, int height) {
        glFinish();
        std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : rgb) hash = (hash ^ c) * 1099511628211ull;
        if (const char* dir = std::getenv("TARQ_FRAME_DUMP_DIR")) {
            std::ofstream out(std::string(dir) + "/" + name + ".ppm", std::ios::binary);
            out << "P6\n" << width << " " << height << "\n255\n";
            for (int y = height - 1; y >= 0; --y)
                out.write(reinterpret_cast<const char*>(&rgb[static_cast<size_t>(y) * width * 3]), width * 3);
        }
        return hash;
    }

    void ExpectReference(const std::string& name, int width = kWidth, int height = kHeight) {
        uint64_t hash = Fingerprint(name, width, height);
        auto it = ReferenceFrames().find(name);
        ASSERT_NE(it, ReferenceFrames().end()) << name << " has no reference frame";
        char drawn[20];
        std::snprintf(drawn, sizeof drawn, "0x%016llx", static_cast<unsigned long long>(hash));
        EXPECT_EQ(hash, it->second) << name << " differs from its reference frame: " << drawn;
    }

    OffscreenGl m_gl{kWidth, kHeight};
    GlContextResources m_resources{[this] { return m_gl.MakeCurrent(); }};
    TestFonts fonts;
    AtcWorld m_world;
    FakeTargetEnvironment m_environment{m_world};
    ManualClock m_clock{1000200};
};

constexpr int kModes[] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11};


TEST_F(DrawnFramesTest, TrafficOverTheMapInEveryModeMatchesTheReference) {
    FillTraffic(160);
    for (int mode : kModes) {
        SCOPED_TRACE(mode);
        auto scope = Scope(mode, 0x7FFFFFF, kWidth, kHeight);
        TarqTargetManager targets(*scope, fonts, mode, m_clock);
        targets.SetEnvironment(&m_environment);
        targets.ToggleSepRings();
        scope->SetTargets(&targets);
        scope->GetStickyBuilder()->AddNote(scope->GetCenter(), "NOTE ONE\nSECOND LINE");
        scope->FindPoint("VVV");
        ScopeGl drawer(*scope, fonts, m_resources);
        drawer.Clear();
        drawer.Draw();
        ExpectReference("traffic_mode" + std::to_string(mode));
        scope->SetTargets(nullptr);
    }
}

TEST_F(DrawnFramesTest, EveryBuilderOverVariedRecordsMatchesTheReference) {
    for (int mode : kModes) {
        if (mode == kRadarMode3D) continue;  // drawn in its scene above
        SCOPED_TRACE(mode);
        auto scope = Scope(mode, 0x7FFFFFF, kWidth, kHeight);
        TarqTargetManager targets(*scope, fonts, mode, m_clock);
        targets.ToggleSepRings();
        DrawVariants(*scope, targets, mode);
        ExpectReference("variants_mode" + std::to_string(mode));
    }
}

// Pieces piled over one small square at three depths, in colours that
// repeat, some with alpha, smooth points among them: the batch, which
// draws them grouped and out of order, must leave every pixel as drawing
// them one by one in order does, under the program's blending and none,
// with and without the depth test.
TEST_F(DrawnFramesTest, BatchedPiecesLandAsDrawnOneByOne) {
    struct Piece {
        int kind;  // 0 line, 1 wide line, 2 point, 3 polygon, 4 text, 5 a small shape's lines, 6 a trail's dots
        int width;
        double xy[4][2];
        double z;
        uint8_t rgba[4];
        const char* text;
    };
    static constexpr uint8_t kPalette[][4] = {
        {250, 40, 40, 255}, {40, 250, 40, 255}, {40, 40, 250, 255}, {250, 250, 40, 140}};
    static constexpr double kDepths[] = {0.965, 0.97, 0.975};
    static constexpr const char* kTexts[] = {"AB12", "W", "XYZ 9"};
    uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(n));
    };
    std::vector<Piece> pieces(600);
    for (Piece& p : pieces) {
        p.kind = next(7);
        p.width = 2 + next(2);
        for (auto& corner : p.xy) {
            corner[0] = 20 + next(60) + 0.5 * next(2);
            corner[1] = 20 + next(60) + 0.5 * next(2);
        }
        if (p.kind == 3) {  // convex: a box
            p.xy[1][0] = p.xy[0][0] + 3 + next(9);
            p.xy[1][1] = p.xy[0][1];
            p.xy[2][0] = p.xy[1][0];
            p.xy[2][1] = p.xy[0][1] + 3 + next(9);
            p.xy[3][0] = p.xy[0][0];
            p.xy[3][1] = p.xy[2][1];
        }
        if (p.kind == 5) {  // a triangle's outline, at most 12 pixels across
            for (int i = 1; i < 3; ++i) {
                p.xy[i][0] = p.xy[0][0] + next(13) - 6;
                p.xy[i][1] = p.xy[0][1] + next(13) - 6;
            }
        }
        if (p.kind == 6) {  // three dots a few pixels apart
            for (int i = 1; i < 3; ++i) {
                p.xy[i][0] = p.xy[i - 1][0] + next(5) - 2;
                p.xy[i][1] = p.xy[i - 1][1] + 3 + next(3);
            }
        }
        p.z = kDepths[next(3)];
        const auto& colour = kPalette[next(4)];
        std::copy(std::begin(colour), std::end(colour), p.rgba);
        p.text = kTexts[next(3)];
    }
    const GlBitmapFont& font = *fonts.GetFont(2);

    auto drawOneByOne = [&] {
        for (const Piece& p : pieces) {
            glColor4ubv(p.rgba);
            if (p.kind == 4) {
                GlTextBatch text;
                text.CaptureTransform();
                text.Text(font, p.xy[0][0], p.xy[0][1], p.z, p.rgba, p.text);
                text.Flush();
                continue;
            }
            if (p.kind == 1) glLineWidth(static_cast<float>(p.width));
            glBegin(p.kind == 2 || p.kind == 6 ? GL_POINTS : p.kind == 3 ? GL_POLYGON : GL_LINES);
            if (p.kind == 5) {
                for (int i = 0; i < 3; ++i) {
                    glVertex3d(p.xy[i][0], p.xy[i][1], p.z);
                    glVertex3d(p.xy[(i + 1) % 3][0], p.xy[(i + 1) % 3][1], p.z);
                }
            } else {
                for (int i = 0; i < (p.kind == 2 ? 1 : p.kind == 3 ? 4 : p.kind == 6 ? 3 : 2); ++i)
                    glVertex3d(p.xy[i][0], p.xy[i][1], p.z);
            }
            glEnd();
            glLineWidth(1.0f);
        }
    };
    auto drawBatched = [&] {
        TargetBatch batch;
        for (const Piece& p : pieces) {
            batch.SetColor(p.rgba[0], p.rgba[1], p.rgba[2], p.rgba[3]);
            if (p.kind == 0) batch.Line(p.xy[0][0], p.xy[0][1], p.xy[1][0], p.xy[1][1], p.z);
            if (p.kind == 1) batch.WideLine(p.xy[0][0], p.xy[0][1], p.xy[1][0], p.xy[1][1], p.z, p.width);
            if (p.kind == 2) batch.Point(p.xy[0][0], p.xy[0][1], p.z);
            if (p.kind == 3) batch.Polygon(p.xy, 4, p.z);
            if (p.kind == 6) batch.Points(p.xy, 3, p.z);
            if (p.kind == 4) batch.Text(font, p.xy[0][0], p.xy[0][1], p.z, p.text);
            if (p.kind == 5) {
                TargetBatch::Ends outline[3];
                for (int i = 0; i < 3; ++i)
                    outline[i] = {p.xy[i][0], p.xy[i][1], p.xy[(i + 1) % 3][0], p.xy[(i + 1) % 3][1]};
                batch.Lines(outline, 3, p.z);
            }
        }
        batch.Flush();
    };
    auto frame = [&](auto draw, bool blend, bool depthTest) {
        glClearColor(0.04f, 0.04f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, kWidth, kHeight);
        m_gl.UsePixelProjection();
        if (depthTest) glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glPointSize(4.0f);
        glEnable(GL_POINT_SMOOTH);
        if (blend) glEnable(GL_BLEND);
        draw();
        glDisable(GL_BLEND);
        glDisable(GL_POINT_SMOOTH);
        glDisable(GL_DEPTH_TEST);
        glFinish();
        std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    for (bool blend : {true, false}) {
        for (bool depthTest : {true, false}) {
            SCOPED_TRACE(testing::Message() << "blend " << blend << " depth test " << depthTest);
            const std::vector<unsigned char> expected = frame(drawOneByOne, blend, depthTest);
            const std::vector<unsigned char> drawn = frame(drawBatched, blend, depthTest);
            int differing = 0;
            for (size_t i = 0; i < drawn.size(); i += 4)
                differing += !std::equal(&drawn[i], &drawn[i] + 4, &expected[i]);
            EXPECT_EQ(differing, 0);
        }
    }
}

// Labels and symbols whose start falls just inside or just outside the view
// as the map pans by fractions of a pixel; the debug overlay on top.
TEST_F(DrawnFramesTest, MapAtTheViewsEdgesMatchesTheReference) {
    constexpr int kSmall = 160;
    host.debugFlags = 1;
    for (int mode : {0, kRadarMode3D}) {
        for (int step = 0; step < 6; ++step) {
            SCOPED_TRACE(step);
            auto scope = Scope(mode, 0x7FFFFFF, kSmall, kSmall);
            ScopePoint centre = scope->GetCenter();
            scope->SetCenter({centre.x + 0.0917 * step - 0.23, centre.y + 0.0611 * step - 0.15});
            scope->GetCamera().SetHeading(static_cast<float>(step * 23 - 60));
            ScopeGl drawer(*scope, fonts, m_resources);
            glViewport(0, 0, kWidth, kHeight);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            drawer.Draw();
            ExpectReference("edges_mode" + std::to_string(mode) + "_" + std::to_string(step), kSmall, kSmall);
        }
    }
}

}  // namespace
