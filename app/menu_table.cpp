// Tested by tests/app/menu_table_test.cpp.
#include "app/menu_table.h"

namespace {

constexpr MenuScope B = MenuScope::Both;
constexpr MenuScope M = MenuScope::MainOnly;
constexpr MenuScope S = MenuScope::SecondaryOnly;

// The maker's web site; the pages lie under it.
constexpr const char* kWebSite = "https://www.fenwray.example/Tarq/";

}  // namespace

const std::vector<MenuCommand>& DisplayMenuCommands() {
    static const std::vector<MenuCommand> commands = {
        {"&File", nullptr, 121, "&New Window", B, false},
        {"&File", nullptr, 122, "Open &Sector...", B, false},
        {"&File", nullptr, 0, nullptr, B, false},
        {"&File", nullptr, 106, "&Connect...", M, false},
        {"&File", nullptr, 107, "&Disconnect", M, false},
        {"&File", nullptr, 40045, "Start &MP Session", M, false},
        {"&File", nullptr, 0, nullptr, M, false},
        {"&File", nullptr, 125, "Open Session &Profile...", M, false},
        {"&File", nullptr, 123, "Sa&ve Session Profile", M, false},
        {"&File", nullptr, 124, "Save Session Profile &As...", M, false},
        {"&File", nullptr, 0, nullptr, M, false},
        {"&File", nullptr, 108, "E&xit", M, false},
        {"&File", nullptr, 153, "&Close Window", S, false},
        {"&Settings", "&Radar Mode", 242, "&Simple", B, true},
        {"&Settings", "&Radar Mode", 127, "&Ground", B, true},
        {"&Settings", "&Radar Mode", 128, "&Tower", B, true},
        {"&Settings", "&Radar Mode", 130, "&ARTS", B, true},
        {"&Settings", "&Radar Mode", 40070, "STA&RS", B, true},
        {"&Settings", "&Radar Mode", 129, "&DSR", B, true},
        {"&Settings", "&Radar Mode", 131, "Tar&q", B, true},
        {"&Settings", "&Radar Mode", 40047, "&Park Air", B, true},
        {"&Settings", "&Radar Mode", 40048, "TAAA&TS", B, true},
        {"&Settings", "&Radar Mode", 40049, "PS&R", B, true},
        {"&Settings", "&Radar Mode", 241, "&3D", B, true},
        {"&Settings", "Color &Profile", kModifyColorProfileId, "&Modify Current...", B, false},
        {"&Settings", "&Filters", 40068, "&Active", B, true},
        {"&Settings", "&Filters", 40069, "&Configure...", B, false},
        {"&Settings", nullptr, 0, nullptr, M, false},
        {"&Settings", nullptr, 109, "&General...", M, false},
        {"&Settings", nullptr, 184, "&ATISMaker...", M, false},
        {"&Settings", nullptr, 110, "&Color Profiles...", M, false},
        {"&Settings", nullptr, 111, "&Sounds...", M, false},
        {"&Settings", nullptr, 175, "Au&dio Devices...", M, false},
        {"&Settings", nullptr, 112, "Cali&brate Mic...", M, false},
        {"&View", nullptr, 113, "&Button Bar", M, true},
        {"&View", nullptr, 150, "Radio &History", M, true},
        {"&View", nullptr, 230, "Anchor &Lines", B, true},
        {"&View", nullptr, 40055, "&Mouse Location", B, true},
        {"&View", nullptr, 40074, "&Quicklook", B, true},
        {"&View", nullptr, 0, nullptr, B, false},
        {"&View", nullptr, 114, "Range &Rings", B, true},
        {"&View", nullptr, 115, "&Airports", B, true},
        {"&View", nullptr, 224, "Airport Labels", B, true},
        {"&View", nullptr, 133, "Airport Freqs", B, true},
        {"&View", nullptr, 173, "R&unways", B, true},
        {"&View", nullptr, 174, "Runway &Centerlines", B, true},
        {"&View", nullptr, 134, "&Fixes", B, true},
        {"&View", nullptr, 225, "Fix Labels", B, true},
        {"&View", nullptr, 135, "&VORs", B, true},
        {"&View", nullptr, 226, "VOR Labels", B, true},
        {"&View", nullptr, 136, "VOR Freqs", B, true},
        {"&View", nullptr, 137, "&NDBs", B, true},
        {"&View", nullptr, 227, "NDB Labels", B, true},
        {"&View", nullptr, 138, "NDB Freqs", B, true},
        {"&View", nullptr, 139, "&Low Airways", B, true},
        {"&View", nullptr, 228, "Low Airway Labels", B, true},
        {"&View", nullptr, 140, "&High Airways", B, true},
        {"&View", nullptr, 229, "High Airway Labels", B, true},
        {"&View", nullptr, 141, "ARTCC &Boundaries", B, true},
        {"&View", nullptr, 142, "Low B&oundaries", B, true},
        {"&View", nullptr, 143, "High Bo&undaries", B, true},
        {"&View", nullptr, 40050, "R&egions", B, true},
        {"&View", nullptr, 40051, "&Static Text", B, true},
        {"&View", nullptr, 144, "&Geography", B, true},
        {"&View", nullptr, 0, nullptr, B, false},
        {"&View", nullptr, 145, "&Diagrams...", B, false},
        {"&View", nullptr, 40066, "&Oceanic Tracks...", B, false},
        {"&Tools", nullptr, 232, "Flight &Strip Bay", M, true},
        {"&Tools", nullptr, 148, "&Controller List", M, true},
        {"&Tools", nullptr, 147, "&Aircraft List", M, true},
        {"&Tools", nullptr, 146, "Co&mms Panel", M, true},
        {"&Tools", nullptr, 149, "&Weather Panel", M, true},
        {"&Tools", nullptr, 243, "S&ELCAL Panel", M, true},
        {"&Tools", nullptr, 40063, "&Incoming Chat Log", M, true},
        {"&Help", nullptr, 181, "&Quick Start Guide", M, false},
        {"&Help", nullptr, 170, "&Command Reference", M, false},
        {"&Help", nullptr, 117, "&Documentation", M, false},
        {"&Help", nullptr, 182, "Discussion &Forums", M, false},
        {"&Help", nullptr, 171, "Tarq &Web Site", M, false},
        {"&Help", nullptr, 0, nullptr, M, false},
        {"&Help", nullptr, 118, "&About Tarq", M, false},
    };
    return commands;
}

