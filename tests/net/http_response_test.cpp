#include "net/http_response.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    std::string outcome;  // "done", "more" or "failed <id> <detail>"
    HttpResponseParser::Head head;
    std::string body;
};

// Feeds the bytes in pieces of the given size, as a socket might deliver them.
Parsed Parse(const std::string& bytes, size_t piece = 1 << 20) {
    HttpResponseParser parser;
    Parsed out;
    for (size_t at = 0; at < bytes.size() || at == 0; at += piece) {
        parser.Append(bytes.data() + std::min(at, bytes.size()),
                      std::min(piece, bytes.size() - std::min(at, bytes.size())));
        for (;;) {
            HttpResponseParser::Step step = parser.Next(out.body);
            if (step == HttpResponseParser::Step::NeedMore) break;
            if (step == HttpResponseParser::Step::Done) {
                out.outcome = "done";
                out.head = parser.GetHead();
                return out;
            }
            if (step == HttpResponseParser::Step::Failed) {
                out.outcome = "failed " + std::to_string(parser.ErrorId()) + " " + parser.ErrorDetail();
                return out;
            }
        }
        if (bytes.empty()) break;
    }
    out.outcome = "more";
    out.head = parser.GetHead();
    return out;
}

TEST(HttpResponseParserTest, Table) {
    const std::string kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::string outcome;
        std::string body;
    };
    const Case cases[] = {
        {"plain CR LF", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", "done", "hello"},
        {"LF only lines", "HTTP/1.1 200 OK\nContent-Length: 5\n\nhello", "done", "hello"},
        {"names in any case, blanks around values", "HTTP/1.1 200 OK\r\ncontent-LENGTH:\t 5  \r\n\r\nhello",
         "done", "hello"},
        {"content length 0 completes at once", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "done", ""},
        {"bytes past the length are not body", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhello", "done",
         "he"},
        {"one chunk then 0", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
         "done", "hello"},
        {"chunk extensions",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n5;a=b\r\nhello\r\n0;x\r\n\r\n", "done",
         "hello"},
        {"several chunks",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\nA\r\n0123456789\r\n0\r\n", "done",
         "abc0123456789"},
        {"no reason phrase", "HTTP/1.1 200\r\nContent-Length: 1\r\n\r\nx", "done", "x"},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", "failed 282 zz",
         ""},
        {"zero with junk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0x\r\n", "failed 282 0x",
         ""},
        {"unknown encoding", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n", "failed 279 gzip", ""},
        {"status line without code", "HTTP/1.1\r\n\r\n", "failed 270 HTTP/1.1", ""},
        {"not HTTP", "SSH-2.0-x\r\n", "failed 270 SSH-2.0-x", ""},
        {"header without colon", "HTTP/1.1 200 OK\r\nbroken\r\n\r\n", "failed 270 broken", ""},
        {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -4\r\n\r\n", "failed 270 Content-Length: -4",
         ""},
        {"huge length", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n", "failed 285 99999999999",
         ""},
        {"huge chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nfffffffffff\r\n",
         "failed 285 fffffffffff", ""},
        {"unending header block", "HTTP/1.1 200 OK\r\n" + std::string(40000, 'a'), "failed 285 header", ""},
        // The longest chunk-size line allowed, whole or split before its LF.
        {"chunk-size line of the limit", kChunked + "1;" + std::string(1022, 'x') + "\r\nA\r\n0\r\n", "done",
         "A"},
        {"chunk-size line one past the limit", kChunked + "1;" + std::string(1023, 'x') + "\r\nA\r\n0\r\n",
         "failed 282 line too long", ""},
        {"truncated body waits", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello", "more", "hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t piece : {size_t{1}, size_t{3}, size_t{1} << 20}) {
            SCOPED_TRACE(piece);
            Parsed p = Parse(c.bytes, piece);
            EXPECT_EQ(p.outcome, c.outcome);
            EXPECT_EQ(p.body, c.body);
        }
    }
}

TEST(HttpResponseParserTest, HeadFieldsAndStopAtHeadDone) {
    HttpResponseParser parser;
    const std::string bytes =
        "HTTP/1.1 302 Found\r\nLocation:  /next.txt \r\ncontent-type: TEXT/plain\r\nContent-Length: "
        "0\r\n\r\n";
    parser.Append(bytes.data(), bytes.size());
    std::string body;
    ASSERT_EQ(parser.Next(body), HttpResponseParser::Step::HeadDone);
    EXPECT_EQ(parser.GetHead().status, 302);
    EXPECT_EQ(parser.GetHead().location, "/next.txt");
    EXPECT_TRUE(parser.GetHead().text);
    EXPECT_EQ(parser.GetHead().contentLength, 0);
}

}  // namespace
