// Single instance and external push-to-talk: the two local sockets.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/external_ptt.h"
#include "platform/single_instance.h"
#include "tests/temp_dir.h"

namespace {

class RuntimeDir : public ::testing::Test {
protected:
    const std::string& Dir() const { return m_dir.Path(); }

private:
    TempDir m_dir;
};

using SingleInstanceTest = RuntimeDir;

TEST_F(SingleInstanceTest, SecondInstanceIsRefusedAndRaisesTheFirst) {
    SingleInstance first("{GUID}", Dir());
    ASSERT_TRUE(first.Acquire());
    EXPECT_EQ(first.TakeRaiseRequests(), 0);

    SingleInstance second("{GUID}", Dir());
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.RequestRaise());
    EXPECT_TRUE(second.RequestRaise());
    EXPECT_EQ(first.TakeRaiseRequests(), 2);
    EXPECT_EQ(first.TakeRaiseRequests(), 0);

    SingleInstance other("{OTHER}", Dir());
    EXPECT_TRUE(other.Acquire());
}

TEST_F(SingleInstanceTest, LockIsFreeAgainWhenTheFirstEnds) {
    {
        SingleInstance first("{GUID}", Dir());
        ASSERT_TRUE(first.Acquire());
    }
    SingleInstance next("{GUID}", Dir());
    EXPECT_TRUE(next.Acquire());
    // The socket left behind is replaced, so requests reach the new owner.
    SingleInstance asker("{GUID}", Dir());
    EXPECT_TRUE(asker.RequestRaise());
    EXPECT_EQ(next.TakeRaiseRequests(), 1);
}

TEST(SingleInstanceRuntimeDir, EachUserHasItsOwnWithoutXdgRuntimeDir) {
    const char* saved = getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", "/run/user/elsewhere", 1);
    EXPECT_EQ(SingleInstance::DefaultRuntimeDir(), "/run/user/elsewhere");
    unsetenv("XDG_RUNTIME_DIR");
    std::string dir = SingleInstance::DefaultRuntimeDir();
    EXPECT_EQ(dir, "/tmp/tarq-" + std::to_string(getuid()));
    struct stat info {};
    ASSERT_EQ(stat(dir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

TEST_F(SingleInstanceTest, RaiseWithNobodyListeningFails) {
    SingleInstance lonely("{NOBODY}", Dir());
    EXPECT_FALSE(lonely.RequestRaise());
}

using ExternalPttTest = RuntimeDir;

TEST_F(ExternalPttTest, BytesOneAndZeroKeyAndUnkeyInOrder) {
    ExternalPttSocket socket(Dir());
    ASSERT_TRUE(socket.Open());
    EXPECT_TRUE(socket.TakeEvents().empty());
    EXPECT_TRUE(ExternalPttSocket::Send(Dir(), true));
    EXPECT_TRUE(ExternalPttSocket::Send(Dir(), false));
    EXPECT_TRUE(ExternalPttSocket::Send(Dir(), true));
    EXPECT_EQ(socket.TakeEvents(), (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(socket.TakeEvents().empty());
}

TEST_F(ExternalPttTest, OtherBytesAreIgnored) {
    ExternalPttSocket socket(Dir());
    ASSERT_TRUE(socket.Open());
    std::string path = ExternalPttSocket::SocketPath(Dir(), kExternalPttName);
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    const unsigned char junk[] = {'1', 7, 0xFF, 1};
    sendto(fd, junk, sizeof junk, 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(fd);
    EXPECT_EQ(socket.TakeEvents(), (std::vector<bool>{true}));
}

}  // namespace
