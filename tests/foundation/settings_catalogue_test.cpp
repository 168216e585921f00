// The whole catalogue against data/settings_catalogue.txt, a transcription of
// its tables kept apart from the code: every key, type and default as a load
// leaves it, the per-display keys, default colours, retired keys and the
// built-in colour profiles.
#include "foundation/settings_catalogue.h"

#include <fstream>
#include <sstream>

#include "foundation/ini_file.h"
#include "profile_fixture.h"

namespace {

struct Expected {
    std::string type;
    std::string key;
    std::string value;  // default as text; empty when the line has none
};

struct Fixture {
    std::vector<Expected> fixed;
    std::vector<Expected> perDisplay;
    std::vector<std::pair<std::string, int>> colors;
    std::vector<std::string> retired;
    std::map<std::string, std::vector<std::pair<std::string, int>>> builtIns;
};

Fixture ReadFixture() {
    Fixture f;
    std::ifstream in(std::string(TARQ_TEST_DATA_DIR) + "/settings_catalogue.txt");
    EXPECT_TRUE(in) << "settings_catalogue.txt";
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "display") {
            Expected e;
            words >> e.type >> e.key >> e.value;
            f.perDisplay.push_back(e);
        } else if (kind == "color") {
            std::string key;
            int value = 0;
            words >> key >> value;
            f.colors.emplace_back(key, value);
        } else if (kind == "retired") {
            std::string key;
            words >> key;
            f.retired.push_back(key);
        } else if (kind == "builtin") {
            std::string name, key;
            int value = 0;
            words >> name >> key >> value;
            for (char& c : name)
                if (c == '_') c = ' ';
            f.builtIns[name].emplace_back(key, value);
        } else {
            Expected e{kind, "", ""};
            words >> e.key;
            std::getline(words >> std::ws, e.value);
            f.fixed.push_back(e);
        }
    }
    return f;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) out += (i ? "|" : "") + items[i];
    return out;
}

// Checks that the snapshot holds key in the map of its type with the default.
void ExpectDefault(const SettingsSnapshot& s, const Expected& e, const std::string& key) {
    SCOPED_TRACE(key);
    if (e.type == "bool") {
        ASSERT_TRUE(s.bools.count(key));
        EXPECT_EQ(s.bools.at(key), e.value == "1");
    } else if (e.type == "int") {
        ASSERT_TRUE(s.ints.count(key));
        EXPECT_EQ(s.ints.at(key), std::stoi(e.value));
    } else if (e.type == "float") {
        ASSERT_TRUE(s.floats.count(key));
        EXPECT_EQ(s.floats.at(key), std::stof(e.value));
    } else if (e.type == "text") {
        ASSERT_TRUE(s.strings.count(key));
        EXPECT_EQ(s.strings.at(key), e.value);
    } else if (e.type == "list") {
        ASSERT_TRUE(s.lists.count(key));
        EXPECT_EQ(Join(s.lists.at(key)), e.value);
    } else {
        ADD_FAILURE() << "unknown type " << e.type;
    }
}

size_t Count(const std::vector<Expected>& entries, const std::string& type) {
    size_t n = 0;
    for (const Expected& e : entries) n += e.type == type;
    return n;
}

}  // namespace

class SettingsCatalogueTest : public ProfileTest {};

TEST_F(SettingsCatalogueTest, LoadOfAnAlmostEmptySectionHoldsEveryKeyWithItsDefault) {
    const Fixture f = ReadFixture();
    ASSERT_EQ(f.fixed.size(), 50u + 59u + 46u + 67u + 9u);
    ASSERT_EQ(f.perDisplay.size(), 32u);
    PutIni("[Alpha]\nCallsign=\nDisplayCount=2\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("Alpha"));
    const SettingsSnapshot s = profile.Snapshot();

    for (const Expected& e : f.fixed) {
        if (e.key == "DisplayCount") continue;  // the section sets it
        ExpectDefault(s, e, e.key);
    }
    EXPECT_EQ(s.ints.at("DisplayCount"), 2);
    for (int display = 1; display <= 2; ++display)
        for (const Expected& e : f.perDisplay) ExpectDefault(s, e, FormDisplayKey(e.key, display));

    // Nothing more than the catalogue: each map holds its fixed keys and two
    // displays' worth of per-display keys.
    for (const char* type : {"bool", "int", "float", "text", "list"}) {
        SCOPED_TRACE(type);
        const size_t expected = Count(f.fixed, type) + 2 * Count(f.perDisplay, type);
        const std::string t = type;
        const size_t actual = t == "bool"    ? s.bools.size()
                              : t == "int"   ? s.ints.size()
                              : t == "float" ? s.floats.size()
                              : t == "text"  ? s.strings.size()
                                             : s.lists.size();
        EXPECT_EQ(actual, expected);
    }
    EXPECT_FALSE(s.ints.count("DisplayWidth%d"));
    EXPECT_FALSE(s.ints.count("DisplayWidth3"));
}

TEST_F(SettingsCatalogueTest, DefaultColorsRetiredKeysAndBuiltInProfiles) {
    const Fixture f = ReadFixture();
    ASSERT_EQ(f.colors.size(), 35u);
    ASSERT_EQ(f.retired.size(), 37u);

    std::map<std::string, int> expectedColors(f.colors.begin(), f.colors.end());
    std::map<std::string, int> actualColors;
    for (const ColorEntry& entry : DefaultColors()) actualColors[std::string(entry.key)] = entry.color;
    EXPECT_EQ(actualColors, expectedColors);

    TarqProfile profile(IniPath());
    EXPECT_EQ(profile.GetRetiredKeys(), f.retired);
    // A colour profile lacking a key draws with that key's default colour.
    profile.SetColor("Sparse", "ColorTracked", 1);
    for (const auto& [key, color] : f.colors) {
        SCOPED_TRACE(key);
        if (key != "ColorTracked") {
            EXPECT_EQ(profile.GetColor("Sparse", key), color);
        }
    }

    ASSERT_EQ(BuiltInColorProfiles().size(), 4u);
    for (const BuiltInColorProfile& builtIn : BuiltInColorProfiles()) {
        SCOPED_TRACE(std::string(builtIn.name));
        std::vector<std::pair<std::string, int>> actual;
        for (const ColorEntry& entry : builtIn.colors) actual.emplace_back(entry.key, entry.color);
        EXPECT_EQ(actual, f.builtIns.at(std::string(builtIn.name)));
    }
}
