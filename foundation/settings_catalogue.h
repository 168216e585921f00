// The settings catalogue: every key a session profile holds, its type and its
// default; the per-display keys; the default colours of a colour profile; the
// retired keys of older files; and the built-in colour profiles.
// Tested by tests/foundation/settings_catalogue_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class SettingType { Bool, Int, Float, Text, List };

struct CatalogueEntry {
    std::string key;  // per-display keys hold "%d" where the display number goes
    SettingType type;
    int intDefault = 0;  // Bool (0 or 1) and Int
    double floatDefault = 0.0;
    std::string textDefault;  // Text, and List as stored: items joined by "|"
};

struct ColorEntry {
    std::string_view key;
    int color;  // 0xBBGGRR
};

struct BuiltInColorProfile {
    std::string_view name;           // without the ":CP:" prefix
    std::vector<ColorEntry> colors;  // in the order they are written
};

// The separator of list items in "Tarq.ini".
inline constexpr char kListSeparator = '|';

// Fixed keys, in load order: bool, int, float, text, then list keys.
const std::vector<CatalogueEntry>& FixedSettings();
// Keys of one display, in load order; the key holds "%d".
const std::vector<CatalogueEntry>& PerDisplaySettings();
// "DisplayLocX%d" with 2 gives "DisplayLocX2".
std::string FormDisplayKey(std::string_view format, int display);

// The 35 colour keys of a colour profile with their default colours, in
// ascending key order.
const std::vector<ColorEntry>& DefaultColors();
// The 37 keys of the older file formats, in their fixed order.
const std::vector<std::string>& RetiredKeys();
// "Park Air", "STARS R13", "STARS R14" and "TAAATS", in the order a
// conversion adds them ("Default" is made from DefaultColors()).
const std::vector<BuiltInColorProfile>& BuiltInColorProfiles();
