#include "indicators/get_url.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "afx_socket.h"
#include "host_lookup.h"
#include "indicators/fetch_target.h"
#include "indicators/timed_out_peers.h"
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

bool RanOutOfTime() { return WSAGetLastError() == WSAETIMEDOUT; }

std::string DottedText(in_addr address)
{
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// A name is looked up within the connect's bound, so a slow resolver holds
// the window no longer than a silent device.
std::optional<in_addr> AddressOfHost(const std::string& host, FetchResult& result)
{
    in_addr address{};
    switch (LookUpHost(host.c_str(), address, kConnectTimeoutMs)) {
    case HostLookup::Found:
        return address;
    case HostLookup::NotFound:
        LogMessage(">GetUrl: no address for %s", host.c_str());
        return std::nullopt;
    case HostLookup::OutOfTime:
        LogMessage(">GetUrl: no address for %s within %d ms", host.c_str(), kConnectTimeoutMs);
        result.outOfTime = true;
        return std::nullopt;
    }
    return std::nullopt;
}

bool AimsAtThisPc(CSocket& socket, in_addr address, const std::string& url)
{
    // A list that cannot be read leaves the checks that need none.
    std::vector<INTERFACE_INFO> interfaces;
    GetInterfaceList(socket.m_hSocket, interfaces);
    const char* reason = ReasonNotToFetchFrom(address.s_addr, interfaces);
    if (reason)
        LogMessage(">GetUrl: refused, %s %s: %s", reason, DottedText(address).c_str(), url.c_str());
    return reason != nullptr;
}

bool ConnectTo(CSocket& socket, in_addr address, unsigned port, FetchResult& result)
{
    socket.SetTimeout(kConnectTimeoutMs);
    if (!socket.Connect(DottedText(address).c_str(), port)) {
        result.outOfTime = RanOutOfTime();
        return false;
    }
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
void ReceiveResponse(CSocket& socket, FetchResult& result)
{
    std::string& response = result.response;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWholeResponseMs);
    char buffer[kReceiveChunk];
    for (;;) {
        const int bound = std::clamp(MillisecondsLeft(deadline), 0, kReceiveTimeoutMs);
        socket.SetTimeout(bound);
        LogMessage("GetUrl::try receive");
        const size_t wanted = std::min(kReceiveChunk, kResponseCap - response.size());
        const int received = socket.Receive(buffer, static_cast<int>(wanted));
        result.outOfTime = received < 0 && RanOutOfTime();
        LogMessage("GetUrl::rxlen=%d", received);
        if (result.outOfTime && bound < kReceiveTimeoutMs)
            LogMessage(">GetUrl: response cut after %d ms", kWholeResponseMs);
        if (received <= 0)
            return;
        response.append(buffer, static_cast<size_t>(received));
        if (response.size() >= kResponseCap) {
            LogMessage(">GetUrl: response cut at %d bytes", static_cast<int>(kResponseCap));
            return;
        }
    }
}

bool IsHeld(const HeldHost& held, const std::string& host, const std::string& url)
{
    if (!held || !held(host))
        return false;
    LogSkippedWhileHeld(url);
    return true;
}

FetchResult Fetch(const std::string& url, bool refuseThisPc, const HeldHost& held)
{
    FetchResult result;
    const std::optional<UrlParts> parts = SplitHttpUrl(url);
    if (!parts)
        return result;
    // Refused before any connection is tried: a request cut short would ask
    // the device for some other document.
    if (parts->path.size() > kPathLimit) {
        LogMessage(">GetUrl: path of %d characters too long for the request", static_cast<int>(parts->path.size()));
        return result;
    }
    // A name whose lookup ran out of time is held by the name itself.
    result.host = parts->host;
    if (IsHeld(held, result.host, url))
        return result;
    CSocket socket;
    if (!CreateStreamSocket(socket))
        return result;
    const std::optional<in_addr> address = AddressOfHost(parts->host, result);
    if (!address)
        return result;
    result.host = DottedText(*address);
    if (result.host != parts->host && IsHeld(held, result.host, url))
        return result;
    if (refuseThisPc && AimsAtThisPc(socket, *address, url))
        return result;
    LogMessage("GetUrl::TryConnect(%s)", url.c_str());
    if (!ConnectTo(socket, *address, parts->port, result))
        return result;
    SendRequest(socket, parts->path);
    ReceiveResponse(socket, result);
    return result;
}

}  // namespace

std::string GetUrl(const std::string& url) { return Fetch(url, false, {}).response; }

FetchResult GetAnnouncedUrl(const std::string& url, const HeldHost& held) { return Fetch(url, true, held); }
