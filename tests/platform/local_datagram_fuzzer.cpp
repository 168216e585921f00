// Fuzz target of the datagrams other processes send us: the external
// push-to-talk byte and the second instance's raise request. Arbitrary
// datagrams arrive on the real sockets; every 0 and 1 byte is an unkey or a
// key in order, and only a datagram starting with the raise byte counts as a
// raise request.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/external_ptt.h"
#include "platform/single_instance.h"

namespace {

constexpr const char* kName = "fuzz";

struct Sockets {
    std::string dir;
    std::unique_ptr<ExternalPttSocket> ptt;
    std::unique_ptr<SingleInstance> instance;
    int sender = -1;
};

Sockets& Get() {
    static Sockets* sockets = [] {
        auto* s = new Sockets;
        char name[] = "/tmp/tarq_datagram_fuzz_XXXXXX";
        if (!mkdtemp(name)) std::abort();
        s->dir = name;
        s->ptt = std::make_unique<ExternalPttSocket>(s->dir, kName);
        s->instance = std::make_unique<SingleInstance>(kName, s->dir);
        if (!s->ptt->Open() || !s->instance->Acquire() || s->instance->RaiseFd() < 0) std::abort();
        s->sender = socket(AF_UNIX, SOCK_DGRAM, 0);
        if (s->sender < 0) std::abort();
        return s;
    }();
    return *sockets;
}

void SendTo(int sender, const std::string& path, const uint8_t* data, size_t size) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (sendto(sender, data, size, 0, reinterpret_cast<sockaddr*>(&address), sizeof address) !=
        static_cast<ssize_t>(size))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sockets& s = Get();
    const std::string pttPath = ExternalPttSocket::SocketPath(s.dir, kName);
    const std::string raisePath = s.dir + "/tarq-" + kName + ".sock";
    // Each datagram is a length byte and up to that many bytes after it.
    for (size_t at = 0; at < size;) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        const uint8_t* datagram = data + at + 1;
        at += 1 + length;

        std::vector<bool> expected;
        for (size_t i = 0; i < length; ++i)
            if (datagram[i] <= 1) expected.push_back(datagram[i] == 1);
        SendTo(s.sender, pttPath, datagram, length);
        if (s.ptt->TakeEvents() != expected) std::abort();

        SendTo(s.sender, raisePath, datagram, length);
        const int raises = s.instance->TakeRaiseRequests();
        if (raises != (length >= 1 && datagram[0] == 'R' ? 1 : 0)) std::abort();
    }
    return 0;
}
