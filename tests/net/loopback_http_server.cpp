#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <list>

namespace {

std::string Head(int status, const std::string& extra) {
    return "HTTP/1.1 " + std::to_string(status) + " Canned\r\n" + extra + "\r\n";
}

}  // namespace

LoopbackHttpServer::Reply LoopbackHttpServer::Ok(const std::string& body, const std::string& type) {
    return {
        Head(200, "Content-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n") +
        body};
}

LoopbackHttpServer::Reply LoopbackHttpServer::Chunked(const std::vector<std::string>& chunks,
                                                      const std::string& ext) {
    std::string bytes = Head(200, "Transfer-Encoding: chunked\r\n");
    for (const std::string& chunk : chunks) {
        char size[16];
        std::snprintf(size, sizeof size, "%zx", chunk.size());
        bytes += size + ext + "\r\n" + chunk + "\r\n";
    }
    return {bytes + "0" + ext + "\r\n\r\n"};
}

LoopbackHttpServer::Reply LoopbackHttpServer::Redirect(int status, const std::string& location) {
    return {Head(status, "Location: " + location + "\r\nContent-Length: 0\r\n")};
}

LoopbackHttpServer::Reply LoopbackHttpServer::Status(int status) {
    return {Head(status, "Content-Length: 5\r\n") + "error"};
}

LoopbackHttpServer::Reply LoopbackHttpServer::Truncated(const std::string& body, size_t sent) {
    Reply reply = Ok(body);
    reply.sendOnly = reply.bytes.size() - body.size() + sent;
    return reply;
}

LoopbackHttpServer::Reply LoopbackHttpServer::Silent() {
    Reply reply;
    reply.silent = true;
    return reply;
}

LoopbackHttpServer::Reply LoopbackHttpServer::Raw(const std::string& bytes) { return {bytes}; }

LoopbackHttpServer::LoopbackHttpServer() {
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_listen < 0 || bind(m_listen, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(m_listen, 16) != 0 ||
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("loopback http server");
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listen >= 0) close(m_listen);
}

void LoopbackHttpServer::Route(const std::string& path, Reply reply) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_routes[path] = std::move(reply);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

void LoopbackHttpServer::Answer(Connection& c, const std::string& head) {
    c.answered = true;
    std::string path;
    size_t blank = head.find(' ');
    if (blank != std::string::npos) path = head.substr(blank + 1, head.find(' ', blank + 1) - blank - 1);
    path = path.substr(0, path.find('?'));
    std::lock_guard<std::mutex> guard(m_lock);
    m_requests.push_back(head);
    auto it = m_routes.find(path);
    Reply reply = it == m_routes.end() ? Status(404) : it->second;
    c.silent = reply.silent;
    c.out = reply.bytes.substr(0, reply.sendOnly);
}

void LoopbackHttpServer::Run() {
    std::list<Connection> connections;
    while (!m_stop) {
        std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
        for (const Connection& c : connections)
            fds.push_back({c.fd, static_cast<short>(POLLIN | (c.out.empty() ? 0 : POLLOUT)), 0});
        if (poll(fds.data(), fds.size(), 10) < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            int fd = accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                connections.push_back({fd, "", ""});
                ++m_connections;
            }
        }
        for (auto it = connections.begin(); it != connections.end();) {
            Connection& c = *it;
            bool closing = false;
            char buffer[4096];
            ssize_t got = recv(c.fd, buffer, sizeof buffer, 0);
            if (got > 0) {
                c.in.append(buffer, static_cast<size_t>(got));
            } else if (got == 0) {
                closing = true;
            }
            size_t end = c.in.find("\r\n\r\n");
            if (end == std::string::npos) end = c.in.find("\n\n");
            if (!c.answered && end != std::string::npos) Answer(c, c.in.substr(0, end));
            if (!c.out.empty()) {
                ssize_t sent = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
                if (sent > 0) c.out.erase(0, static_cast<size_t>(sent));
                if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) closing = true;
            }
            if (c.answered && c.out.empty() && !c.silent) closing = true;
            if (closing) {
                close(c.fd);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Connection& c : connections) close(c.fd);
}
