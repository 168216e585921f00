// Tested by tests/net/http_client_test.cpp.
#include "net/http_client.h"

#include <cstdio>

#include "foundation/program_version.h"
#include "foundation/resource_strings.h"
#include "platform/clock.h"

namespace {

// How long a worker's poll waits for the socket, so it sleeps rather than spins.
constexpr int kWorkerWaitMs = 50;

std::string PartPath(const std::string& path) { return path + ".part"; }

}  // namespace

HTTPClient::HTTPClient(const Clock* clock) : m_clock(clock ? clock : &SystemClock::Instance()) {}

HTTPClient::~HTTPClient() {
    m_callback = nullptr;
    ResetTransfer();
}

std::string HTTPClient::RequestText(const HttpUrl& url) {
    std::string host = url.host;
    if (url.port != 80) host += ":" + std::to_string(url.port);
    return "GET " + url.path + " HTTP/1.1\r\n" + "Host: " + host + "\r\n" + "User-Agent: " + kProgramName +
           " " + kProgramVersion + "\r\n" + "Connection: close\r\n\r\n";
}

bool HTTPClient::Get(const std::string& url, const std::string& outputPath, Callback callback, void* user,
                     int timeoutMs, bool binary) {
    if (IsBusy() || !callback) return false;
    m_callback = callback;
    m_user = user;
    m_outputPath = outputPath;
    m_binary = binary;
    m_timeoutMs = timeoutMs;
    m_startMs = m_clock->NowMs();
    m_redirects.clear();
    m_firstUrl = url;
    m_errorText.clear();
    std::string error;
    if (StartRequest(url, error)) return true;
    FailWithText(error);
    return false;
}

bool HTTPClient::StartRequest(const std::string& url, std::string& error) {
    ResetTransfer();
    if (!SplitUrl(url, m_url) || m_url.path.empty()) {
        error = LoadResourceString(280) + " (" + url + ")";
        return false;
    }
    if (m_url.scheme != "http") {
        error = LoadResourceString(269);
        return false;
    }
    if (!m_socket.Connect(m_url.host, m_url.port, &HTTPClient::OnSocketEvent, this)) {
        error = m_socket.GetErrorText();
        return false;
    }
    return true;
}

bool HTTPClient::Poll(int waitMs) {
    if (!IsBusy()) return false;
    if (m_timeoutMs > 0 && m_clock->NowMs() - m_startMs > static_cast<uint64_t>(m_timeoutMs)) {
        FailWith(184);
        return false;
    }
    m_socket.PumpMessages(waitMs);
    return IsBusy();
}

void HTTPClient::OnSocketEvent(QmvSocket& socket, void* user, int event, const char* data, size_t length) {
    HTTPClient& self = *static_cast<HTTPClient*>(user);
    switch (event) {
        case QmvSocket::kConnected:
            if (self.m_callback) self.m_callback(self, kEventConnected, 0, self.m_user);
            if (!self.IsBusy()) return;
            if (!socket.Send(RequestText(self.m_url))) self.FailWithText(socket.GetErrorText());
            break;
        case QmvSocket::kData:
            self.OnData(data, length);
            break;
        case QmvSocket::kClosed:
            // Anything short of a complete body is a failed transfer, not a wait for the time-out.
            if (self.m_finished) {
                self.Finish(true);
            } else {
                self.FailWith(286);
            }
            break;
        default:
            self.FailWithText(socket.GetErrorText());
            break;
    }
}

void HTTPClient::OnData(const char* data, size_t length) {
    m_response.Append(data, length);
    std::string body;
    for (;;) {
        body.clear();
        switch (m_response.Next(body)) {
            case HttpResponseParser::Step::NeedMore:
                return;
            case HttpResponseParser::Step::HeadDone:
                if (!OnHeadersDone()) return;
                break;
            case HttpResponseParser::Step::Body:
                if (!WriteBody(body)) return;
                break;
            case HttpResponseParser::Step::Done:
                m_finished = true;
                Finish(true);
                return;
            case HttpResponseParser::Step::Failed:
                FailWith(m_response.ErrorId(), m_response.ErrorDetail());
                return;
        }
    }
}

