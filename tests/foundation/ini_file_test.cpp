#include "foundation/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "comma_locale.h"
#include "platform/atomic_file.h"
#include "tests/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The file as Write would produce it, with LF for CR LF so rows stay legible.
std::string Dump(const CIniFile& ini) {
    std::string text = ini.ToText();
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

class IniFileTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) { return m_tmp.File(name); }
    std::string Put(const std::string& name, const std::string& contents) {
        std::string path = PathOf(name);
        EXPECT_TRUE(WriteFileAtomically(path, contents));
        return path;
    }
    static std::string Contents(const std::string& path) {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(path, text));
        return text;
    }
    TempDir m_tmp;
    fs::path m_dir{m_tmp.Path()};
};

}  // namespace

TEST(IniFileReader, LineRules) {
    struct Case {
        const char* name;
        std::string input;
        bool ok;
        const char* dump;
    };
    const Case cases[] = {
        {"crlf and lf lines", "[A]\r\nk=v\nx=y\r\n", true, "[A]\nk=v\nx=y\n\n"},
        {"stray cr before crlf", "[A]\r\r\nk=v\r\r\n", true, "[A]\nk=v\n\n"},
        {"every trailing cr dropped", "[A]\nk=v\r\r\r", true, "[A]\nk=v\n\n"},
        {"last line without lf", "[A]\nk=v", true, "[A]\nk=v\n\n"},
        {"empty lines skipped", "\n\n[A]\n\n\nk=v\n", true, "[A]\nk=v\n\n"},
        {"empty section name", "[]\nk=v\n", true, "[]\nk=v\n\n"},
        {"last bracket closes the name", "[a]b]\n", true, "[a]b]\n\n"},
        {"bracket without close skipped", "[A]\n]x[\n[B\nk=v\n", true, "[A]\nk=v\n\n"},
        {"name untrimmed after bracket", " [ A ] \n", true, "[ A ]\n\n"},
        {"empty key name", "[A]\n=v\n", true, "[A]\n=v\n\n"},
        {"empty value", "[A]\nk=\n", true, "[A]\nk=\n\n"},
        {"blanks around equals kept", "[A]\n k = v \n", true, "[A]\n k = v \n\n"},
        {"first of four decides: value keeps ;", "[A]\na=b;c\n", true, "[A]\na=b;c\n\n"},
        {"first of four decides: comment", "[A]\na;b=c\n", true, "[A]\n;b=c\n\n"},
        {"first of four decides: section", "x[y]=z\n", true, "[y]\n\n"},
        {"equals inside header", "[a=b]\n", true, "[a=b]\n\n"},
        {"line without a marker skipped", "[A]\njust words\nk=v\n", true, "[A]\nk=v\n\n"},
        {"entries before header go to []", "k=v\n[A]\nx=y\n", true, "[]\nk=v\n\n[A]\nx=y\n\n"},
        {"comment after headerless entry", "k=v\n;c\n", true, "[]\n;c\nk=v\n\n"},
        {"hash comment comes back as ;", "[A]\n# note\n", true, "[A]\n; note\n\n"},
        {"text before comment dropped", "[A]\nwords ; c\n", true, "[A]\n; c\n\n"},
        {"comments move under header", "[A]\nk=v\n;c\n", true, "[A]\n;c\nk=v\n\n"},
        {"second header of a name", "[S]\na=1\n[T]\n[s]\nb=2\n;c\n", true,
         "[S]\n;c\na=1\nb=2\n\n[T]\n\n[s]\n\n"},
        {"key seen again overwrites", "[A]\nKey=1\nKEY=2\n", true, "[A]\nKey=2\n\n"},
        {"space indent read normally", "  [A]\n  k=v\n", true, "[A]\n  k=v\n\n"},
        {"cr inside a line kept", "[A]\nk=a\rb\n", true, "[A]\nk=a\rb\n\n"},
        {"only comments fails, keeps them", ";one\n#two\n", false, ";one\n;two\n\n"},
        {"empty file fails", "", false, ""},
        {"tab indent stops", "[A]\na=1\n\tb=2\nc=3\n", false, "[A]\na=1\n\n"},
        {"bom stops at first line", "\xEF\xBB\xBF[A]\nk=v\n", false, ""},
        {"high byte stops", "[A]\n\xE9t\xE9=1\n", false, "[A]\n\n"},
        {"nul stops", std::string("[A]\n\0k=v\n", 9), false, "[A]\n\n"},
        {"high byte inside a value kept", "[A]\nk=\xE9\n", true, "[A]\nk=\xE9\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CIniFile ini;
        testing::internal::CaptureStdout();
        EXPECT_EQ(ini.ReadText(c.input), c.ok);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(Dump(ini), c.dump);
    }
}

TEST(IniFileReader, NonPrintableLineSaysWhichCharacter) {
    struct Case {
        const char* name;
        std::string input;
        const char* code;
        const char* where;
    };
    const Case cases[] = {
        {"bom", "\xEF\xBB\xBF[A]\n", "code -17 ", "line 1"},
        {"tab", "[A]\n\n\tk=v\n", "code 9 ", "line 3"},
        {"delete", "[A]\n\x7F\n", "code 127 ", "line 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CIniFile ini;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(ini.ReadText(c.input, "Tarq.ini"));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a library reports through its error";
        EXPECT_NE(ini.GetLastError().find(std::string("Tarq.ini, ") + c.where), std::string::npos)
            << ini.GetLastError();
        EXPECT_NE(ini.GetLastError().find(c.code), std::string::npos) << ini.GetLastError();
        EXPECT_TRUE(ini.IsWriteBlocked());
    }
}

TEST(IniFileReader, ReadMergesIntoWhatIsThere) {
    CIniFile ini;
    ini.SetText("A", "k", "old", true);
    // The header adds a second, empty section; its entries land in the first.
    EXPECT_TRUE(ini.ReadText("[a]\nk=new\nj=1\n[B]\n"));
    EXPECT_EQ(Dump(ini), "[A]\nk=new\nj=1\n\n[a]\n\n[B]\n\n");
}

TEST_F(IniFileTest, RoundTripExampleToTheByte) {
    std::string path =
        Put("hand.ini", "; made by hand\r\n[Default]\r\nCallsign=ABC_TWR\r\n# note\r\nRating=5\r\n");
    CIniFile ini(path);
    ASSERT_TRUE(ini.Read());
    EXPECT_EQ(ini.GetText("default", "CALLSIGN", ""), "ABC_TWR");
    ASSERT_TRUE(ini.Write()) << ini.GetLastError();
    EXPECT_EQ(Contents(path),
              "; made by hand\r\n\r\n[Default]\r\n; note\r\nCallsign=ABC_TWR\r\nRating=5\r\n\r\n");
    // A second round changes nothing.
    CIniFile again(path);
    ASSERT_TRUE(again.Read());
    ASSERT_TRUE(again.Write());
    EXPECT_EQ(Contents(path),
              "; made by hand\r\n\r\n[Default]\r\n; note\r\nCallsign=ABC_TWR\r\nRating=5\r\n\r\n");
}

TEST_F(IniFileTest, PartialReadRefusesToOverwriteTheFile) {
    const std::string original = "[Default]\r\nCallsign=ABC_TWR\r\n\tRating=5\r\n[Colors]\r\nBack=0\r\n";
    std::string path = Put("Tarq.ini", original);
    CIniFile ini(path);
    EXPECT_FALSE(ini.Read());
    EXPECT_EQ(ini.GetText("Default", "Callsign", ""), "ABC_TWR");  // lines before stay

    ini.SetText("Default", "Callsign", "XYZ_APP", true);
    ini.Clear();  // starting afresh does not make the file safe to replace
    EXPECT_FALSE(ini.Write());
    EXPECT_NE(ini.GetLastError().find("was not written"), std::string::npos) << ini.GetLastError();
    EXPECT_NE(ini.GetLastError().find("line 3"), std::string::npos) << ini.GetLastError();
    EXPECT_EQ(Contents(path), original);

    // Once the file reads cleanly it may be written again.
    Put("Tarq.ini", "[Default]\r\nRating=5\r\n");
    ini.Clear();
    ASSERT_TRUE(ini.Read());
    EXPECT_FALSE(ini.IsWriteBlocked());
    EXPECT_TRUE(ini.Write());
}

TEST_F(IniFileTest, AnotherPathLiftsTheRefusal) {
    std::string bad = Put("bom.ini", "\xEF\xBB\xBF[A]\r\n");
    CIniFile ini(bad);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ini.Read());
    testing::internal::GetCapturedStdout();
    ini.SetPath(bad);
    EXPECT_TRUE(ini.IsWriteBlocked());
    ini.SetPath(PathOf("other.ini"));
    ini.SetText("A", "k", "v", true);
    EXPECT_TRUE(ini.Write());
    EXPECT_EQ(Contents(bad), "\xEF\xBB\xBF[A]\r\n");
}

TEST_F(IniFileTest, MissingFileLeavesObjectAndMayBeCreated) {
    CIniFile ini(PathOf("Tarq.ini"));
    ini.SetText("A", "k", "v", true);
    EXPECT_FALSE(ini.Read());
    EXPECT_NE(ini.GetLastError().find("no such file"), std::string::npos);
    EXPECT_EQ(Dump(ini), "[A]\nk=v\n\n");
    EXPECT_FALSE(ini.IsWriteBlocked());
    ASSERT_TRUE(ini.Write());
    EXPECT_EQ(Contents(PathOf("Tarq.ini")), "[A]\r\nk=v\r\n\r\n");
    EXPECT_TRUE(ini.GetLastError().empty());
}

TEST_F(IniFileTest, UnreadableFileIsNotReplaced) {
    // A folder in the file's place opens but cannot be read, even by root.
    fs::create_directories(m_dir / "Tarq.ini");
    CIniFile folder(PathOf("Tarq.ini"));
    EXPECT_FALSE(folder.Read());
    EXPECT_NE(folder.GetLastError().find("cannot be read"), std::string::npos) << folder.GetLastError();
    EXPECT_TRUE(folder.IsWriteBlocked());
    EXPECT_FALSE(folder.Write());
    EXPECT_NE(folder.GetLastError().find("was not written"), std::string::npos) << folder.GetLastError();

    if (geteuid() == 0) return;  // root reads any file
    std::string path = Put("locked.ini", "[A]\r\nk=v\r\n");
    fs::permissions(path, fs::perms::none);
    CIniFile ini(path);
    EXPECT_FALSE(ini.Read());
    EXPECT_TRUE(ini.IsWriteBlocked());
    EXPECT_FALSE(ini.Write());
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Contents(path), "[A]\r\nk=v\r\n");
}

