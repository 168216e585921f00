// HTTPClient: one HTTP/1.1 GET at a time into a file, following redirects
// and decoding chunked bodies, driven by Poll on the thread that started it.
// The body goes to "<file>.part" and is renamed over the file only when the
// transfer is complete, so a failed transfer leaves the old file and no
// partial one. DownloadFile wraps it for worker threads.
// Tested by tests/net/http_client_test.cpp against a loopback server.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "net/async_socket.h"
#include "net/http_response.h"
#include "net/url.h"

class Clock;

class HTTPClient {
public:
    // Completion events, in the order a transfer raises them.
    static constexpr int kEventConnected = 0;  // the request is being sent
    static constexpr int kEventFinished = 1;
    static constexpr int kEventFinishedWithFailure = 2;  // always after kEventFailure
    static constexpr int kEventHeaders = 3;              // value: the content length, or -1
    static constexpr int kEventData = 4;                 // value: body bytes so far
    static constexpr int kEventFailure = 5;              // the error text is set
    static constexpr int kMaxRedirects = 32;

    using Callback = void (*)(HTTPClient& client, int event, int64_t value, void* user);

    // The clock times the request's time-out; it must outlive the client.
    explicit HTTPClient(const Clock* clock = nullptr);
    HTTPClient(const HTTPClient&) = delete;
    HTTPClient& operator=(const HTTPClient&) = delete;
    virtual ~HTTPClient();

    // False at once (no callback) while a request runs or without a callback;
    // otherwise starts the request. False also when it could not start: for
    // a bad URL or connect failure events 5 and 2 have then been raised.
    // timeoutMs 0 means none; it counts from here across redirects.
    bool Get(const std::string& url, const std::string& outputPath, Callback callback, void* user,
             int timeoutMs, bool binary);
    // Fails the request with "Timed out" once its time is up; otherwise
    // delivers the socket's events, waiting at most waitMs for them. True
    // while a request is running.
    bool Poll(int waitMs = 0);
    bool IsBusy() const { return m_callback != nullptr; }
    // Readable after event 5 until the next Get.
    const std::string& GetErrorText() const { return m_errorText; }
    // The request line and headers sent for a path and host ("CR LF" line ends).
    static std::string RequestText(const HttpUrl& url);

private:
    static void OnSocketEvent(QmvSocket& socket, void* user, int event, const char* data, size_t length);
    // Connects for url; false with the reason in error.
    bool StartRequest(const std::string& url, std::string& error);
    void OnData(const char* data, size_t length);
    // Acts on the status once the headers have ended; false when the
    // response ended there (failure, redirect).
    bool OnHeadersDone();
    bool WriteBody(const std::string& bytes);
    void Finish(bool success);
    void FailWith(unsigned id, const std::string& detail = "");
    void FailWithText(const std::string& text);
    void ResetTransfer();

    const Clock* m_clock;
    Callback m_callback = nullptr;
    void* m_user = nullptr;
    QmvSocket m_socket;
    HttpUrl m_url;
    std::string m_firstUrl;
    uint64_t m_startMs = 0;
    int m_timeoutMs = 0;
    HttpResponseParser m_response;
    bool m_headersDone = false;
    bool m_finished = false;
    std::set<std::string> m_redirects;
    std::string m_outputPath;
    std::FILE* m_output = nullptr;
    bool m_binary = true;
    std::string m_errorText;
};

// Downloads url into path on the calling thread, polling until the
// transfer ends or *stop turns true (then "Cancelled"). False with the
// reason in *error (when given) on any failure.
bool DownloadFile(const std::string& url, const std::string& path, int timeoutMs, std::string* error,
                  const std::atomic<bool>* stop = nullptr, const Clock* clock = nullptr);
