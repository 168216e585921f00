// The real program under X with the sample sector on the main display:
// the map drawn where the scope's projection puts it, then zoomed with the
// wheel and the F11 key, panned with the right button, switched to the 3-D
// view from the menu and turned there, driven by mouse and key events.
// Screenshots of each stage are kept in the build tree (scope_screenshots/).
#include <wx/listbox.h>
#include <wx/uiaction.h>
#include <wx/vlbox.h>
#include <wx/wx.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "app/display_button_bar.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/tarq_program.h"
#include "foundation/geo_helpers.h"
#include "foundation/profile.h"
#include "program_driver.h"
#include "scope/display_scope.h"

namespace {

// 0xBBGGRR as the profile stores colours.
constexpr int kBackground = 0x000000;
constexpr int kArtcc = 0x00FFFF;    // yellow
constexpr int kRings = 0xFF00FF;    // magenta
constexpr int kGeo = 0x0000FF;      // red, for the geography lines without a colour of their own
constexpr size_t kRulerButton = 7;  // in the bar's order of fixed buttons

struct Results {
    std::string failure;
    std::vector<std::string> boxes;
    bool sectorLoaded = false;
    double longitudeScale = 0.0;
    // Each stage: whether the ARTCC line and the first range ring show where
    // the projection puts them.
    bool artccAtStart = false;
    bool ringAtStart = false;
    double zoomBefore = 0.0;
    double zoomAfter = 0.0;
    bool artccAfterZoom = false;
    double zoomAfterKey = 0.0;  // F11, a real key press
    bool artccAfterKeyZoom = false;
    ScopePoint centreBefore;
    ScopePoint centreAfterPan;
    bool artccAfterPan = false;
    float headingBefore = 0.0f;
    float headingAfterTurn = 0.0f;
    int threeDChanged = 0;      // pixels that differ between the 2-D and the 3-D picture
    int threeDArtccPixels = 0;  // the map laid flat under the 3-D camera
    bool rulerStarted = false;
    int rulerHeading = 0;
    double rulerNm = 0.0;
    double rulerNmExpected = 0.0;
    int rulerButtonWidth = 0;
    int mode = 0;
    int sidRows = 0;
    std::vector<std::string> selectedSids;
    bool diagramsAfterReload = true;
    int tapeBelowBar = 0;
    // The oceanic tracks dialog: its rows before and after tracks arrive,
    // what Eastbound selects, and the track on the map.
    size_t oceanicRowsEmpty = 0;
    size_t oceanicRowsLoaded = 0;
    std::set<std::string> shownTracks;
    bool trackOnMap = false;
};

Results g_results;

void Keep(const ScreenGrab& grab, const std::string& name) {
    SaveScreenshot(grab, std::string(TARQ_SCREENSHOT_DIR) + "/" + name + ".png");
}

// Whether a pixel within 2 of the window pixel (y down) has the colour.
bool ColourNear(const ScreenGrab& grab, PixelPoint at, unsigned long colour) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (grab.At(at.x + dx, at.y + dy) == colour) return true;
    return false;
}

// Chooses a command from the display's menu bar as a click on the item would.
bool ChooseMenu(WxDisplayWindow& display, CommandId id) {
    auto* frame = dynamic_cast<wxFrame*>(static_cast<wxWindow*>(display.GetWindow()));
    return frame && frame->ProcessCommand(ToToolkitId(id));
}

void SendMouse(wxWindow* canvas, wxEventType type, int x, int y, bool left, bool right, int wheel = 0) {
    wxMouseEvent event(type);
    event.m_x = x;
    event.m_y = y;
    event.m_leftDown = left;
    event.m_rightDown = right;
    event.m_wheelRotation = wheel;
    event.m_wheelDelta = 120;
    event.SetEventObject(canvas);
    canvas->GetEventHandler()->ProcessEvent(event);
}

// The ARTCC boundary of the sample sector runs along N39.40 from W072.30 to
// W074.45; this is a point on it below the sector centre.
ScopePoint ArtccPoint(const TarqDisplayScope& scope) {
    ScopePoint p{-73.75, 39.0 + 40.0 / 60.0};
    scope.AddOffset(p);
    return p;
}

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 60, &m_boxes) {}
    int OnExit() override {
        g_results.boxes = m_boxes.shown;
        return ProgramDriver::OnExit();
    }

