// tarq_testserver: the local test server as a program.
//   tarq_testserver [--port N] [--scenario FILE] [--seconds N] [--key KEY]
//                   [--challenge-seconds N] [--wrong-answers] [--silent] [--voice-server HOST:PORT]
// --silent takes connections but never asks a client to identify itself, so
// a client's login stays pending (for trying out its cancel and time-out).
// Prints "listening on 127.0.0.1:<port>" once it listens (port 0 picks a free
// one) and stops by itself after --seconds (default 3600).
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "net/network_manager.h"
#include "platform/clock.h"
#include "tools/testserver/test_server.h"

namespace {

bool ToNumber(const char* text, uint64_t& value) {
    std::string_view s(text);
    auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    return result.ec == std::errc() && result.ptr == s.data() + s.size();
}

int Usage() {
    std::fprintf(stderr,
                 "usage: tarq_testserver [--port N] [--scenario FILE] [--seconds N] [--key KEY]\n"
                 "                       [--challenge-seconds N] [--wrong-answers] [--silent]\n"
                 "                       [--voice-server HOST:PORT]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    TestServerOptions options;
    // The key the program itself logs in with, so its challenge answers hold.
    options.key = TarqNetworkManager::LoginKey();
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        uint64_t number = 0;
        if (arg == "--wrong-answers") {
            options.wrongAnswers = true;
        } else if (arg == "--silent") {
            options.identify = false;
        } else if (!value) {
            return Usage();
        } else if (arg == "--port" && ToNumber(value, number) && number <= 65535) {
            options.port = static_cast<uint16_t>(number);
            ++i;
        } else if (arg == "--seconds" && ToNumber(value, number) && number <= 7 * 24 * 3600) {
            options.lifetimeMs = number * 1000;
            ++i;
        } else if (arg == "--challenge-seconds" && ToNumber(value, number) && number <= 24 * 3600) {
            options.challengeIntervalMs = number * 1000;
            ++i;
        } else if (arg == "--voice-server") {
            options.voiceServer = value;
            ++i;
        } else if (arg == "--key") {
            options.key = value;
            ++i;
        } else if (arg == "--scenario") {
            Result<Scenario> scenario = LoadScenario(value);
            if (!scenario) {
                const ParseError& e = scenario.Error();
                std::fprintf(stderr, "%s: line %d: %s\n", value, e.line, e.message.c_str());
                return 1;
            }
            options.scenario = std::move(scenario).Value();
            ++i;
        } else {
            return Usage();
        }
    }
    TarqTestServer server(std::move(options), SystemClock::Instance());
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(server.Port()));
    std::fflush(stdout);
    server.Run();
    return 0;
}
