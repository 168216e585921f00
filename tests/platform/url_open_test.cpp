#include "platform/url_open.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "platform/atomic_file.h"

namespace {

TEST(OpenUrl, OnlyPlainHttpAndHttpsAddressesPass) {
    struct Case {
        const char* name;
        const char* url;
        bool expected;
    };
    const Case cases[] = {
        {"http", "http://example.org/Tarq/docs/", true},
        {"https upper-case scheme", "HTTPS://example.org/", true},
        {"file", "file:///etc/passwd", false},
        {"no scheme", "example.org", false},
        {"other scheme", "javascript:alert(1)", false},
        {"empty host", "http://", false},
        {"slash host", "http:///etc/passwd", false},
        {"blank", "http://example.org/a b", false},
        {"newline", "http://example.org/\n--help", false},
        {"option-like", "--help", false},
        {"high byte", "http://exampl\xe9.org/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsOpenableUrl(c.url), c.expected);
    }
}

TEST(OpenUrl, StartsXdgOpenWithTheAddressAsOneArgument) {
    auto dir = std::filesystem::temp_directory_path() / ("tarq-url-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto out = dir / "argument.txt";
    auto script = dir / "xdg-open";
    // Written aside and renamed, so the test never reads a half-written file.
    WriteFileAtomically(script.string(), "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + out.string() +
                                             ".part' && mv '" + out.string() + ".part' '" + out.string() +
                                             "'\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);

    EXPECT_FALSE(OpenUrl("file:///etc/passwd"));
    ASSERT_TRUE(OpenUrl("https://example.org/Tarq/?a=1&b=2"));
    std::string written;
    for (int i = 0; i < 200 && !ReadWholeFile(out.string(), written); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(written, "1|https://example.org/Tarq/?a=1&b=2");
    std::filesystem::remove_all(dir);
}

// Children of this process that have not been reaped: running or zombies.
int UnreapedChildren() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string stat;
        if (!ReadWholeFile((entry.path() / "stat").string(), stat)) continue;
        size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        // After the command's closing parenthesis: state, then the parent's pid.
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        int parent = 0;
        fields >> state >> parent;
        if (parent == getpid()) ++count;
    }
    return count;
}

TEST(OpenUrl, EveryLauncherIsReapedAlsoAfterQuickCalls) {
    auto dir = std::filesystem::temp_directory_path() / ("tarq-url-reap-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto script = dir / "xdg-open";
    WriteFileAtomically(script.string(), "#!/bin/sh\nsleep 0.2\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);
    ASSERT_EQ(UnreapedChildren(), 0);
    ASSERT_TRUE(OpenUrl("https://example.org/one"));
    ASSERT_TRUE(OpenUrl("https://example.org/two"));
    setenv("PATH", oldPath.c_str(), 1);
    for (int i = 0; i < 300 && UnreapedChildren() != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(UnreapedChildren(), 0) << "a launcher was left as a zombie";
    std::filesystem::remove_all(dir);
}

}  // namespace
