// Tested by tests/net/url_test.cpp.
#include "net/url.h"

#include <charconv>

bool SplitUrl(const std::string& url, HttpUrl& out) {
    out = HttpUrl{};
    const size_t mark = url.find("://");
    if (mark == std::string::npos) return false;
    HttpUrl u;
    u.scheme = url.substr(0, mark);
    const size_t hostStart = mark + 3;
    const size_t slash = url.find('/', hostStart);
    std::string hostPort =
        url.substr(hostStart, slash == std::string::npos ? std::string::npos : slash - hostStart);
    u.path = slash == std::string::npos ? "/" : url.substr(slash);
    // A query straight after the host ("http://h?x=1") still belongs to the path.
    const size_t query = hostPort.find('?');
    if (query != std::string::npos) {
        u.path = "/" + hostPort.substr(query);
        hostPort.erase(query);
    }
    const size_t colon = hostPort.rfind(':');
    if (colon != std::string::npos) {
        unsigned port = 0;
        const char* first = hostPort.data() + colon + 1;
        const char* last = hostPort.data() + hostPort.size();
        auto [end, error] = std::from_chars(first, last, port);
        if (error != std::errc() || end != last || first == last || port == 0 || port > 65535) return false;
        u.port = static_cast<uint16_t>(port);
        hostPort.erase(colon);
    }
    u.host = hostPort;
    if (u.scheme.empty() || u.host.empty()) return false;
    out = u;
    return true;
}

std::string JoinUrl(const HttpUrl& url) {
    std::string text = url.scheme + "://" + url.host;
    if (url.port != 80) text += ":" + std::to_string(url.port);
    return text + url.path;
}

std::string ResolveLocation(const HttpUrl& base, const std::string& location) {
    std::string target = location.substr(0, location.find('#'));
    if (target.find("://") != std::string::npos) return target;
    if (target.compare(0, 2, "//") == 0) return base.scheme + ":" + target;
    HttpUrl resolved = base;
    if (target.empty()) return JoinUrl(resolved);
    if (target[0] == '/') {
        resolved.path = target;
    } else if (target[0] == '?') {
        resolved.path = base.path.substr(0, base.path.find('?')) + target;
    } else {
        const std::string basePath = base.path.substr(0, base.path.find('?'));
        resolved.path = basePath.substr(0, basePath.rfind('/') + 1) + target;
    }
    return JoinUrl(resolved);
}

std::string UrlEncode(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string AppendUrlPath(const std::string& root, const std::string& name) {
    if (root.empty()) return name;
    std::string joined = root;
    size_t skip = 0;
    while (skip < name.size() && name[skip] == '/') ++skip;
    if (joined.back() != '/') joined += '/';
    return joined + name.substr(skip);
}
