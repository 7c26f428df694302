#include "indicators/get_url.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "afx_socket.h"
#include "indicators/url_parts.h"
#include "log/log_message.h"

namespace {

// The request goes out of a 256-byte buffer with its terminating zero.
constexpr size_t kRequestLimit = 255;
constexpr char kRequestStart[] = "GET /";
constexpr char kRequestEnd[] = " HTTP/1.1\r\n\r\n";
constexpr size_t kPathLimit = kRequestLimit - (sizeof kRequestStart - 1) - (sizeof kRequestEnd - 1);

constexpr size_t kReceiveChunk = 256;
// A device that talks forever must not fill the memory.
constexpr size_t kResponseCap = 1024 * 1024;
// A device that never answers must not hold the window for longer.
constexpr int kConnectTimeoutMs = 3000;
constexpr int kReceiveTimeoutMs = 5000;
// Nor may one that drips its answer a byte at a time.
constexpr int kWholeResponseMs = 10000;

bool CreateStreamSocket(CSocket& socket)
{
    if (!socket.Create())
        return false;
    const int on = 1;
    socket.SetSockOpt(SO_DONTROUTE, &on, sizeof on, SOL_SOCKET);
    socket.SetSockOpt(SO_DONTLINGER, &on, sizeof on, SOL_SOCKET);
    return true;
}

bool ConnectTo(CSocket& socket, const UrlParts& parts)
{
    socket.SetTimeout(kConnectTimeoutMs);
    if (!socket.Connect(parts.host.c_str(), parts.port))
        return false;
    LogMessage("GetUrl::Connected");
    socket.SetTimeout(kReceiveTimeoutMs);
    return true;
}

void SendRequest(CSocket& socket, const std::string& path)
{
    const std::string request = kRequestStart + path + kRequestEnd;
    LogMessage("GetUrl::Send(%d)", static_cast<int>(request.size()));
    const int sent = socket.Send(request.data(), static_cast<int>(request.size()));
    LogMessage("GetUrl::txdlen=%d", sent);
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left = deadline - std::chrono::steady_clock::now();
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
}

// Reads until the peer closes, a wait fails, the cap is reached or the whole
// response has taken too long.
std::string ReceiveResponse(CSocket& socket)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWholeResponseMs);
    std::string response;
    char buffer[kReceiveChunk];
    for (;;) {
        const int bound = std::clamp(MillisecondsLeft(deadline), 0, kReceiveTimeoutMs);
        socket.SetTimeout(bound);
        LogMessage("GetUrl::try receive");
        const size_t wanted = std::min(kReceiveChunk, kResponseCap - response.size());
        const int received = socket.Receive(buffer, static_cast<int>(wanted));
        const bool ranOut = received < 0 && WSAGetLastError() == WSAETIMEDOUT && bound < kReceiveTimeoutMs;
        LogMessage("GetUrl::rxlen=%d", received);
        if (ranOut)
            LogMessage(">GetUrl: response cut after %d ms", kWholeResponseMs);
        if (received <= 0)
            return response;
        response.append(buffer, static_cast<size_t>(received));
        if (response.size() >= kResponseCap) {
            LogMessage(">GetUrl: response cut at %zu bytes", kResponseCap);
            return response;
        }
    }
}

}  // namespace

std::string GetUrl(const std::string& url)
{
    const std::optional<UrlParts> parts = SplitHttpUrl(url);
    if (!parts)
        return {};
    // Refused before any connection is tried: a request cut short would ask
    // the device for some other document.
    if (parts->path.size() > kPathLimit) {
        LogMessage(">GetUrl: path of %d characters too long for the request", static_cast<int>(parts->path.size()));
        return {};
    }
    CSocket socket;
    if (!CreateStreamSocket(socket))
        return {};
    LogMessage("GetUrl::TryConnect(%s)", url.c_str());
    if (!ConnectTo(socket, *parts))
        return {};
    SendRequest(socket, parts->path);
    return ReceiveResponse(socket);
}
