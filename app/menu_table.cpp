// Tested by tests/app/menu_table_test.cpp.
#include "app/menu_table.h"

#include <unordered_map>

#include "scope/sector_lists.h"

namespace {

using C = CommandId;
using T = ToolWindowKind;
constexpr int B = kDisplayMenus;
constexpr int M = kMainMenu;
constexpr int S = kSecondaryMenu;
constexpr int P = kProfileMenu;
constexpr int Alt = kAccelAlt;
constexpr int Ctrl = kAccelCtrl;
constexpr int Shift = kAccelShift;
// Virtual-key codes.
constexpr int kF1 = 0x70;
constexpr int kInsert = 0x2D;
constexpr int kSpace = 0x20;
constexpr int kPad0 = 0x60;
constexpr int F(int n) { return kF1 + n - 1; }

constexpr const char* kFile = "&File";
constexpr const char* kSettings = "&Settings";
constexpr const char* kView = "&View";
constexpr const char* kTools = "&Tools";
constexpr const char* kHelp = "&Help";
constexpr const char* kModes = "&Radar Mode";

// The maker's web site; the Help pages lie under it.
constexpr const char* kWebSite = "https://www.fenwray.example/Tarq/";

}  // namespace

// One row a command, kept on one line each so a command reads whole.
// clang-format off
const std::vector<CommandRow>& CommandTable() {
    static const std::vector<CommandRow> rows = {
        {.id = C::NewWindow, .menu = kFile, .label = "&New Window", .places = B},
        {.id = C::OpenSector, .menu = kFile, .label = "Open &Sector...", .places = B},
        {.id = C::Connect, .menu = kFile, .label = "&Connect...", .places = M, .separatorBefore = true},
        {.id = C::Disconnect, .menu = kFile, .label = "&Disconnect", .places = M},
        {.id = C::StartMpSession, .menu = kFile, .label = "Start &MP Session", .places = M},
        {.id = C::OpenSessionProfile, .menu = kFile, .label = "Open Session &Profile...", .places = M, .separatorBefore = true},
        {.id = C::SaveSessionProfile, .menu = kFile, .label = "Sa&ve Session Profile", .places = M},
        {.id = C::SaveSessionProfileAs, .menu = kFile, .label = "Save Session Profile &As...", .places = M},
        {.id = C::Exit, .menu = kFile, .label = "E&xit", .places = M, .separatorBefore = true},
        {.id = C::CloseWindow, .menu = kFile, .label = "&Close Window", .places = S, .separatorBefore = true},
        // The session-profile dialog's File menu.
        {.id = C::LoadSelected, .menu = kFile, .label = "&Load Selected", .places = P},
        {.id = C::DeleteSelected, .menu = kFile, .label = "&Delete Selected", .places = P},
        {.id = C::ImportSessionProfiles, .menu = kFile, .label = "&Import Session Profiles...", .places = P, .separatorBefore = true},
        {.id = C::MergeFromFile, .menu = kFile, .submenu = "&Merge Session Profiles", .label = "Merge From &File...", .places = P},
        {.id = C::MergeExisting, .menu = kFile, .submenu = "&Merge Session Profiles", .label = "Merge &Existing...", .places = P},
        {.id = C::ExportSessionProfiles, .menu = kFile, .label = "&Export Session Profiles...", .places = P},
        {.id = C::ImportColorProfiles, .menu = kFile, .label = "Import &Color Profiles...", .places = P},
        {.id = C::ExportColorProfiles, .menu = kFile, .label = "Export C&olor Profiles...", .places = P},
        {.id = C::ProfileExit, .menu = kFile, .label = "E&xit", .places = P, .separatorBefore = true},

        {.id = C::ModeSimple, .menu = kSettings, .submenu = kModes, .label = "&Simple", .places = B, .checkable = true, .radarMode = 1},
        {.id = C::ModeGround, .menu = kSettings, .submenu = kModes, .label = "&Ground", .places = B, .checkable = true, .radarMode = 7},
        {.id = C::ModeTower, .menu = kSettings, .submenu = kModes, .label = "&Tower", .places = B, .checkable = true, .radarMode = 2},
        {.id = C::ModeArts, .menu = kSettings, .submenu = kModes, .label = "&ARTS", .places = B, .checkable = true, .radarMode = 3},
        {.id = C::ModeStars, .menu = kSettings, .submenu = kModes, .label = "STA&RS", .places = B, .checkable = true, .radarMode = 11},
        {.id = C::ModeDsr, .menu = kSettings, .submenu = kModes, .label = "&DSR", .places = B, .checkable = true, .radarMode = 4},
        {.id = C::ModeTarq, .menu = kSettings, .submenu = kModes, .label = "Tar&q", .places = B, .checkable = true, .radarMode = 5},
        {.id = C::ModeParkAir, .menu = kSettings, .submenu = kModes, .label = "&Park Air", .places = B, .checkable = true, .radarMode = 9},
        {.id = C::ModeTaaats, .menu = kSettings, .submenu = kModes, .label = "TAAA&TS", .places = B, .checkable = true, .radarMode = 10},
        {.id = C::ModePsr, .menu = kSettings, .submenu = kModes, .label = "PS&R", .places = B, .checkable = true, .radarMode = 8},
        {.id = C::Mode3D, .menu = kSettings, .submenu = kModes, .label = "&3D", .places = B, .checkable = true, .radarMode = 6},
        // The profile's colour profiles come before it when the menu is rebuilt.
        {.id = C::ModifyColorProfile, .menu = kSettings, .submenu = "Color &Profile", .label = "&Modify Current...", .places = B},
        {.id = C::FiltersActive, .menu = kSettings, .submenu = "&Filters", .label = "&Active", .places = B, .checkable = true},
        {.id = C::FiltersConfigure, .menu = kSettings, .submenu = "&Filters", .label = "&Configure...", .places = B, .keys = {{Ctrl | Alt, 'F'}}},
        {.id = C::GeneralSettings, .menu = kSettings, .label = "&General...", .places = M, .separatorBefore = true},
        {.id = C::AtisMaker, .menu = kSettings, .label = "&ATISMaker...", .places = M},
        {.id = C::ColorProfiles, .menu = kSettings, .label = "&Color Profiles...", .places = M},
        {.id = C::Sounds, .menu = kSettings, .label = "&Sounds...", .places = M},
        {.id = C::AudioDevices, .menu = kSettings, .label = "Au&dio Devices...", .places = M},
        {.id = C::CalibrateMic, .menu = kSettings, .label = "Cali&brate Mic...", .places = M},

        {.id = C::ButtonBar, .menu = kView, .label = "&Button Bar", .places = M, .checkable = true, .showBit = ShowBit::ButtonBar},
        {.id = C::RadioHistory, .menu = kView, .label = "Radio &History", .places = M, .checkable = true, .keys = {{Ctrl, 'T'}}, .showBit = ShowBit::RadioHistory},
        {.id = C::AnchorLines, .menu = kView, .label = "Anchor &Lines", .places = B, .checkable = true, .showBit = ShowBit::AnchorLines},
        {.id = C::MouseLocation, .menu = kView, .label = "&Mouse Location", .places = B, .checkable = true, .showBit = ShowBit::MouseLocation},
        {.id = C::Quicklook, .menu = kView, .label = "&Quicklook", .places = B, .checkable = true},
        {.id = C::RangeRings, .menu = kView, .label = "Range &Rings", .places = B, .checkable = true, .separatorBefore = true, .showBit = ShowBit::RangeRings},
        {.id = C::Airports, .menu = kView, .label = "&Airports", .places = B, .checkable = true, .showBit = ShowBit::Airports},
        {.id = C::AirportLabels, .menu = kView, .label = "Airport Labels", .places = B, .checkable = true, .showBit = ShowBit::AirportLabels},
        {.id = C::AirportFreqs, .menu = kView, .label = "Airport Freqs", .places = B, .checkable = true, .showBit = ShowBit::AirportFreqs},
        {.id = C::Runways, .menu = kView, .label = "R&unways", .places = B, .checkable = true, .showBit = ShowBit::Runways},
        {.id = C::RunwayCenterlines, .menu = kView, .label = "Runway &Centerlines", .places = B, .checkable = true, .showBit = ShowBit::Centerlines},
        {.id = C::Fixes, .menu = kView, .label = "&Fixes", .places = B, .checkable = true, .showBit = ShowBit::Fixes},
        {.id = C::FixLabels, .menu = kView, .label = "Fix Labels", .places = B, .checkable = true, .showBit = ShowBit::FixLabels},
        {.id = C::Vors, .menu = kView, .label = "&VORs", .places = B, .checkable = true, .showBit = ShowBit::Vors},
        {.id = C::VorLabels, .menu = kView, .label = "VOR Labels", .places = B, .checkable = true, .showBit = ShowBit::VorLabels},
        {.id = C::VorFreqs, .menu = kView, .label = "VOR Freqs", .places = B, .checkable = true, .showBit = ShowBit::VorFreqs},
        {.id = C::Ndbs, .menu = kView, .label = "&NDBs", .places = B, .checkable = true, .showBit = ShowBit::Ndbs},
        {.id = C::NdbLabels, .menu = kView, .label = "NDB Labels", .places = B, .checkable = true, .showBit = ShowBit::NdbLabels},
        {.id = C::NdbFreqs, .menu = kView, .label = "NDB Freqs", .places = B, .checkable = true, .showBit = ShowBit::NdbFreqs},
        {.id = C::LowAirways, .menu = kView, .label = "&Low Airways", .places = B, .checkable = true, .showBit = ShowBit::LowAirways},
        {.id = C::LowAirwayLabels, .menu = kView, .label = "Low Airway Labels", .places = B, .checkable = true, .showBit = ShowBit::LowAirwayLabels},
        {.id = C::HighAirways, .menu = kView, .label = "&High Airways", .places = B, .checkable = true, .showBit = ShowBit::HighAirways},
        {.id = C::HighAirwayLabels, .menu = kView, .label = "High Airway Labels", .places = B, .checkable = true, .showBit = ShowBit::HighAirwayLabels},
        {.id = C::ArtccBoundaries, .menu = kView, .label = "ARTCC &Boundaries", .places = B, .checkable = true, .showBit = ShowBit::ArtccBoundaries},
        {.id = C::LowBoundaries, .menu = kView, .label = "Low B&oundaries", .places = B, .checkable = true, .showBit = ShowBit::LowBoundaries},
        {.id = C::HighBoundaries, .menu = kView, .label = "High Bo&undaries", .places = B, .checkable = true, .showBit = ShowBit::HighBoundaries},
        {.id = C::Regions, .menu = kView, .label = "R&egions", .places = B, .checkable = true, .showBit = ShowBit::Regions},
        {.id = C::StaticText, .menu = kView, .label = "&Static Text", .places = B, .checkable = true, .showBit = ShowBit::StaticText},
        {.id = C::Geography, .menu = kView, .label = "&Geography", .places = B, .checkable = true, .showBit = ShowBit::Geography},
        {.id = C::Diagrams, .menu = kView, .label = "&Diagrams...", .places = B, .separatorBefore = true, .keys = {{Ctrl, 'G'}}},
        {.id = C::OceanicTracks, .menu = kView, .label = "&Oceanic Tracks...", .places = B, .keys = {{Ctrl, 'O'}}},

        {.id = C::FlightStripBay, .menu = kTools, .label = "Flight &Strip Bay", .places = M, .checkable = true, .keys = {{Alt, '1'}}, .tool = T::StripBay},
        {.id = C::ControllerList, .menu = kTools, .label = "&Controller List", .places = M, .checkable = true, .keys = {{Alt, '2'}}, .tool = T::ControllerList},
        {.id = C::AircraftList, .menu = kTools, .label = "&Aircraft List", .places = M, .checkable = true, .keys = {{Alt, '3'}}, .tool = T::AircraftList},
        {.id = C::CommsPanel, .menu = kTools, .label = "Co&mms Panel", .places = M, .checkable = true, .keys = {{Alt, '4'}}, .tool = T::CommsPanel},
        {.id = C::WeatherPanel, .menu = kTools, .label = "&Weather Panel", .places = M, .checkable = true, .keys = {{Alt, '5'}}, .tool = T::WeatherPanel},
        {.id = C::SelcalPanel, .menu = kTools, .label = "S&ELCAL Panel", .places = M, .checkable = true, .keys = {{Alt, '6'}}, .tool = T::SelcalPanel},
        {.id = C::IncomingChatLog, .menu = kTools, .label = "&Incoming Chat Log", .places = M, .checkable = true, .keys = {{Alt, '7'}}},

        {.id = C::QuickStartGuide, .menu = kHelp, .label = "&Quick Start Guide", .places = M | P, .helpPage = "docs/quick_start_guide.shtml"},
        {.id = C::CommandReference, .menu = kHelp, .label = "&Command Reference", .places = M | P, .helpPage = "docs/command_reference.shtml"},
        {.id = C::Documentation, .menu = kHelp, .label = "&Documentation", .places = M | P, .helpPage = "docs/"},
        {.id = C::DiscussionForums, .menu = kHelp, .label = "Discussion &Forums", .places = M | P, .helpPage = "forums/"},
        {.id = C::WebSite, .menu = kHelp, .label = "Tarq &Web Site", .places = M | P, .helpPage = ""},
        {.id = C::About, .menu = kHelp, .label = "&About Tarq", .places = M | P, .separatorBefore = true},

        {.id = C::ClearMessageWaiting, .keys = {{Ctrl, kSpace}}},
        {.id = C::Declutter, .keys = {{Ctrl, 'D'}}},
        {.id = C::ToggleAltitudeFilters, .keys = {{Ctrl, 'F'}}},
        {.id = C::ToggleSepRings, .keys = {{Ctrl, 'R'}}},
        {.id = C::StopSound, .keys = {{Ctrl, 'S'}}},
        {.id = C::ToggleQuicklook, .keys = {{Ctrl, 'Q'}}},
        {.id = C::ZoomIn, .keys = {{0, F(11)}}},
        {.id = C::ZoomInFast, .keys = {{Ctrl, F(11)}}},
        {.id = C::ZoomOut, .keys = {{0, F(12)}}},
        {.id = C::ZoomOutFast, .keys = {{Ctrl, F(12)}}},
        // Bookmarks: Ctrl+Alt+n saves, Ctrl+n recalls, with the top-row or the keypad digit.
        {.id = C::SaveBookmark1, .keys = {{Ctrl | Alt, '1'}, {Ctrl | Alt, kPad0 + 1}}},
        {.id = C::RecallBookmark1, .keys = {{Ctrl, '1'}, {Ctrl, kPad0 + 1}}},
        {.id = C::SaveBookmark2, .keys = {{Ctrl | Alt, '2'}, {Ctrl | Alt, kPad0 + 2}}},
        {.id = C::RecallBookmark2, .keys = {{Ctrl, '2'}, {Ctrl, kPad0 + 2}}},
        {.id = C::SaveBookmark3, .keys = {{Ctrl | Alt, '3'}, {Ctrl | Alt, kPad0 + 3}}},
        {.id = C::RecallBookmark3, .keys = {{Ctrl, '3'}, {Ctrl, kPad0 + 3}}},
        {.id = C::SaveBookmark4, .keys = {{Ctrl | Alt, '4'}, {Ctrl | Alt, kPad0 + 4}}},
        {.id = C::RecallBookmark4, .keys = {{Ctrl, '4'}, {Ctrl, kPad0 + 4}}},
        {.id = C::SaveBookmark5, .keys = {{Ctrl | Alt, '5'}, {Ctrl | Alt, kPad0 + 5}}},
        {.id = C::RecallBookmark5, .keys = {{Ctrl, '5'}, {Ctrl, kPad0 + 5}}},
        {.id = C::SaveBookmark6, .keys = {{Ctrl | Alt, '6'}, {Ctrl | Alt, kPad0 + 6}}},
        {.id = C::RecallBookmark6, .keys = {{Ctrl, '6'}, {Ctrl, kPad0 + 6}}},
        {.id = C::SaveBookmark7, .keys = {{Ctrl | Alt, '7'}, {Ctrl | Alt, kPad0 + 7}}},
        {.id = C::RecallBookmark7, .keys = {{Ctrl, '7'}, {Ctrl, kPad0 + 7}}},
        {.id = C::SaveBookmark8, .keys = {{Ctrl | Alt, '8'}, {Ctrl | Alt, kPad0 + 8}}},
        {.id = C::RecallBookmark8, .keys = {{Ctrl, '8'}, {Ctrl, kPad0 + 8}}},
        {.id = C::SaveBookmark9, .keys = {{Ctrl | Alt, '9'}, {Ctrl | Alt, kPad0 + 9}}},
        {.id = C::RecallBookmark9, .keys = {{Ctrl, '9'}, {Ctrl, kPad0 + 9}}},
        {.id = C::RecallBookmark0, .keys = {{Ctrl, '0'}, {Ctrl, kPad0}}},
        {.id = C::PrefillQp, .keys = {{0, F(1)}}, .prefill = ".QP "},
        {.id = C::PrefillAn, .keys = {{Shift, F(1)}}, .prefill = ".AN "},
        {.id = C::PrefillQd, .keys = {{0, F(2)}}, .prefill = ".QD "},
        {.id = C::PrefillQt, .keys = {{0, F(3)}}, .prefill = ".QT "},
        {.id = C::PrefillQx, .keys = {{0, F(4)}}, .prefill = ".QX "},
        {.id = C::PrefillQz, .keys = {{0, F(5)}}, .prefill = ".QZ "},
        {.id = C::PrefillSs, .keys = {{0, F(6)}}, .prefill = ".SS "},
        {.id = C::PrefillQu, .keys = {{Shift, F(6)}}, .prefill = ".QU "},
        {.id = C::PrefillQr, .keys = {{Ctrl, F(6)}}, .prefill = ".QR "},
        {.id = C::PrefillWx, .keys = {{0, F(7)}}, .prefill = ".WX "},
        {.id = C::PrefillOw, .keys = {{Shift, F(7)}}, .prefill = ".OW "},
        {.id = C::PrefillQq, .keys = {{0, F(8)}}, .prefill = ".QQ "},
        {.id = C::PrefillQb, .keys = {{0, F(9)}}, .prefill = ".QB "},
        {.id = C::PrefillQs, .keys = {{0, kInsert}}, .prefill = ".QS "},
    };
    return rows;
}
// clang-format on