bool HTTPClient::OnHeadersDone() {
    const HttpResponseParser::Head& head = m_response.GetHead();
    if (head.status >= 100 && head.status <= 199) {
        FailWith(278);
        return false;
    }
    if (head.status >= 400) {
        FailWith(276, std::to_string(head.status));
        return false;
    }
    if (head.status >= 300 && head.status <= 399) {
        if (head.location.empty()) {
            FailWith(272);
            return false;
        }
        const std::string next = ResolveLocation(m_url, head.location);
        if (next == m_firstUrl || !m_redirects.insert(next).second) {
            FailWith(274);
            return false;
        }
        if (static_cast<int>(m_redirects.size()) > kMaxRedirects) {
            FailWith(277);
            return false;
        }
        std::string error;
        if (!StartRequest(next, error)) FailWith(273, error);
        return false;
    }
    if (head.contentLength < 0 && !head.chunked) {
        FailWith(271);
        return false;
    }
    m_headersDone = true;
    // Text and binary are the same bytes on this system; the flag stays for callers.
    m_output = std::fopen(PartPath(m_outputPath).c_str(), "wb");
    if (!m_output) {
        FailWith(281);
        return false;
    }
    if (m_callback) m_callback(*this, kEventHeaders, head.contentLength, m_user);
    return IsBusy();
}

bool HTTPClient::WriteBody(const std::string& bytes) {
    if (!m_output || std::fwrite(bytes.data(), 1, bytes.size(), m_output) != bytes.size()) {
        FailWith(283);
        return false;
    }
    if (m_callback) m_callback(*this, kEventData, m_response.BodyBytes(), m_user);
    return IsBusy();
}

void HTTPClient::FailWith(unsigned id, const std::string& detail) {
    std::string text = LoadResourceString(id);
    if (!detail.empty()) text += " (" + detail + ")";
    FailWithText(text);
}

void HTTPClient::FailWithText(const std::string& text) {
    if (!IsBusy()) return;
    m_errorText = text;
    if (m_callback) m_callback(*this, kEventFailure, 0, m_user);
    Finish(false);
}

void HTTPClient::Finish(bool success) {
    if (!IsBusy()) return;
    if (success && m_output) {
        bool written = std::fflush(m_output) == 0;
        written = std::fclose(m_output) == 0 && written;
        m_output = nullptr;
        if (!written || std::rename(PartPath(m_outputPath).c_str(), m_outputPath.c_str()) != 0) {
            m_errorText = LoadResourceString(283);
            Callback callback = m_callback;
            callback(*this, kEventFailure, 0, m_user);
            success = false;
        }
    }
    Callback callback = m_callback;
    void* user = m_user;
    ResetTransfer();
    m_callback = nullptr;
    m_user = nullptr;
    callback(*this, success ? kEventFinished : kEventFinishedWithFailure, 0, user);
}

void HTTPClient::ResetTransfer() {
    m_socket.Close();
    if (m_output) {
        std::fclose(m_output);
        m_output = nullptr;
        std::remove(PartPath(m_outputPath).c_str());
    }
    m_response.Reset();
    m_headersDone = false;
    m_finished = false;
    m_url = HttpUrl{};
}

namespace {

struct DownloadState {
    bool done = false;
    bool ok = false;
};

void OnDownloadEvent(HTTPClient&, int event, int64_t, void* user) {
    auto& state = *static_cast<DownloadState*>(user);
    if (event == HTTPClient::kEventFinished || event == HTTPClient::kEventFinishedWithFailure) {
        state.done = true;
        state.ok = event == HTTPClient::kEventFinished;
    }
}

}  // namespace

bool DownloadFile(const std::string& url, const std::string& path, int timeoutMs, std::string* error,
                  const std::atomic<bool>* stop, const Clock* clock) {
    HTTPClient client(clock);
    DownloadState state;
    auto failed = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (!client.Get(url, path, &OnDownloadEvent, &state, timeoutMs, false) && !state.done)
        return failed(client.GetErrorText().empty() ? "Request not started" : client.GetErrorText());
    while (!state.done && client.Poll(kWorkerWaitMs)) {
        if (stop && stop->load()) return failed("Cancelled");
    }
    if (!state.ok)
        return failed(client.GetErrorText().empty() ? "Request ended early" : client.GetErrorText());
    return true;
}
