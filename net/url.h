// URLs as the HTTP client takes them: splitting, resolving a redirect's
// "Location" against the current URL, and percent-encoding a query value.
// None keeps state. Tested by tests/net/url_test.cpp.
#pragma once

#include <cstdint>
#include <string>

struct HttpUrl {
    std::string scheme;  // as written: the client accepts only "http"
    std::string host;    // without the port
    uint16_t port = 80;
    std::string path;  // from the first "/" on, query included; "/" when none
};

// Splits at the first "://"; the host runs to the next "/" and may end in
// ":port". False (with out cleared) when there is no "://", the host is
// empty or the port is not a number from 1 to 65535.
bool SplitUrl(const std::string& url, HttpUrl& out);

// "http://host[:port]/path"; the port only when it is not 80.
std::string JoinUrl(const HttpUrl& url);

// The URL a "Location" names, seen from base: absolute ("http://..."),
// scheme-relative ("//host/path"), host-relative ("/path") or relative to
// the base's directory ("next.txt"). A fragment is dropped.
std::string ResolveLocation(const HttpUrl& base, const std::string& location);

// Percent-encodes everything but letters, digits and "-._~".
std::string UrlEncode(const std::string& text);

// root with one "/" between it and name ("http://h/a" + "b" = "http://h/a/b").
std::string AppendUrlPath(const std::string& root, const std::string& name);
