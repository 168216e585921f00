// tarq_voiceserver: the local voice server, for demonstrations beside the
// local test server. Usage: tarq_voiceserver [port] (default 3782).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/voiceserver/voice_test_server.h"
#include "voice/voice_wire.h"

int main(int argc, char** argv) {
    long port = argc > 1 ? std::strtol(argv[1], nullptr, 10) : kVoiceServerPort;
    if (port < 0 || port > 65535) {
        std::fprintf(stderr, "tarq_voiceserver: %s is no port\n", argv[1]);
        return 2;
    }
    VoiceTestServer server;
    std::string error;
    if (!server.Start(static_cast<uint16_t>(port), true, &error)) {
        std::fprintf(stderr, "tarq_voiceserver: %s\n", error.c_str());
        return 1;
    }
    std::printf("voice server on port %u\n", server.Port());
    std::fflush(stdout);
    for (;;) {
        server.Poll();
        usleep(5000);
    }
}
