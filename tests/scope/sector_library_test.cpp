// The shared parsed sectors: one parse for every holder of an unchanged
// file, a new parse when the file's modification time or size changed, on a
// forced reload, or once no one holds the old one; a failed parse says why.
#include "scope/sector_library.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "scope_fixture.h"

namespace {

class SectorLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { dir.Write("s.sct2", kSmallSector); }
    SectorLoadResult Load(bool force = false) { return library.Load(dir.File("s.sct2"), "", force); }

    TempDir dir;
    SectorLibrary library;
};

TEST_F(SectorLibraryTest, AnUnchangedFileIsParsedOnceForAllItsHolders) {
    SectorLoadResult first = Load();
    ASSERT_NE(first.sector, nullptr);
    SectorLoadResult second = Load();
    EXPECT_EQ(second.sector, first.sector);
    EXPECT_EQ(library.ParseCount(), 1);
    // Shifted by minus the file's centre, N40 W74.
    EXPECT_DOUBLE_EQ(first.sector->offset.x, 74.0);
    EXPECT_DOUBLE_EQ(first.sector->offset.y, -40.0);
    EXPECT_DOUBLE_EQ(first.sector->data.centre.x, 0.0);
}

TEST_F(SectorLibraryTest, AChangedFileIsParsedAgain) {
    const std::filesystem::path path = dir.File("s.sct2");
    struct Case {
        const char* name;
        std::function<void()> change;
        bool reparsed;
    } cases[] = {
        {"nothing changed", [] {}, false},
        {"same size, newer modification time",
         [&] {
             std::filesystem::last_write_time(
                 path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
         },
         true},
        {"same time, another size",
         [&] {
             auto stamp = std::filesystem::last_write_time(path);
             dir.Write("s.sct2", std::string(kSmallSector) + "\n");
             std::filesystem::last_write_time(path, stamp);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SectorLoadResult before = Load();
        int parses = library.ParseCount();
        c.change();
        SectorLoadResult after = Load();
        ASSERT_NE(after.sector, nullptr);
        EXPECT_EQ(library.ParseCount(), parses + (c.reparsed ? 1 : 0));
        EXPECT_EQ(after.sector != before.sector, c.reparsed);
        // The old parse stays whole for whoever still shows it.
        EXPECT_FALSE(before.sector->data.vors.empty());
    }
}

TEST_F(SectorLibraryTest, AForcedLoadOrNoHolderLeftParsesAgain) {
    SectorLoadResult first = Load();
    SectorLoadResult forced = Load(true);
    EXPECT_NE(forced.sector, first.sector);
    EXPECT_EQ(library.ParseCount(), 2);
    // The newest parse is the one shared from now on.
    EXPECT_EQ(Load().sector, forced.sector);
    EXPECT_EQ(library.ParseCount(), 2);

    first = {};
    forced = {};
    EXPECT_NE(Load().sector, nullptr);
    EXPECT_EQ(library.ParseCount(), 3);
}

TEST_F(SectorLibraryTest, AFailedParseGivesNoSectorAndTheParsersError) {
    SectorLoadResult missing = library.Load(dir.File("none.sct2"), "", false);
    EXPECT_EQ(missing.sector, nullptr);
    EXPECT_FALSE(missing.error.message.empty());
    // A failure is not kept: the file is read again next time.
    library.Load(dir.File("none.sct2"), "", false);
    EXPECT_EQ(library.ParseCount(), 2);
}

}  // namespace
