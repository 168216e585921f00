#include "net/url.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlTest, Split) {
    struct Case {
        const char* url;
        bool ok;
        const char* scheme;
        const char* host;
        uint16_t port;
        const char* path;
    };
    const Case cases[] = {
        {"http://example.net", true, "http", "example.net", 80, "/"},
        {"http://example.net/a/b.txt?x=1", true, "http", "example.net", 80, "/a/b.txt?x=1"},
        {"http://127.0.0.1:8080/s", true, "http", "127.0.0.1", 8080, "/s"},
        {"http://h?ver=1", true, "http", "h", 80, "/?ver=1"},
        {"https://example.net/", true, "https", "example.net", 80, "/"},
        {"example.net/status.txt", false, "", "", 80, ""},
        {"http:///path", false, "", "", 80, ""},
        {"http://h:0/", false, "", "", 80, ""},
        {"http://h:99999/", false, "", "", 80, ""},
        {"http://h:80x/", false, "", "", 80, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        HttpUrl u;
        EXPECT_EQ(SplitUrl(c.url, u), c.ok);
        EXPECT_EQ(u.scheme, c.scheme);
        EXPECT_EQ(u.host, c.host);
        EXPECT_EQ(u.port, c.port);
        EXPECT_EQ(u.path, c.path);
    }
}

TEST(UrlTest, ResolveLocation) {
    HttpUrl base;
    ASSERT_TRUE(SplitUrl("http://h:81/dir/file.txt?q=1", base));
    struct Case {
        const char* location;
        const char* expected;
    };
    const Case cases[] = {
        {"http://other/x", "http://other/x"},
        {"//other:82/y", "http://other:82/y"},
        {"/root.txt", "http://h:81/root.txt"},
        {"next.txt", "http://h:81/dir/next.txt"},
        {"sub/next.txt#frag", "http://h:81/dir/sub/next.txt"},
        {"?q=2", "http://h:81/dir/file.txt?q=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        EXPECT_EQ(ResolveLocation(base, c.location), c.expected);
    }
}

TEST(UrlTest, EncodeAndAppend) {
    EXPECT_EQ(UrlEncode("EDDF_N&TWR =x"), "EDDF_N%26TWR%20%3Dx");
    EXPECT_EQ(AppendUrlPath("http://h/root", "status.txt"), "http://h/root/status.txt");
    EXPECT_EQ(AppendUrlPath("http://h/root/", "/status.txt"), "http://h/root/status.txt");
}

}  // namespace
