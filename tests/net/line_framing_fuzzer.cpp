// Fuzz target of the network connection's line framing and receive buffer:
// arbitrary bytes arrive over a real stream socket in pieces while the owner
// takes a few lines per poll. The lines delivered must be exactly the
// stream cut at each terminator, with over-long lines dropped whole, and the
// unfinished tail delivered when the peer closes.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/halk_buffered_socket.h"

namespace {

class Collector : public HalkBufferedSocketDataHandler {
public:
    void OnLine(HalkBufferedSocket*, const char* text, size_t length) override { lines.emplace_back(text, length); }
    void OnStateChange(HalkBufferedSocket*, int, int) override {}
    std::vector<std::string> lines;
};

constexpr std::string_view kTerminators[] = {"\r\n", "\n", "\r", "\n\n"};
constexpr int kLinesPerPoll[] = {-1, 1, 2, 5};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 48 * 1024) return 0;
    const std::string_view terminator = kTerminators[data[0] & 3];
    const int linesPerPoll = kLinesPerPoll[(data[0] >> 2) & 3];
    const size_t piece = 1 + data[1] * 64;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);

    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) std::abort();
    Collector collector;
    {
        HalkBufferedSocket connection(HalkSocket::Adopt(fds[0]));
        connection.SetTerminator(terminator);
        connection.SetDataHandler(&collector);
        for (size_t at = 0; at < stream.size(); at += piece) {
            const size_t n = std::min(piece, stream.size() - at);
            if (write(fds[1], stream.data() + at, n) != static_cast<ssize_t>(n)) std::abort();
            connection.Poll(linesPerPoll);
        }
        shutdown(fds[1], SHUT_WR);
        for (int polls = 0; connection.GetState() != HalkSocket::kClosed; ++polls) {
            if (polls > 100000) std::abort();  // the lines never drained
            connection.Poll(linesPerPoll);
        }
    }
    close(fds[1]);

    std::vector<std::string> expected;
    size_t start = 0;
    bool tailComparable = true;
    for (;;) {
        const size_t end = stream.find(terminator, start);
        if (end == std::string_view::npos) break;
        const size_t length = end + terminator.size() - start;
        if (length <= HalkBufferedSocket::kMaxLineBytes) expected.emplace_back(stream.substr(start, length));
        start = end + terminator.size();
    }
    if (start < stream.size()) {
        const size_t tail = stream.size() - start;
        // Near the limit, whether the tail already counts as over-long is
        // the buffer's own choice; both are sound.
        if (tail < HalkBufferedSocket::kMaxLineBytes - terminator.size())
            expected.emplace_back(stream.substr(start));
        else
            tailComparable = false;
    }
    std::vector<std::string>& got = collector.lines;
    if (!tailComparable && got.size() == expected.size() + 1) got.pop_back();
    if (got != expected) std::abort();
    for (const std::string& line : got)
        if (line.size() > HalkBufferedSocket::kMaxLineBytes) std::abort();
    return 0;
}