private:
    void Step() override {
        WxDisplayWindow* main = MainDisplay();
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
            case 1: {
                if (!main || m_waited < 10) return;
                TarqDisplayScope* scope = main->GetScope();
                if (!scope) return Fail("the main display has no scope");
                g_results.sectorLoaded = !scope->GetSectorFileName().empty();
                g_results.longitudeScale = LongitudeScale;
                ScreenGrab grab = GrabGlArea(*main);
                Keep(grab, "1_sector");
                g_results.artccAtStart = ColourNear(grab, scope->ProjectToWindow(ArtccPoint(*scope)), kArtcc);
                ScopePoint ring = scope->GetRangeRingCenter();
                ring.y += 5.0 / 60.0;  // the first ring, 5 NM north
                g_results.ringAtStart = ColourNear(grab, scope->ProjectToWindow(ring), kRings);
                g_results.zoomBefore = scope->GetZoom();
                wxWindow* canvas = CanvasOf(main);
                // Two notches of the wheel towards the user: zoom in.
                SendMouse(canvas, wxEVT_MOUSEWHEEL, 300, 200, false, false, 120);
                SendMouse(canvas, wxEVT_MOUSEWHEEL, 300, 200, false, false, 120);
                Next();
                return;
            }
            case 2: {
                if (m_waited < 3) return;
                TarqDisplayScope* scope = main->GetScope();
                g_results.zoomAfter = scope->GetZoom();
                ScreenGrab grab = GrabGlArea(*main);
                Keep(grab, "2_zoomed");
                g_results.artccAfterZoom =
                    ColourNear(grab, scope->ProjectToWindow(ArtccPoint(*scope)), kArtcc);
                // F11 through the X server: a click gives the display the focus first.
                wxWindow* canvas = CanvasOf(main);
                wxUIActionSimulator sim;
                sim.MouseMove(canvas->GetScreenPosition() + wxPoint(300, 200));
                sim.MouseClick();
                sim.Char(WXK_F11);
                Next();
                return;
            }
            case 3: {
                TarqDisplayScope* scope = main->GetScope();
                if (scope->GetZoom() == g_results.zoomAfter && m_waited < 30) return;
                if (m_waited < 3) return;
                g_results.zoomAfterKey = scope->GetZoom();
                ScreenGrab grab = GrabGlArea(*main);
                Keep(grab, "2b_key_zoomed");
                g_results.artccAfterKeyZoom =
                    ColourNear(grab, scope->ProjectToWindow(ArtccPoint(*scope)), kArtcc);
                // A real double-click starts the ruler; held, it is dragged 100 px
                // north.
                wxWindow* canvas = CanvasOf(main);
                wxUIActionSimulator sim;
                sim.MouseMove(canvas->GetScreenPosition() + wxPoint(400, 350));
                sim.MouseDown();
                sim.MouseUp();
                sim.MouseDown();
                Next();
                return;
            }
            case 4: {
                TarqDisplayScope* scope = main->GetScope();
                if (!scope->IsRulerActive() && m_waited < 30) return;
                g_results.rulerStarted = scope->IsRulerActive();
                wxWindow* canvas = CanvasOf(main);
                wxUIActionSimulator sim;
                sim.MouseMove(canvas->GetScreenPosition() + wxPoint(400, 250));
                Next();
                return;
            }
            case 5: {
                // The motion has arrived once a frame has measured it; one
                // more frame measures where the pointer came to rest.
                TarqDisplayScope* scope = main->GetScope();
                int heading = 0;
                double distance = 0.0;
                scope->GetRulerData(heading, distance);
                if ((distance == 0.0 && m_waited < 30) || m_waited < 5) return;
                main->Redraw(false, 0);
                scope->GetRulerData(heading, distance);
                g_results.rulerHeading = heading;
                g_results.rulerNm = distance;
                // From the pixel of the double-click to the pixel the pointer came to.
                const ScopePoint from = scope->Projection().WindowToPoint(400, 350);
                const ScopePoint to = scope->Projection().WindowToPoint(400, 250);
                g_results.rulerNmExpected = ScaledDistance(from.x, from.y, to.x, to.y, LongitudeScale) * 60.0;
                wxUIActionSimulator sim;
                sim.MouseUp();
                main->Redraw(false, 0);
                TarqDisplayButtonBar* bar = main->GetButtonBar();
                g_results.rulerButtonWidth = bar ? bar->GetFixedWidths().at(kRulerButton) : 0;
                Keep(GrabGlArea(*main), "2c_ruler");
                g_results.centreBefore = scope->GetCenter();
                wxWindow* canvas = CanvasOf(main);
                // Drag the map 80 px to the right and 60 px up with the right button.
                SendMouse(canvas, wxEVT_RIGHT_DOWN, 300, 300, false, true);
                SendMouse(canvas, wxEVT_MOTION, 340, 270, false, true);
                SendMouse(canvas, wxEVT_MOTION, 380, 240, false, true);
                SendMouse(canvas, wxEVT_RIGHT_UP, 380, 240, false, false);
                Next();
                return;
            }
            case 6: {
                if (m_waited < 3) return;
                TarqDisplayScope* scope = main->GetScope();
                g_results.centreAfterPan = scope->GetCenter();
                ScreenGrab grab = GrabGlArea(*main);
                Keep(grab, "3_panned");
                g_results.artccAfterPan =
                    ColourNear(grab, scope->ProjectToWindow(ArtccPoint(*scope)), kArtcc);
                m_twoD = grab;
                // View > Diagrams...: pick the first SID in the dialog's list.
                if (!ChooseMenu(*main, CommandId::Diagrams)) return Fail("no Diagrams item");
                auto* sids = dynamic_cast<wxListBox*>(wxWindow::FindWindowById(1110));
                if (!sids) return Fail("no diagrams dialog");
                g_results.sidRows = static_cast<int>(sids->GetCount());
                if (sids->GetCount() > 0) {
                    sids->SetSelection(0);
                    wxCommandEvent select(wxEVT_LISTBOX, 1110);
                    select.SetEventObject(sids);
                    sids->GetEventHandler()->ProcessEvent(select);
                }
                g_results.selectedSids = scope->GetSelectedSIDs();
                // ".reloadsector" takes the dialog filled from the old parse away.
                main->RunCommand(".reloadsector");
                ShowOceanicTrack(*main);
                if (!ChooseMenu(*main, CommandId::Mode3D)) return Fail("no 3D item");
                Next();
                return;
            }
            case 7: {
                if (m_waited < 3) return;
                g_results.diagramsAfterReload = wxWindow::FindWindowById(1110) != nullptr;
                TarqDisplayScope* scope = main->GetScope();
                g_results.mode = scope->GetRadarMode();
                g_results.headingBefore = scope->GetCamera().GetHeading();
                wxWindow* canvas = CanvasOf(main);
                SendMouse(canvas, wxEVT_RIGHT_DOWN, 300, 300, false, true);
                SendMouse(canvas, wxEVT_MOTION, 340, 300, false, true);
                SendMouse(canvas, wxEVT_RIGHT_UP, 340, 300, false, false);
                g_results.headingAfterTurn = scope->GetCamera().GetHeading();
                Next();
                return;
            }
            case 8: {
                if (m_waited < 3) return;
                ScreenGrab grab = GrabGlArea(*main);
                Keep(grab, "4_3d_turned");
                int differ = 0;
                for (size_t i = 0; i < grab.pixels.size() && i < m_twoD.pixels.size(); ++i)
                    differ += grab.pixels[i] != m_twoD.pixels[i];
                g_results.threeDChanged = differ;
                for (unsigned long pixel : grab.pixels) g_results.threeDArtccPixels += pixel == kArtcc;
                // The heading tape's white ticks and labels in the band just
                // below the button bar (4 + 43 pixels high), none hidden under it.
                for (int y = TarqDisplayButtonBar::kHeight + 2 * TarqDisplayButtonBar::kMargin;
                     y < TarqDisplayButtonBar::kHeight + 40; ++y)
                    for (int x = 0; x < grab.width; ++x) g_results.tapeBelowBar += grab.At(x, y) == 0xFFFFFF;
                // File > Open Session Profile...: back to the profile dialog.
                if (!ChooseMenu(*main, CommandId::OpenSessionProfile))
                    return Fail("no Open Session Profile item");
                Next();
                return;
            }
            case 9:
                if (!BackAtProfileDialog()) return;
                ExitMainLoop();
                return;
        }
    }

    // View > Oceanic Tracks...: the empty list, then tracks read as a
    // download would, Eastbound, and the track drawn across the ARTCC line.
    void ShowOceanicTrack(WxDisplayWindow& main) {
        if (!ChooseMenu(main, CommandId::OceanicTracks)) return Fail("no Oceanic Tracks item");
        auto* list = dynamic_cast<wxVListBox*>(wxWindow::FindWindowById(1204));
        if (!list) return Fail("no oceanic tracks dialog");
        g_results.oceanicRowsEmpty = list->GetItemCount();
        const std::string path = std::filesystem::temp_directory_path() / "tarq_scope_tracks.xml";
        std::ofstream(path)
            << "<tracks><track id='A' type='NAT' tmi='321'><waypoints>"
               "<waypoint id='ONE' lon='-74.2' lat='39.5'/><waypoint id='TWO' lon='-73.3' lat='39.9'/>"
               "</waypoints><levels><level direction='EAST' fl='350'/></levels></track>"
               "<track id='B' type='NAT' tmi='321'><waypoints><waypoint id='X' lon='-60' lat='50'/>"
               "</waypoints><levels><level direction='WEST' fl='320'/></levels></track></tracks>";
        int count = 0;
        g_oceanicTracksDB->ParseXml(path, false, count);
        std::filesystem::remove(path);
        g_displayManager->RefreshAllDisplays();
        g_results.oceanicRowsLoaded = list->GetItemCount();
        wxCommandEvent eastbound(wxEVT_BUTTON, 6);
        list->GetParent()->GetEventHandler()->ProcessEvent(eastbound);
        TarqDisplayScope* scope = main.GetScope();
        g_results.shownTracks = scope->GetShownOceanicTracks();
        list->GetParent()->Close();
        main.Redraw(false, 0);
        ScreenGrab grab = GrabGlArea(main);
        Keep(grab, "3b_oceanic_track");
        ScopePoint middle{-73.75, 39.7};
        scope->AddOffset(middle);
        const unsigned long colour =
            g_profile->GetColor(main.GetColorProfileName(), "ColorOceanicTracksEast");
        g_results.trackOnMap = ColourNear(grab, scope->ProjectToWindow(middle), colour);
    }

    AnswerNo m_boxes;
    ScreenGrab m_twoD;
};

