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
constexpr int kCutSlackMs = 100;

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

using SteadyClock = std::chrono::steady_clock;

int MillisecondsLeft(SteadyClock::time_point deadline)
{
    const auto left = deadline - SteadyClock::now();
    return std::max(0, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
}

// One fetch: its result so far, and the bound of each wait, which is the
// wait's own cut to what is left of the caller's bound on the whole fetch.
class Fetching {
public:
    explicit Fetching(std::optional<int> wholeMs)
    {
        if (wholeMs)
            m_deadline = SteadyClock::now() + std::chrono::milliseconds(*wholeMs);
    }

    // A wait cut by no more than the time its fetch took to get there still
    // ends on its own bound: a device that used up the whole of a fresh
    // budget also used up its own bound.
    int Bound(int ownMs)
    {
        if (!m_deadline)
            return ownMs;
        const int left = MillisecondsLeft(*m_deadline);
        m_cut = left < ownMs - kCutSlackMs;
        return std::min(left, ownMs);
    }

    // After a failed wait: whose bound it ended on, if any.
    void Failed(bool outOfTime)
    {
        result.outOfTime = outOfTime && !m_cut;
        result.cutShort = outOfTime && m_cut;
    }

    FetchResult result;

private:
    std::optional<SteadyClock::time_point> m_deadline;
    bool m_cut = false;
};

std::string DottedText(in_addr address)
{
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// A name is looked up within the connect's bound, so a slow resolver holds
// the window no longer than a silent device.
std::optional<in_addr> AddressOfHost(const std::string& host, Fetching& fetching)
{
    in_addr address{};
    const int bound = fetching.Bound(kConnectTimeoutMs);
    switch (LookUpHost(host.c_str(), address, bound)) {
    case HostLookup::Found:
        return address;
    case HostLookup::NotFound:
        LogMessage(">GetUrl: no address for %s", host.c_str());
        return std::nullopt;
    case HostLookup::OutOfTime:
        LogMessage(">GetUrl: no address for %s within %d ms", host.c_str(), bound);
        fetching.Failed(true);
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

bool ConnectTo(CSocket& socket, in_addr address, unsigned port, Fetching& fetching)
{
    socket.SetTimeout(fetching.Bound(kConnectTimeoutMs));
    if (!socket.Connect(DottedText(address).c_str(), port)) {
        fetching.Failed(RanOutOfTime());
        return false;
    }
    LogMessage("GetUrl::Connected");
    return true;
}

void SendRequest(CSocket& socket, const std::string& path, Fetching& fetching)
{
    const std::string request = kRequestStart + path + kRequestEnd;
    LogMessage("GetUrl::Send(%d)", static_cast<int>(request.size()));
    socket.SetTimeout(fetching.Bound(kReceiveTimeoutMs));
    const int sent = socket.Send(request.data(), static_cast<int>(request.size()));
    LogMessage("GetUrl::txdlen=%d", sent);
}

// Reads until the peer closes, a wait fails, the cap is reached or the whole
// response has taken too long.
void ReceiveResponse(CSocket& socket, Fetching& fetching)
{
    std::string& response = fetching.result.response;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kWholeResponseMs);
    char buffer[kReceiveChunk];
    for (;;) {
        const int own = std::min(MillisecondsLeft(deadline), kReceiveTimeoutMs);
        socket.SetTimeout(fetching.Bound(own));
        LogMessage("GetUrl::try receive");
        const size_t wanted = std::min(kReceiveChunk, kResponseCap - response.size());
        const int received = socket.Receive(buffer, static_cast<int>(wanted));
        if (received < 0)
            fetching.Failed(RanOutOfTime());
        LogMessage("GetUrl::rxlen=%d", received);
        if (fetching.result.outOfTime && own < kReceiveTimeoutMs)
            LogMessage(">GetUrl: response cut after %d ms", kWholeResponseMs);
        if (fetching.result.cutShort && !response.empty())
            LogMessage(">GetUrl: response cut at the bound of the fetch budget");
        if (received <= 0)
            return;
        response.append(buffer, static_cast<size_t>(received));
        if (response.size() >= kResponseCap) {
            LogMessage(">GetUrl: response cut at %d bytes", static_cast<int>(kResponseCap));
            return;
        }
    }
}

bool IsHeld(const HeldHost& held, const std::string& host, const std::string& url, FetchResult& result)
{
    if (!held || !held(host))
        return false;
    LogSkippedWhileHeld(url);
    result.skipped = true;
    return true;
}

FetchResult Fetch(const std::string& url, bool refuseThisPc, const HeldHost& held, std::optional<int> boundMs)
{
    Fetching fetching(boundMs);
    FetchResult& result = fetching.result;
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
    if (IsHeld(held, result.host, url, result))
        return result;
    CSocket socket;
    if (!CreateStreamSocket(socket))
        return result;
    const std::optional<in_addr> address = AddressOfHost(parts->host, fetching);
    if (!address)
        return result;
    result.host = DottedText(*address);
    if (result.host != parts->host && IsHeld(held, result.host, url, result))
        return result;
    if (refuseThisPc && AimsAtThisPc(socket, *address, url))
        return result;
    LogMessage("GetUrl::TryConnect(%s)", url.c_str());
    if (!ConnectTo(socket, *address, parts->port, fetching))
        return result;
    SendRequest(socket, parts->path, fetching);
    ReceiveResponse(socket, fetching);
    return result;
}

}  // namespace

std::string GetUrl(const std::string& url) { return Fetch(url, false, {}, std::nullopt).response; }

FetchResult GetAnnouncedUrl(const std::string& url, const HeldHost& held, std::optional<int> boundMs)
{
    return Fetch(url, true, held, boundMs);
}
