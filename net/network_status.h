// The network status fetch: "status.txt" from the status root tells where
// the server lists are (and may carry a message for the users, or say that
// it moved); one of those lists is downloaded and each usable server handed
// on. Every fetch starts afresh from the status root.
// Tested by tests/net/network_status_test.cpp against a loopback server.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct NetworkStatusFile {
    std::vector<std::string> serverListUrls;  // "url0" lines
    std::string movedTo;                      // "moveto0": reading stopped there
    std::vector<std::string> messages;        // "msg0" lines
};

// Comments run from ';' to the end of the line; keys compare exactly.
NetworkStatusFile ParseNetworkStatus(const std::string& text);

struct NetworkServer {
    std::string name;
    std::string description;
    std::string address;
};

// The servers of a server list: after the "!SERVERS" line, each line of five
// fields or more whose fifth is "1" ("name:address:location:description:1").
// Lines with a blank or empty name or address are dropped and counted in
// *dropped. True when the section ended with a line of four fields or fewer;
// false when there was no section or the text ended inside it.
bool ParseServerList(const std::string& text, std::vector<NetworkServer>& servers, int* dropped = nullptr);

struct NetworkStatusCallbacks {
    std::function<void(const NetworkServer& server)> server;
    std::function<void(const std::string& message)> message;
};

// Blocks the calling thread until a server list was read (true) or every
// way failed (false, the reason in *why). Only the servers of the list that
// was read completely are handed on. seed orders the server lists; stop
// ends the fetch early.
bool FetchNetworkStatus(const std::string& statusRoot, const NetworkStatusCallbacks& callbacks, uint32_t seed,
                        std::string* why = nullptr, const std::atomic<bool>* stop = nullptr);