TEST(ScopeProgram, SampleSectorZoomPanAndThreeD) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    {
        ProgramDataDir dir("scope");
        std::filesystem::copy_file(TARQ_SAMPLE_SECTOR, dir.Path() / "sample.sct2");
        // The sample's centre: N040.38.23 W073.46.44; rings every 5 NM; ARTCC,
        // geography and range rings shown (0x400 | 0x2 | 0x4), and the button bar (0x4000).
        dir.Write("Tarq.ini",
                  "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n"
                  "DisplayWidth1=900\nDisplayHeight1=700\nDisplaySectorFile1=sample.sct2\n"
                  "DisplayCenterLon1=-73.778889\nDisplayCenterLat1=40.639722\nDisplayZoom1=0.5\n"
                  "DisplayRingLon1=-73.778889\nDisplayRingLat1=40.639722\n"
                  "DisplayToggles1=17414\nDisplayCameraAlt1=20000\nRingSpacing=5\nDispBtnRuler=1\n[:CP:"
                  "Default]\nColorBackground=" +
                      std::to_string(kBackground) + "\nColorARTCCBound=" + std::to_string(kArtcc) +
                      "\nColorRangeRings=" + std::to_string(kRings) + "\n");
        RunDriver(new DriverApp);
    }
    EXPECT_EQ(g_results.failure, "");
    EXPECT_TRUE(g_results.sectorLoaded);
    EXPECT_NEAR(g_results.longitudeScale, 45.6 / 60.0, 1e-9);
    EXPECT_TRUE(g_results.artccAtStart) << "the ARTCC line where the projection puts it";
    EXPECT_TRUE(g_results.ringAtStart) << "the first range ring 5 NM out";
    EXPECT_LT(g_results.zoomAfter, g_results.zoomBefore);
    EXPECT_TRUE(g_results.artccAfterZoom);
    EXPECT_NEAR(g_results.zoomAfterKey, g_results.zoomAfter * 0.9, 1e-12) << "F11 zooms in one step";
    EXPECT_TRUE(g_results.artccAfterKeyZoom);
    EXPECT_LT(g_results.centreAfterPan.x, g_results.centreBefore.x) << "dragged right: the view moves west";
    EXPECT_LT(g_results.centreAfterPan.y, g_results.centreBefore.y) << "dragged up: the view moves south";
    EXPECT_TRUE(g_results.artccAfterPan);
    EXPECT_EQ(g_results.sidRows, 3) << "the sample's SIDs in the diagrams dialog";
    EXPECT_EQ(g_results.selectedSids.size(), 1u);
    EXPECT_FALSE(g_results.diagramsAfterReload) << ".reloadsector closes the diagrams dialog";
    EXPECT_GT(g_results.tapeBelowBar, 40) << "the 3-D heading tape below the button bar";
    EXPECT_EQ(g_results.oceanicRowsEmpty, 1u) << "the no-data row";
    EXPECT_EQ(g_results.oceanicRowsLoaded, 2u);
    EXPECT_EQ(g_results.shownTracks, (std::set<std::string>{"A"}));
    EXPECT_TRUE(g_results.trackOnMap);
    EXPECT_EQ(g_results.mode, kRadarMode3D);
    EXPECT_NE(g_results.headingAfterTurn, g_results.headingBefore);
    EXPECT_GT(g_results.threeDChanged, 1000) << "the 3-D view draws another picture";
    EXPECT_GT(g_results.threeDArtccPixels, 0) << "with the map under it";
    EXPECT_TRUE(g_results.rulerStarted) << "a left double-click starts the ruler";
    EXPECT_NEAR(g_results.rulerNm, g_results.rulerNmExpected, 0.5) << "100 px up the scope";
    EXPECT_GT(g_results.rulerHeading, 0);
    EXPECT_GT(g_results.rulerButtonWidth, 0) << "the Ruler Data button shows";
    // Only the question whether to save the changed view on the way out.
    for (const std::string& box : g_results.boxes) EXPECT_EQ(box.rfind("Save Profile|", 0), 0u) << box;
}

}  // namespace
