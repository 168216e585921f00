// Tested by tests/net/http_response_test.cpp; fuzzed by http_response_fuzzer.
#include "net/http_response.h"

#include <algorithm>
#include <charconv>

#include "foundation/text_helpers.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool HttpResponseParser::TakeLine(std::string& line) {
    size_t end = m_buffer.find('\n', m_offset);
    if (end == std::string::npos) return false;
    size_t stop = end;
    if (stop > m_offset && m_buffer[stop - 1] == '\r') --stop;
    line.assign(m_buffer, m_offset, stop - m_offset);
    m_offset = end + 1;
    return true;
}

HttpResponseParser::Step HttpResponseParser::Fail(unsigned id, const std::string& detail) {
    m_phase = Phase::Failed;
    m_errorId = id;
    m_errorDetail = detail;
    m_buffer.clear();
    m_offset = 0;
    return Step::Failed;
}

HttpResponseParser::Step HttpResponseParser::Next(std::string& body) {
    if (m_offset > 0 && m_offset * 2 > m_buffer.size()) {
        m_buffer.erase(0, m_offset);
        m_offset = 0;
    }
    std::string line;
    for (;;) {
        switch (m_phase) {
            case Phase::StatusLine:
            case Phase::Headers: {
                const size_t before = m_offset;
                if (!TakeLine(line)) {
                    if (m_headBytes + m_buffer.size() - m_offset > kMaxHeadBytes) return Fail(285, "header");
                    return Step::NeedMore;
                }
                m_headBytes += m_offset - before;
                if (m_headBytes > kMaxHeadBytes) return Fail(285, "header");
                Step step = HeadLine(line);
                if (step != Step::NeedMore) return step;
                break;  // the next line
            }
            case Phase::Body:
                if (m_head.contentLength >= 0) return TakeBody(body, m_head.contentLength - m_bodyBytes);
                return TakeBody(body, kMaxBodyBytes + 1 - m_bodyBytes);
            case Phase::ChunkSize: {
                if (!TakeLine(line)) {
                    // A CR at the end may be the start of the terminator, which the
                    // whole-line check does not count either: however TCP splits
                    // the line, the same line gets the same answer.
                    size_t pending = m_buffer.size() - m_offset;
                    if (pending > 0 && m_buffer.back() == '\r') --pending;
                    if (pending > kMaxChunkLineBytes) return Fail(282, "line too long");
                    return Step::NeedMore;
                }
                Step step = ChunkSizeLine(line);
                if (step != Step::NeedMore) return step;
                break;  // the chunk's data, or the next line after a blank one
            }
            case Phase::ChunkData: {
                Step step = TakeBody(body, m_chunkLeft);
                if (step != Step::NeedMore || m_phase != Phase::ChunkSize) return step;
                break;
            }
            case Phase::Done:
                return Step::Done;
            case Phase::Failed:
                return Step::Failed;
        }
    }
}

HttpResponseParser::Step HttpResponseParser::HeadLine(const std::string& line) {
    if (m_phase == Phase::StatusLine) {
        // "HTTP/1.1 200 OK"; some servers leave out the reason and its blank.
        size_t blank = line.find(' ');
        if (line.compare(0, 5, "HTTP/") != 0 || blank == std::string::npos) return Fail(270, line);
        size_t end = line.find(' ', blank + 1);
        std::string code =
            line.substr(blank + 1, end == std::string::npos ? std::string::npos : end - blank - 1);
        int status = 0;
        auto [ptr, error] = std::from_chars(code.data(), code.data() + code.size(), status);
        if (error != std::errc() || ptr != code.data() + code.size() || code.size() != 3 || status < 100)
            return Fail(270, line);
        m_head.status = status;
        m_phase = Phase::Headers;
        return Step::NeedMore;
    }
    if (line.empty()) {
        if (m_head.chunked) {
            m_phase = Phase::ChunkSize;
        } else if (m_head.contentLength == 0) {
            m_phase = Phase::Done;
        } else {
            m_phase = Phase::Body;
        }
        return Step::HeadDone;
    }
    size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return Fail(270, line);
    const std::string name = ToLower(TrimBlanks(line.substr(0, colon)));
    const std::string value = TrimBlanks(line.substr(colon + 1));
    if (name == "content-length") {
        int64_t length = -1;
        auto [ptr, error] = std::from_chars(value.data(), value.data() + value.size(), length);
        if (error != std::errc() || ptr != value.data() + value.size() || value.empty() || length < 0)
            return Fail(270, line);
        if (length > kMaxBodyBytes) return Fail(285, value);
        m_head.contentLength = length;
    } else if (name == "transfer-encoding") {
        if (ToLower(value) != "chunked") return Fail(279, value);
        m_head.chunked = true;
    } else if (name == "content-type") {
        m_head.text = ToLower(value).compare(0, 4, "text") == 0;
    } else if (name == "location") {
        m_head.location = value;
    }
    return Step::NeedMore;
}

HttpResponseParser::Step HttpResponseParser::ChunkSizeLine(const std::string& line) {
    // The blank line after a chunk's data.
    if (line.empty()) return Step::NeedMore;
    if (line.size() > kMaxChunkLineBytes) return Fail(282, "line too long");
    int64_t size = 0;
    size_t i = 0;
    for (; i < line.size() && HexDigit(line[i]) >= 0; ++i) {
        size = size * 16 + HexDigit(line[i]);
        if (size > kMaxBodyBytes) return Fail(285, line);
    }
    // Digits, then optional blanks, then optional ";name=value" extensions.
    size_t rest = i;
    while (rest < line.size() && (line[rest] == ' ' || line[rest] == '\t')) ++rest;
    if (i == 0 || (rest < line.size() && line[rest] != ';')) return Fail(282, line);
    if (m_bodyBytes + size > kMaxBodyBytes) return Fail(285, line);
    if (size == 0) {
        m_phase = Phase::Done;
        return Step::Done;
    }
    m_chunkLeft = size;
    m_phase = Phase::ChunkData;
    return Step::NeedMore;
}

HttpResponseParser::Step HttpResponseParser::TakeBody(std::string& body, int64_t want) {
    const int64_t available = static_cast<int64_t>(m_buffer.size() - m_offset);
    const int64_t take = std::min(available, want);
    if (take > 0) {
        body.append(m_buffer, m_offset, static_cast<size_t>(take));
        m_offset += static_cast<size_t>(take);
        m_bodyBytes += take;
        if (m_phase == Phase::ChunkData) m_chunkLeft -= take;
    }
    if (m_phase == Phase::Body) {
        if (m_bodyBytes > kMaxBodyBytes) return Fail(285, "body");
        if (m_head.contentLength >= 0 && m_bodyBytes >= m_head.contentLength) {
            m_phase = Phase::Done;
            // Bytes beyond the announced length are not part of this response.
            m_buffer.clear();
            m_offset = 0;
        }
    } else if (m_phase == Phase::ChunkData && m_chunkLeft == 0) {
        m_phase = Phase::ChunkSize;
    }
    if (take > 0) return Step::Body;
    return m_phase == Phase::Done ? Step::Done : Step::NeedMore;
}
