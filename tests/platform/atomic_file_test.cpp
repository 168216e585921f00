#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/temp_file.h"
#include "platform/thread_priority.h"
#include "tests/temp_dir.h"

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    TempDir m_tmp;
    fs::path m_dir{m_tmp.Path()};
};

TEST_F(AtomicFileTest, ReplacesTheWholeFileAndLeavesNoTemporary) {
    std::string path = (m_dir / "Tarq.ini").string();
    ASSERT_TRUE(WriteFileAtomically(path, "a long first content\r\n"));
    ASSERT_TRUE(WriteFileAtomically(path, "short\r\n"));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "short\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, FailureKeepsTheOldFileAndSaysWhy) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
    std::string path = (m_dir / "Tarq.ini").string();
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "new", &error));
    EXPECT_NE(error.find("temporary"), std::string::npos);
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "old");
}

TEST_F(AtomicFileTest, MissingDirectoryFails) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically((m_dir / "no" / "Tarq.ini").string(), "x", &error));
    EXPECT_FALSE(error.empty());
    std::string back;
    EXPECT_FALSE(ReadWholeFile((m_dir / "absent").string(), back));
}

TEST_F(AtomicFileTest, ANewFileIsTheOwnersAloneAndAnOldOneKeepsItsMode) {
    const std::string fresh = (m_dir / "Tarq.ini").string();
    ASSERT_TRUE(WriteFileAtomically(fresh, "CID=1234567\r\nPassword=secret\r\n"));
    EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const std::string shared = (m_dir / "aliases.txt").string();
    ASSERT_TRUE(WriteFileAtomically(shared, "old"));
    const fs::perms chosen = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(shared, chosen);
    ASSERT_TRUE(WriteFileAtomically(shared, "new"));
    EXPECT_EQ(fs::status(shared).permissions() & fs::perms::all, chosen);
}

TEST_F(AtomicFileTest, ALinkStaysALinkAndItsTargetIsWritten) {
    fs::create_directories(m_dir / "real");
    const fs::path target = m_dir / "real" / "Tarq.ini";
    ASSERT_TRUE(WriteFileAtomically(target.string(), "old"));
    fs::create_symlink("real/Tarq.ini", m_dir / "Tarq.ini");
    ASSERT_TRUE(WriteFileAtomically((m_dir / "Tarq.ini").string(), "new"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "Tarq.ini"));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(target.string(), back));
    EXPECT_EQ(back, "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "real"), fs::directory_iterator()), 1)
        << "no temporary left beside the target";
}

// A save killed between creating its temporary and the rename leaves the
// temporary; the next save (or start) removes it, but not a live writer's.
TEST_F(AtomicFileTest, TemporariesOfKilledSavesGoAtTheNextSave) {
    const std::string path = (m_dir / "Tarq.ini").string();
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    struct Case {
        std::string name;
        bool stays;
    };
    const Case cases[] = {
        {"Tarq.ini.tmpa1B2c3", false},                                   // the older form
        {"Tarq.ini.tmp" + std::to_string(gone) + "-Xy12Zq", false},      // its writer died
        {"Tarq.ini.tmp" + std::to_string(getppid()) + "-Xy12Zq", true},  // a live writer
        {"Tarq.ini.tmpnotes.txt", true},
        {"Other.ini.tmpa1B2c3", true},
    };
    for (const Case& c : cases) ASSERT_TRUE(WriteFileAtomically((m_dir / c.name).string(), "partial"));
    ASSERT_TRUE(WriteFileAtomically(path, "whole"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fs::exists(m_dir / c.name), c.stays);
    }

    ASSERT_TRUE(WriteFileAtomically((m_dir / "Tarq.ini.tmpq1w2e3").string(), "partial"));
    RemoveStaleTemporaries(path);
    EXPECT_FALSE(fs::exists(m_dir / "Tarq.ini.tmpq1w2e3")) << "also at start, before any save";
}

TEST_F(AtomicFileTest, TempFilesAreFreshAndFollowTmpdir) {
    const char* old = getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", m_dir.c_str(), 1);
    std::string a = MakeTempFile("netinfo");
    std::string b = MakeTempFile("netinfo");
    setenv("TMPDIR", "/nonexistent-tarq-dir", 1);
    EXPECT_EQ(MakeTempFile("verchk"), "") << "no directory, no file";
    if (old) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_NE(a, b);
    EXPECT_EQ(fs::path(a).parent_path(), m_dir);
    EXPECT_EQ(fs::path(a).filename().string().rfind("netinfo", 0), 0u);
    EXPECT_TRUE(fs::exists(a));
}

TEST(ThreadPriorityTest, WorkerMovesToIdle) {
    int policy = -1;
    std::thread worker([&] {
        if (!LowerThreadToIdlePriority()) return;
        sched_param param{};
        pthread_getschedparam(pthread_self(), &policy, &param);
    });
    worker.join();
    if (policy == -1) GTEST_SKIP() << "the system refused the idle class";
    EXPECT_EQ(policy, SCHED_IDLE);
}