const std::vector<Accelerator>& DisplayAccelerators() {
    static const std::vector<Accelerator> table = [] {
        std::vector<Accelerator> t = {
            {kAccelAlt, '1', 232},      {kAccelAlt, '2', 148},     {kAccelAlt, '3', 147},
            {kAccelAlt, '4', 146},      {kAccelAlt, '5', 149},     {kAccelAlt, '6', 243},
            {kAccelAlt, '7', 40063},    {kAccelCtrl, 'T', 150},    {kAccelCtrl | kAccelAlt, 'F', 40069},
            {kAccelCtrl, 0x20, 40003},  {kAccelCtrl, 'D', 40004},  {kAccelCtrl, 'F', 40005},
            {kAccelCtrl, 'R', 40006},   {kAccelCtrl, 'S', 40007},  {kAccelCtrl, 'Q', 40056},
            {kAccelCtrl, 'G', 145},     {kAccelCtrl, 'O', 40066},  {0, 0x7A, 40020},
            {kAccelCtrl, 0x7A, 40021},  {0, 0x7B, 40022},          {kAccelCtrl, 0x7B, 40023},
            {kAccelCtrl, '0', 40043},   {kAccelCtrl, 0x60, 40043}, {0, 0x70, 40008},
            {kAccelShift, 0x70, 40009}, {0, 0x71, 40010},          {0, 0x72, 40011},
            {0, 0x73, 40012},           {0, 0x74, 40013},          {0, 0x75, 40014},
            {kAccelShift, 0x75, 40015}, {kAccelCtrl, 0x75, 40053}, {0, 0x76, 40016},
            {kAccelShift, 0x76, 40017}, {0, 0x77, 40018},          {0, 0x78, 40019},
            {0, 0x2D, 40044},
        };
        // Bookmarks: Ctrl+Alt+n saves, Ctrl+n recalls, with the top-row or the keypad digit.
        for (int n = 1; n <= 9; ++n) {
            for (int key : {'0' + n, 0x60 + n}) {
                t.push_back({kAccelCtrl | kAccelAlt, key, 40024 + 2 * (n - 1)});
                t.push_back({kAccelCtrl, key, 40025 + 2 * (n - 1)});
            }
        }
        return t;
    }();
    return table;
}

const std::vector<ProfileMenuCommand>& ProfileDialogMenuCommands() {
    static const std::vector<ProfileMenuCommand> commands = {
        {"&File", nullptr, 369, "&Load Selected"},
        {"&File", nullptr, 370, "&Delete Selected"},
        {"&File", nullptr, 0, nullptr},
        {"&File", nullptr, 371, "&Import Session Profiles..."},
        {"&File", "&Merge Session Profiles", 374, "Merge From &File..."},
        {"&File", "&Merge Session Profiles", 375, "Merge &Existing..."},
        {"&File", nullptr, 373, "&Export Session Profiles..."},
        {"&File", nullptr, 40058, "Import &Color Profiles..."},
        {"&File", nullptr, 40059, "Export C&olor Profiles..."},
        {"&File", nullptr, 0, nullptr},
        {"&File", nullptr, 2, "E&xit"},
        {"&Help", nullptr, 181, "&Quick Start Guide"},
        {"&Help", nullptr, 170, "&Command Reference"},
        {"&Help", nullptr, 117, "&Documentation"},
        {"&Help", nullptr, 182, "Discussion &Forums"},
        {"&Help", nullptr, 171, "Tarq &Web Site"},
        {"&Help", nullptr, 0, nullptr},
        {"&Help", nullptr, 118, "&About Tarq"},
    };
    return commands;
}

const char* CommandLinePrefill(int id) {
    switch (id) {
        case 40008:
            return ".QP ";
        case 40009:
            return ".AN ";
        case 40010:
            return ".QD ";
        case 40011:
            return ".QT ";
        case 40012:
            return ".QX ";
        case 40013:
            return ".QZ ";
        case 40014:
            return ".SS ";
        case 40015:
            return ".QU ";
        case 40053:
            return ".QR ";
        case 40016:
            return ".WX ";
        case 40017:
            return ".OW ";
        case 40018:
            return ".QQ ";
        case 40019:
            return ".QB ";
        case 40044:
            return ".QS ";
        default:
            return nullptr;
    }
}

std::string HelpPageUrl(int id) {
    switch (id) {
        case 181:
            return std::string(kWebSite) + "docs/quick_start_guide.shtml";
        case 170:
            return std::string(kWebSite) + "docs/command_reference.shtml";
        case 117:
            return std::string(kWebSite) + "docs/";
        case 182:
            return std::string(kWebSite) + "forums/";
        case 171:
            return kWebSite;
        default:
            return "";
    }
}
