// Fuzz target: arbitrary bytes as an HTTP response, fed whole and then in
// small pieces; both feedings must reach the same end with the same body.
// The parser's own limits (head 32 KiB, body 64 MiB) bound the work.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/http_response.h"

namespace {

std::string Run(const uint8_t* data, size_t size, size_t piece, HttpResponseParser::Step& last) {
    HttpResponseParser parser;
    std::string body;
    last = HttpResponseParser::Step::NeedMore;
    for (size_t at = 0; at < size; at += piece) {
        parser.Append(reinterpret_cast<const char*>(data) + at, std::min(piece, size - at));
        for (;;) {
            last = parser.Next(body);
            if (last == HttpResponseParser::Step::NeedMore) break;
            if (last == HttpResponseParser::Step::Done || last == HttpResponseParser::Step::Failed)
                return body;
        }
    }
    return body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HttpResponseParser::Step whole;
    HttpResponseParser::Step pieces;
    std::string a = Run(data, size, size ? size : 1, whole);
    std::string b = Run(data, size, 7, pieces);
    if (whole == HttpResponseParser::Step::Done && (pieces != whole || a != b)) std::abort();
    return 0;
}