TEST_F(IniFileTest, FailedWriteIsReportedAndKeepsTheOldFile) {
    CIniFile ini(PathOf("no/such/dir/Tarq.ini"));
    ini.SetText("A", "k", "v", true);
    EXPECT_FALSE(ini.Write());
    EXPECT_FALSE(ini.GetLastError().empty());

    CIniFile unnamed;
    unnamed.SetText("A", "k", "v", true);
    EXPECT_FALSE(unnamed.Write());

    if (geteuid() == 0) return;  // root ignores directory permissions
    std::string path = Put("Tarq.ini", "[A]\r\nk=old\r\n");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    CIniFile locked(path);
    ASSERT_TRUE(locked.Read());
    locked.SetText("A", "k", "new", true);
    EXPECT_FALSE(locked.Write());
    EXPECT_NE(locked.GetLastError().find("temporary"), std::string::npos) << locked.GetLastError();
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ(Contents(path), "[A]\r\nk=old\r\n");
}

TEST(IniFileLookups, NamesFoldAsciiCaseOnly) {
    CIniFile ini;
    ASSERT_TRUE(ini.ReadText("[Default]\nCallsign=ABC\n[\xC9t\xE9]\nk=1\n[ Pad]\nk=2\n"));
    EXPECT_EQ(ini.FindSection("DEFAULT"), 0);
    EXPECT_EQ(ini.FindSection("\xC9t\xE9"), 1);
    EXPECT_EQ(ini.FindSection("\xE9t\xE9"), -1);  // only A to Z fold
    EXPECT_EQ(ini.FindSection("Pad"), -1);        // white space counts
    EXPECT_EQ(ini.FindSection(" pad"), 2);
    EXPECT_EQ(ini.FindEntry(0, "callSIGN"), 0);
    EXPECT_EQ(ini.FindEntry(3, "Callsign"), -1);
    EXPECT_EQ(ini.FindEntry(-1, "Callsign"), -1);
    EXPECT_EQ(ini.FoldCase("AbC\xC9"), "abc\xC9");
    EXPECT_EQ(CIniFile().FindEntry(0, "x"), -1);
}

