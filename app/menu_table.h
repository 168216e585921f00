// The command table: every command of the display windows and the
// session-profile dialog, one row each with its menu place, label, keys and
// what it prefills or toggles. Menus, accelerators and the dispatch are built
// from it; the display-window commands add their rows here.
// Tested by tests/app/menu_table_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The numbers are the commands' resource ids, which profiles and key files
// never store but the menus' order and the accelerator ranges follow.
enum class CommandId : int {
    None = 0,
    // File
    NewWindow = 121,
    OpenSector = 122,
    Connect = 106,
    Disconnect = 107,
    StartMpSession = 40045,
    OpenSessionProfile = 125,
    SaveSessionProfile = 123,
    SaveSessionProfileAs = 124,
    Exit = 108,
    CloseWindow = 153,
    // Settings
    ModeSimple = 242,
    ModeGround = 127,
    ModeTower = 128,
    ModeArts = 130,
    ModeStars = 40070,
    ModeDsr = 129,
    ModeTarq = 131,
    ModeParkAir = 40047,
    ModeTaaats = 40048,
    ModePsr = 40049,
    Mode3D = 241,
    ModifyColorProfile = 40062,
    FiltersActive = 40068,
    FiltersConfigure = 40069,
    GeneralSettings = 109,
    AtisMaker = 184,
    ColorProfiles = 110,
    Sounds = 111,
    AudioDevices = 175,
    CalibrateMic = 112,
    // View
    ButtonBar = 113,
    RadioHistory = 150,
    AnchorLines = 230,
    MouseLocation = 40055,
    Quicklook = 40074,
    RangeRings = 114,
    Airports = 115,
    AirportLabels = 224,
    AirportFreqs = 133,
    Runways = 173,
    RunwayCenterlines = 174,
    Fixes = 134,
    FixLabels = 225,
    Vors = 135,
    VorLabels = 226,
    VorFreqs = 136,
    Ndbs = 137,
    NdbLabels = 227,
    NdbFreqs = 138,
    LowAirways = 139,
    LowAirwayLabels = 228,
    HighAirways = 140,
    HighAirwayLabels = 229,
    ArtccBoundaries = 141,
    LowBoundaries = 142,
    HighBoundaries = 143,
    Regions = 40050,
    StaticText = 40051,
    Geography = 144,
    Diagrams = 145,
    OceanicTracks = 40066,
    // Tools
    FlightStripBay = 232,
    ControllerList = 148,
    AircraftList = 147,
    CommsPanel = 146,
    WeatherPanel = 149,
    SelcalPanel = 243,
    IncomingChatLog = 40063,
    // Help
    QuickStartGuide = 181,
    CommandReference = 170,
    Documentation = 117,
    DiscussionForums = 182,
    WebSite = 171,
    About = 118,
    // Keys only
    ClearMessageWaiting = 40003,
    Declutter = 40004,
    ToggleAltitudeFilters = 40005,
    ToggleSepRings = 40006,
    StopSound = 40007,
    ToggleQuicklook = 40056,
    ZoomIn = 40020,
    ZoomInFast = 40021,
    ZoomOut = 40022,
    ZoomOutFast = 40023,
    SaveBookmark1 = 40024,
    RecallBookmark1 = 40025,
    SaveBookmark2 = 40026,
    RecallBookmark2 = 40027,
    SaveBookmark3 = 40028,
    RecallBookmark3 = 40029,
    SaveBookmark4 = 40030,
    RecallBookmark4 = 40031,
    SaveBookmark5 = 40032,
    RecallBookmark5 = 40033,
    SaveBookmark6 = 40034,
    RecallBookmark6 = 40035,
    SaveBookmark7 = 40036,
    RecallBookmark7 = 40037,
    SaveBookmark8 = 40038,
    RecallBookmark8 = 40039,
    SaveBookmark9 = 40040,
    RecallBookmark9 = 40041,
    RecallBookmark0 = 40043,
    PrefillQp = 40008,
    PrefillAn = 40009,
    PrefillQd = 40010,
    PrefillQt = 40011,
    PrefillQx = 40012,
    PrefillQz = 40013,
    PrefillSs = 40014,
    PrefillQu = 40015,
    PrefillQr = 40053,
    PrefillWx = 40016,
    PrefillOw = 40017,
    PrefillQq = 40018,
    PrefillQb = 40019,
    PrefillQs = 40044,
    // The session-profile dialog
    LoadSelected = 369,
    DeleteSelected = 370,
    ImportSessionProfiles = 371,
    MergeFromFile = 374,
    MergeExisting = 375,
    ExportSessionProfiles = 373,
    ImportColorProfiles = 40058,
    ExportColorProfiles = 40059,
    ProfileExit = 2,
};

