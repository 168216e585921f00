// tarq_testclient: logs in to the local test server, sends a private message
// and a client-to-client strip push to a peer, waits for the same from the
// peer, and logs off. Exit code 0 when all of it happened in time.
//   tarq_testclient --port N --callsign CS --peer CS [--key KEY] [--seconds N]
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

#include "platform/clock.h"
#include "tools/testserver/test_client.h"
#include "tools/testserver/test_server.h"

int main(int argc, char** argv) {
    std::string callsign;
    std::string peer;
    std::string key = TestServerOptions{}.key;
    unsigned port = 0;
    unsigned seconds = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string_view arg = argv[i];
        std::string_view value = argv[i + 1];
        if (arg == "--callsign")
            callsign = value;
        else if (arg == "--peer")
            peer = value;
        else if (arg == "--key")
            key = value;
        else if (arg == "--port")
            std::from_chars(value.data(), value.data() + value.size(), port);
        else if (arg == "--seconds")
            std::from_chars(value.data(), value.data() + value.size(), seconds);
    }
    if (callsign.empty() || peer.empty() || port == 0 || port > 65535) {
        std::fprintf(stderr,
                     "usage: tarq_testclient --port N --callsign CS --peer CS [--key KEY] [--seconds N]\n");
        return 2;
    }

    TarqTestClient client(callsign, static_cast<uint16_t>(port), key);
    auto& clock = SystemClock::Instance();
    uint64_t deadline = clock.NowMs() + seconds * 1000ull;
    auto pumpUntil = [&](auto done) {
        while (!done() && clock.NowMs() < deadline) {
            client.Poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    };
    auto has = [&](const std::string& prefix) { return client.FindEvent(prefix) >= 0; };

    bool ok = client.Connect() && pumpUntil([&] { return has("State|2|3"); });
    // Ask the server until the peer is on line, so nothing is relayed into the void.
    uint64_t nextAsk = 0;
    ok = ok && pumpUntil([&] {
             if (clock.NowMs() >= nextAsk) {
                 client.Session().SendQuery(6, peer);
                 nextAsk = clock.NowMs() + 100;
             }
             return has("Reply|SERVER|6|Y|" + peer);
         });
    if (ok) {
        client.Session().SendTextMessage(peer, "hello from " + callsign);
        const std::string texts[] = {"EDDF", "FL350", "via " + callsign};
        client.Session().SendStripPush(peer, "DLH123", 2, texts);
    }
    ok = ok && pumpUntil([&] {
             return has("PrivateMessage|" + peer + "|" + callsign + "|hello from " + peer) &&
                    has("StripPush|" + peer + "|DLH123|2|EDDF,FL350,via " + peer);
         });
    client.Session().Disconnect(5);
    bool closed = pumpUntil([&] { return client.State() == HalkSession::kClosed; });
    if (!ok || !closed) {
        std::fprintf(stderr, "%s failed; events:\n", callsign.c_str());
        for (const std::string& event : client.Events()) std::fprintf(stderr, "  %s\n", event.c_str());
        return 1;
    }
    std::printf("%s done\n", callsign.c_str());
    return 0;
}
