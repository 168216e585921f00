// HttpResponseParser: turns the bytes of one HTTP/1.1 response into its
// status, the headers the client uses and the decoded body (plain or
// chunked). It owns no socket and no file, so tests and the fuzzer feed it
// bytes directly; the client decides what a status means.
// Tested by tests/net/http_response_test.cpp; fuzzed by http_response_fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class HttpResponseParser {
public:
    // The status line and headers together; a server sending more is broken.
    static constexpr size_t kMaxHeadBytes = 32 * 1024;
    // One chunk-size line (with its extensions).
    static constexpr size_t kMaxChunkLineBytes = 1024;
    // The largest body accepted: the type database and the tracks are far smaller.
    static constexpr int64_t kMaxBodyBytes = 64 * 1024 * 1024;

    enum class Step {
        NeedMore,  // everything buffered is consumed
        HeadDone,  // the headers have ended: see GetHead()
        Body,      // body bytes were appended to the caller's text
        Done,      // the body is complete
        Failed,    // ErrorId() and ErrorDetail() say why
    };

    struct Head {
        int status = 0;
        int64_t contentLength = -1;  // -1 when not given
        bool chunked = false;
        bool text = false;  // "Content-Type" starts with "text"
        std::string location;
    };

    void Reset() { *this = HttpResponseParser(); }
    void Append(const char* data, size_t length) { m_buffer.append(data, length); }
    // Advances as far as one step; loop until NeedMore, Done or Failed.
    // Body steps append the decoded bytes to body.
    Step Next(std::string& body);

    const Head& GetHead() const { return m_head; }
    int64_t BodyBytes() const { return m_bodyBytes; }
    // String-table id of the failure (270, 279, 282, 285) and the detail
    // shown after it ("" when none).
    unsigned ErrorId() const { return m_errorId; }
    const std::string& ErrorDetail() const { return m_errorDetail; }

private:
    enum class Phase { StatusLine, Headers, Body, ChunkSize, ChunkData, Done, Failed };

    // The next line without its LF (and CR); false when none is complete yet.
    bool TakeLine(std::string& line);
    Step Fail(unsigned id, const std::string& detail);
    Step HeadLine(const std::string& line);
    Step ChunkSizeLine(const std::string& line);
    Step TakeBody(std::string& body, int64_t want);

    Phase m_phase = Phase::StatusLine;
    Head m_head;
    std::string m_buffer;
    size_t m_offset = 0;  // consumed bytes at the front of m_buffer
    size_t m_headBytes = 0;
    int64_t m_bodyBytes = 0;
    int64_t m_chunkLeft = 0;
    unsigned m_errorId = 0;
    std::string m_errorDetail;
};
