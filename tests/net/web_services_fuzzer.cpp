// Fuzz target: arbitrary bytes as "web_services.txt". Reading it must not
// crash, and every address comes out on one line without blanks around it.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "net/web_services.h"

namespace {

const std::string& Directory() {
    static const std::string directory = [] {
        char name[] = "/tmp/tarq_web_services_fuzz_XXXXXX";
        if (!mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return directory;
}

void CheckAddress(const std::string& value) {
    if (value.find('\n') != std::string::npos) std::abort();
    if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) return 0;
    {
        std::ofstream file(Directory() + "/" + kWebServicesFile, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const WebServiceAddresses addresses = ReadWebServiceAddresses(Directory());
    CheckAddress(addresses.statusRoot);
    CheckAddress(addresses.webService);
    CheckAddress(addresses.downloadPage);
    addresses.VersionCheckUrl();
    addresses.OceanicTracksUrl();
    return 0;
}
