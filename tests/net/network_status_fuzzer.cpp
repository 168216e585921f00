// Fuzz target: arbitrary bytes as a downloaded "status.txt" and as a server
// list. Neither may crash, and every server handed on has a usable name and
// address, since the connect dialog offers it as it is.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/network_status.h"

namespace {

bool Blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const NetworkStatusFile status = ParseNetworkStatus(text);
    for (const std::string& url : status.serverListUrls)
        if (url.find('\n') != std::string::npos) std::abort();

    std::vector<NetworkServer> servers;
    int dropped = 0;
    ParseServerList(text, servers, &dropped);
    if (dropped < 0) std::abort();
    for (const NetworkServer& server : servers) {
        if (Blank(server.name) || Blank(server.address)) std::abort();
        if (server.address.find('\n') != std::string::npos) std::abort();
    }
    return 0;
}
