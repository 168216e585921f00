// A small HTTP server on an ephemeral loopback port, run on its own thread,
// that answers each path with canned bytes: good answers, chunked bodies,
// redirects, error statuses, and the broken ones (truncated, silent, bad
// header). The HTTP, status, version, type-database and tracks tests point
// their addresses at it.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    struct Reply {
        std::string bytes;                    // sent exactly as given
        size_t sendOnly = std::string::npos;  // then the connection closes
        bool silent = false;                  // reads the request and never answers
    };
    static Reply Ok(const std::string& body, const std::string& type = "text/plain");
    // The body in the given pieces; ext is appended to each size line.
    static Reply Chunked(const std::vector<std::string>& chunks, const std::string& ext = "");
    static Reply Redirect(int status, const std::string& location);
    static Reply Status(int status);
    // Announces the whole body but sends only the first sent bytes of it.
    static Reply Truncated(const std::string& body, size_t sent);
    static Reply Silent();
    static Reply Raw(const std::string& bytes);

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // The reply for a path (without its query); unknown paths get 404.
    void Route(const std::string& path, Reply reply);
    uint16_t Port() const { return m_port; }
    // "http://127.0.0.1:port" + path.
    std::string Url(const std::string& path = "/") const;
    // The request heads received so far, in order.
    std::vector<std::string> Requests() const;
    int Connections() const { return m_connections.load(); }

private:
    struct Connection {
        int fd;
        std::string in;
        std::string out;
        bool answered = false;
        bool silent = false;
    };
    void Run();
    void Answer(Connection& c, const std::string& head);

    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_lock;  // guards m_routes and m_requests
    std::map<std::string, Reply> m_routes;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