const CommandRow* FindCommand(int id) {
    static const std::unordered_map<int, const CommandRow*> byId = [] {
        std::unordered_map<int, const CommandRow*> map;
        for (const CommandRow& row : CommandTable()) map.emplace(static_cast<int>(row.id), &row);
        return map;
    }();
    auto it = byId.find(id);
    return it == byId.end() ? nullptr : it->second;
}

const CommandRow* FindCommand(CommandId id) { return FindCommand(static_cast<int>(id)); }

const std::vector<Accelerator>& DisplayAccelerators() {
    static const std::vector<Accelerator> table = [] {
        std::vector<Accelerator> t;
        for (const CommandRow& row : CommandTable()) {
            for (const CommandKey& key : row.keys) {
                if (key.virtualKey != 0) t.push_back({key.modifiers, key.virtualKey, row.id});
            }
        }
        return t;
    }();
    return table;
}

CommandId FindAccelerator(int modifiers, int virtualKey) {
    for (const Accelerator& a : DisplayAccelerators()) {
        if (a.virtualKey == virtualKey && a.modifiers == modifiers) return a.id;
    }
    return CommandId::None;
}

const char* CommandLinePrefill(CommandId id) {
    const CommandRow* row = FindCommand(id);
    return row ? row->prefill : nullptr;
}

std::string HelpPageUrl(CommandId id) {
    const CommandRow* row = FindCommand(id);
    return row && row->helpPage ? std::string(kWebSite) + row->helpPage : std::string();
}

std::string AtisMakerHelpUrl() { return std::string(kWebSite) + "docs/atis_maker.shtml"; }

std::string OpenHelpPage(const std::string& url, const std::function<bool(const std::string&)>& open) {
    if (url.empty()) return "No web address is configured for this page.";
    if (!open(url)) return "Could not open " + url + " in a web browser.";
    return {};
}