// Where a command has a menu item.
enum MenuPlace {
    kMainMenu = 1,
    kSecondaryMenu = 2,
    kProfileMenu = 4,
    kDisplayMenus = kMainMenu | kSecondaryMenu
};

enum AcceleratorModifier { kAccelAlt = 1, kAccelCtrl = 2, kAccelShift = 4 };

struct CommandKey {
    int modifiers = 0;   // AcceleratorModifier bits
    int virtualKey = 0;  // Windows virtual-key code; 0: none
};

// The tool window a command shows and hides.
enum class ToolWindowKind {
    None,
    CommsPanel,
    AircraftList,
    ControllerList,
    WeatherPanel,
    StripBay,
    SelcalPanel
};

struct CommandRow {
    CommandId id = CommandId::None;
    const char* menu = nullptr;     // top-level menu; nullptr: keys only
    const char* submenu = nullptr;  // nullptr: directly in the menu
    const char* label = nullptr;
    int places = 0;  // MenuPlace bits
    bool checkable = false;
    bool separatorBefore = false;  // in every menu that shows the item
    CommandKey keys[2] = {};       // accelerators of the main display
    int radarMode = 0;             // the mode it selects, 1 to 11
    int showBit = 0;               // the show-mask bit it toggles
    ToolWindowKind tool = ToolWindowKind::None;
    const char* prefill = nullptr;   // the text it puts into the command line
    const char* helpPage = nullptr;  // the page under the web site it opens
};

// Menu order: File, Settings, View, Tools, Help; items in their order, then
// the commands that only keys reach.
const std::vector<CommandRow>& CommandTable();
// Null for an id without a row.
const CommandRow* FindCommand(CommandId id);
const CommandRow* FindCommand(int id);

// The ids of the colour-profile submenu items: 2000 + index. The range runs
// past the classic thirty so that every imported profile can be chosen; no
// other command lies in it.
inline constexpr int kFirstColorProfileId = 2000;
inline constexpr int kLastColorProfileId = 2999;
inline constexpr size_t kMaxColorProfileItems = kLastColorProfileId - kFirstColorProfileId + 1;

struct Accelerator {
    int modifiers;   // AcceleratorModifier bits
    int virtualKey;  // Windows virtual-key code
    CommandId id;
};
// The accelerator table of the main display, from the rows' keys.
const std::vector<Accelerator>& DisplayAccelerators();
// The command of a key with its modifiers; None when no accelerator has it.
CommandId FindAccelerator(int modifiers, int virtualKey);

// The text a command puts into the main display's command line, or nullptr.
const char* CommandLinePrefill(CommandId id);
// The page a Help item opens; empty for other commands.
std::string HelpPageUrl(CommandId id);
// The page the ATIS maker's Help button opens.
std::string AtisMakerHelpUrl();
// Hands a help page to the browser through `open` (false: no browser took
// it). What the radio history should say when that failed or there is no
// address; empty when the page went to the browser.
std::string OpenHelpPage(const std::string& url, const std::function<bool(const std::string&)>& open);

// wx takes menu ids below 0x7FFF only: the 40000 range moves to 20000.
inline int ToToolkitId(int id) { return id >= 40000 ? id - 20000 : id; }
inline int ToToolkitId(CommandId id) { return ToToolkitId(static_cast<int>(id)); }
inline int FromToolkitId(int id) { return id >= 20000 && id < 30000 ? id + 20000 : id; }