TEST(IniFileLookups, IndexesOutOfRangeGiveEmpty) {
    CIniFile ini;
    ASSERT_TRUE(ini.ReadText("[A]\nk=v\nj=w\n[B]\n"));
    EXPECT_EQ(ini.SectionCount(), 2);
    EXPECT_EQ(ini.SectionName(1), "B");
    EXPECT_EQ(ini.SectionName(2), "");
    EXPECT_EQ(ini.SectionName(-1), "");
    EXPECT_EQ(ini.EntryCount("a"), 2);
    EXPECT_EQ(ini.EntryCount("C"), 0);
    EXPECT_EQ(ini.EntryName(0, 1), "j");
    EXPECT_EQ(ini.EntryName(0, 2), "");
    EXPECT_EQ(ini.EntryName(2, 0), "");
    EXPECT_EQ(ini.EntryName("A", 0), "k");
    EXPECT_EQ(ini.EntryName("C", 0), "");
    EXPECT_EQ(ini.GetText("A", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.GetText("C", "k", "dflt"), "dflt");
    EXPECT_EQ(ini.SectionCount(), 2);  // lookups add nothing
    EXPECT_EQ(ini.EntryCount("A"), 2);
}

TEST(IniFileValues, TypedGettersReadLikeTheClassicConversions) {
    struct Case {
        const char* name;
        std::string value;
        int asInt;
        double asFloat;
        bool asBool;
    };
    const Case cases[] = {
        {"plain", "42", 42, 42.0, true},
        {"negative", "-17", -17, -17.0, true},
        {"plus sign", "+8", 8, 8.0, true},
        {"leading blanks", "  \t 12", 12, 12.0, true},
        {"trailing garbage", "12abc", 12, 12.0, true},
        {"fraction", "0.500000", 0, 0.5, false},
        {"exponent", "1.5e3", 1, 1500.0, true},
        {"leading dot", ".25", 0, 0.25, false},
        {"word", "yes", 0, 0.0, false},
        {"empty", "", 0, 0.0, false},
        {"two signs", "--5", 0, 0.0, false},
        {"minus one", "-1", -1, -1.0, true},
        {"two", "2", 2, 2.0, true},
        {"comma is no decimal point", "0,5", 0, 0.0, false},
        {"int overflow saturates", "99999999999", 2147483647, 99999999999.0, true},
        {"int underflow saturates", "-99999999999", -2147483647 - 1, -99999999999.0, true},
        {"huge float", "1e999", 1, HUGE_VAL, true},
        {"tiny float", "1e-999", 1, 0.0, true},
        {"tiny without exponent", "0." + std::string(400, '0') + "1", 0, 0.0, false},
        {"hexadecimal float", "0x1p3", 0, 8.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CIniFile ini;
        ASSERT_TRUE(ini.SetText("S", "k", c.value, true));
        EXPECT_EQ(ini.GetInt("S", "k", 7), c.asInt);
        EXPECT_EQ(ini.GetFloat("S", "k", 7.0), c.asFloat);
        EXPECT_EQ(ini.GetBool("S", "k", true), c.asBool);
    }
}

TEST(IniFileValues, DefaultsAndSettersUseTheFileForms) {
    CIniFile ini;
    EXPECT_EQ(ini.GetInt("S", "k", -5), -5);
    EXPECT_DOUBLE_EQ(ini.GetFloat("S", "k", 0.1234567), 0.123457);  // through "%f"
    EXPECT_TRUE(ini.GetBool("S", "k", true));
    EXPECT_FALSE(ini.GetBool("S", "k", false));
    EXPECT_EQ(ini.SectionCount(), 0);

    ini.SetInt("S", "i", -2147483647 - 1);
    ini.SetFloat("S", "f", 0.5);
    ini.SetFloat("S", "g", -1234.56789);
    ini.SetFloat("S", "h", 1e20);
    ini.SetBool("S", "t", true);
    ini.SetBool("S", "n", false);
    EXPECT_EQ(Dump(ini),
              "[S]\ni=-2147483648\nf=0.500000\ng=-1234.567890\nh=100000000000000000000.000000\nt=1\nn=0\n\n");
}

TEST(IniFileValues, NumbersIgnoreTheDesktopLocale) {
    CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma could be had";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");  // the locale is really in force
    CIniFile ini;
    ini.SetFloat("S", "f", 0.5);
    ini.SetText("S", "g", "1.25", true);
    EXPECT_EQ(ini.GetText("S", "f", ""), "0.500000");
    EXPECT_EQ(ini.GetFloat("S", "f", 0), 0.5);
    EXPECT_EQ(ini.GetFloat("S", "g", 0), 1.25);
    EXPECT_EQ(ini.GetFloat("S", "missing", 2.5), 2.5);
}

TEST(IniFileEditing, SetTextCreatesOnlyWhenAsked) {
    CIniFile ini;
    EXPECT_FALSE(ini.SetText("A", "k", "v", false));
    EXPECT_EQ(ini.SectionCount(), 0);
    EXPECT_TRUE(ini.SetText("A", "Key", "v", true));
    EXPECT_FALSE(ini.SetText("A", "other", "v", false));
    EXPECT_TRUE(ini.SetText("a", "KEY", "w", false));
    EXPECT_EQ(Dump(ini), "[A]\nKey=w\n\n");
}

TEST(IniFileEditing, LineBreaksCannotForgeLines) {
    CIniFile ini;
    EXPECT_FALSE(ini.SetText("A", "k", "v\n[Evil]\nx=y", true));
    EXPECT_FALSE(ini.SetText("A\nB", "k", "v", true));
    EXPECT_FALSE(ini.SetText("A", "k\n", "v", true));
    EXPECT_EQ(ini.SectionCount(), 0);

    ini.SetPath((fs::temp_directory_path() / ("tarq_ini_lf_" + std::to_string(getpid()))).string());
    ini.AddSection("A");
    ini.AddSectionComment(0, "one\ntwo");
    EXPECT_FALSE(ini.Write());
    EXPECT_NE(ini.GetLastError().find("line break"), std::string::npos);
    EXPECT_FALSE(fs::exists(ini.GetPath()));
}

TEST(IniFileEditing, SectionsCommentsAndDeletes) {
    CIniFile ini;
    EXPECT_EQ(ini.AddSection("S"), 0);
    EXPECT_EQ(ini.AddSection("s"), 1);  // no search for an existing one
    ini.AddHeaderComment(" top");
    EXPECT_TRUE(ini.AddSectionComment(1, "second"));
    EXPECT_TRUE(ini.AddSectionComment("S", "first"));
    EXPECT_FALSE(ini.AddSectionComment(2, "x"));
    EXPECT_FALSE(ini.AddSectionComment("T", "x"));
    ini.SetText("S", "a", "1", true);
    ini.SetText("S", "b", "2", true);
    EXPECT_EQ(Dump(ini), "; top\n\n[S]\n;first\na=1\nb=2\n\n[s]\n;second\n\n");

    ini.SetText("S", "c", "3", true);
    EXPECT_TRUE(ini.DeleteEntry("s", "A"));
    EXPECT_FALSE(ini.DeleteEntry("S", "a"));
    EXPECT_EQ(ini.FindEntry(0, "C"), 1);  // later entries move up
    EXPECT_EQ(ini.GetText("S", "b", ""), "2");
    EXPECT_TRUE(ini.DeleteEntry("S", "c"));
    EXPECT_FALSE(ini.DeleteEntry("T", "b"));
    EXPECT_TRUE(ini.DeleteSection("S"));  // the first of the two
    EXPECT_EQ(Dump(ini), "; top\n\n[s]\n;second\n\n");
    EXPECT_TRUE(ini.DeleteSection("S"));
    EXPECT_FALSE(ini.DeleteSection("S"));
    EXPECT_EQ(Dump(ini), "; top\n\n");

    ini.SetPath("kept");
    ini.Clear();
    EXPECT_EQ(Dump(ini), "");
    EXPECT_EQ(ini.GetPath(), "kept");
}
