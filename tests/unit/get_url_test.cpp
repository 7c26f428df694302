#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "afx_wnd.h"
#include "fake_interfaces.h"
#include "indicators/get_url.h"
#include "isolated_network.h"
#include "log/log_message.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "test_socket.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::testing::DebugOutputRecorder;
using platform::testing::PumpUntil;

constexpr size_t kResponseCap = 1024 * 1024;
const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

void ThrowIfFailed(bool failed, const char* what)
{
    if (failed)
        throw std::system_error(LastSocketError(), std::generic_category(), what);
}

constexpr char kLoopback[] = "127.0.0.1";

sockaddr_in LoopbackAddress(uint16_t port, const char* host = kLoopback)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr(host);
    return address;
}

// A TCP socket bound on 127.0.0.1, or on the namespace's neighbour address;
// port 0 takes a free one.
class LoopbackSocket {
public:
    explicit LoopbackSocket(uint16_t port = 0, const char* host = kLoopback)
        : m_fd(OpenTestSocket(SOCK_STREAM)), m_host(host)
    {
        ThrowIfFailed(m_fd == kNoTestSocket, "socket");
        const int on = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
        sockaddr_in address = LoopbackAddress(port, host);
        ThrowIfFailed(bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0, "bind");
        SocketLength length = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackSocket() { CloseTestSocket(m_fd); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    TestSocket fd() const { return m_fd; }
    uint16_t port() const { return m_port; }
    std::string Url(const std::string& path) const
    {
        return "http://" + m_host + ":" + std::to_string(m_port) + "/" + path;
    }

private:
    TestSocket m_fd;
    std::string m_host;
    uint16_t m_port = 0;
};

// What the server does after it has read the request: sends the pieces, one
// segment each, then closes, keeps the connection open without a word, or
// sends without end.
struct Reply {
    enum class Then { Close, HoldOpen, SendForever, Drip };
    std::vector<std::string> pieces;
    Then then = Then::Close;
};

// Bytes that the endless reply repeats; its length does not divide 256, so
// a lost or repeated chunk shows.
const std::string& EndlessBlock()
{
    static const std::string block = [] {
        std::string bytes(4093, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7 % 256);
        return bytes;
    }();
    return block;
}

// Serves one connection on 127.0.0.1 from its own thread. Every wait ends
// at the server's deadline or soon after it is told to finish.
class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(Reply reply, uint16_t port = 0, const char* host = kLoopback)
        : m_listener(port, host), m_deadline(Clock::now() + std::chrono::seconds(20))
    {
        ThrowIfFailed(listen(m_listener.fd(), 4) != 0, "listen");
        m_thread = std::thread([this, reply = std::move(reply)] { Serve(reply); });
    }
    ~LoopbackHttpServer() { Finish(); }

    std::string Url(const std::string& path) const { return m_listener.Url(path); }
    uint16_t port() const { return m_listener.port(); }

    // Both stop the server first, so that they read settled results.
    int Connections()
    {
        Finish();
        return m_connections;
    }
    std::string Request()
    {
        Finish();
        return m_request;
    }

private:
    void Finish()
    {
        if (!m_thread.joinable())
            return;
        m_stopping = true;
        m_thread.join();
    }

    // True when the socket is ready; false once the server is told to finish
    // or its deadline passes with the socket still not ready.
    bool WaitFor(TestSocket socket, short events) const
    {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
            if (left.count() <= 0 || m_stopping)
                return false;
            SocketPoll watched{};
            watched.fd = socket;
            watched.events = events;
            const int ready = PollSockets(&watched, 1, static_cast<int>(std::min<long long>(left.count(), kStopCheckMs)));
            if (ready > 0)
                return true;
            if (ready < 0 && LastSocketError() != EINTR)
                return false;
        }
    }

    // Sleeps the milliseconds; false when told to finish meanwhile.
    bool Pause(int milliseconds) const
    {
        const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (!m_stopping && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, kStopCheckMs)));
        return !m_stopping;
    }

    void Serve(const Reply& reply)
    {
        if (!WaitFor(m_listener.fd(), POLLIN))
            return;
        const TestSocket client = accept(m_listener.fd(), nullptr, nullptr);
        if (client == kNoTestSocket)
            return;
        MakeNonBlocking(client);
        ++m_connections;
        const int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        m_request = ReadRequest(client);
        bool open = true;
        for (const std::string& piece : reply.pieces)
            open = open && SendAll(client, piece);
        if (open && reply.then == Reply::Then::HoldOpen)
            DiscardUntilPeerCloses(client);
        if (open && reply.then == Reply::Then::SendForever)
            SendUntilPeerCloses(client);
        if (open && reply.then == Reply::Then::Drip)
            DripUntilPeerCloses(client);
        CloseTestSocket(client);
    }

    std::string ReadRequest(TestSocket client) const
    {
        std::string request;
        char buffer[512];
        while (request.find("\r\n\r\n") == std::string::npos && WaitFor(client, POLLIN)) {
            const auto received = recv(client, buffer, sizeof buffer, 0);
            if (received <= 0)
                break;
            request.append(buffer, static_cast<size_t>(received));
        }
        return request;
    }

    bool SendAll(TestSocket client, const std::string& bytes) const
    {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const auto now = send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), kNoSignalFlag);
            if (now > 0)
                sent += static_cast<size_t>(now);
            else if (!LastSocketCallWouldBlock() || !WaitFor(client, POLLOUT))
                return false;
        }
        return true;
    }

    void DiscardUntilPeerCloses(TestSocket client) const
    {
        char buffer[512];
        while (WaitFor(client, POLLIN) && recv(client, buffer, sizeof buffer, 0) > 0) {
        }
    }

    // Bounded by bytes as well, should the client never stop reading.
    void SendUntilPeerCloses(TestSocket client) const
    {
        for (size_t sent = 0; sent < 16 * kResponseCap; sent += EndlessBlock().size()) {
            if (!SendAll(client, EndlessBlock()))
                return;
        }
    }

    // One byte every 200 ms, each well within the receive bound.
    void DripUntilPeerCloses(TestSocket client) const
    {
        for (int byte = 0; byte < 200 && Pause(200); ++byte) {
            if (!SendAll(client, "x"))
                return;
        }
    }

    static constexpr int kStopCheckMs = 50;

    LoopbackSocket m_listener;
    std::atomic<bool> m_stopping{false};
    Clock::time_point m_deadline;
    std::thread m_thread;
    int m_connections = 0;
    std::string m_request;
};

Reply Answer(const std::string& response) { return {{response}, Reply::Then::Close}; }
Reply AnswerAndHoldOpen(const std::string& response) { return {{response}, Reply::Then::HoldOpen}; }
Reply Silence() { return {{}, Reply::Then::HoldOpen}; }
Reply AnswerForever(const std::string& header) { return {{header}, Reply::Then::SendForever}; }
Reply Drip(const std::string& header) { return {{header}, Reply::Then::Drip}; }

std::string RequestFor(const std::string& path) { return "GET /" + path + " HTTP/1.1\r\n\r\n"; }

std::string TryConnectLine(const std::string& url)
{
    return ("GetUrl::TryConnect(" + url + ")").substr(0, kLogTextLimit);
}

// The counts of the "rxlen" log lines, in order.
std::vector<int> ReceivedCounts(const std::vector<std::string>& lines)
{
    const std::string prefix = "GetUrl::rxlen=";
    std::vector<int> counts;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0)
            counts.push_back(std::stoi(line.substr(prefix.size())));
    }
    return counts;
}

struct TimedFetch {
    FetchResult result;
    long long milliseconds;
};

TimedFetch GetAnnouncedUrlTimed(const std::string& url)
{
    const auto start = Clock::now();
    FetchResult result = GetAnnouncedUrl(url);
    return {result, std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()};
}

class GetUrlTest : public testing::Test {
protected:
    void SetUp() override { platform::testing::EnsureApplication(); }

    const std::vector<std::string>& lines() const { return log.lines(); }

    DebugOutputRecorder log;
};

constexpr char kOwnAddress[] = "10.77.1.1";
// A point-to-point link of two addresses, without a broadcast address; its
// other end, 10.77.9.1, is a device like any other.
constexpr char kPointToPointAddress[] = "10.77.9.0";

// A location a device announced, served on the neighbour address; the PC's
// interfaces are loopback and 10.77.1.1/24.
class GetAnnouncedUrlTest : public GetUrlTest {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        GetUrlTest::SetUp();
        const std::vector<INTERFACE_INFO> interfaces = {
            FakeLoopback(), FakeInterface(kOwnAddress, "255.255.255.0", IFF_UP | IFF_BROADCAST),
            FakeInterface(kPointToPointAddress, "255.255.255.254", IFF_UP)};
        platform::seams::SetInterfaceListSource([interfaces](std::vector<INTERFACE_INFO>& list) {
            list = interfaces;
            return true;
        });
    }
    void TearDown() override
    {
        platform::seams::SetInterfaceListSource({});
        platform::seams::SetHostResolver({});
    }
};

TEST_F(GetUrlTest, SendsOnlyTheRequestLineAndLogsEachStep)
{
    LoopbackHttpServer server(Answer(kOk));
    const std::string url = server.Url("desc.xml");

    EXPECT_EQ(GetUrl(url), kOk);

    EXPECT_EQ(server.Request(), "GET /desc.xml HTTP/1.1\r\n\r\n");
    const std::vector<std::string> expected = {
        "GetUrl::TryConnect(" + url + ")",
        "GetUrl::Connected",
        "GetUrl::Send(26)",
        "GetUrl::txdlen=26",
        "GetUrl::try receive",
        "GetUrl::rxlen=" + std::to_string(kOk.size()),
        "GetUrl::try receive",
        "GetUrl::rxlen=0",
    };
    EXPECT_EQ(lines(), expected);
}

TEST_F(GetUrlTest, ResponsesAreReturnedWholeAndUninterpreted)
{
    const std::vector<std::string> responses = {
        "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found",
        "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nlonger than announced",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n",
        "not HTTP at all",
    };
    for (const std::string& response : responses) {
        SCOPED_TRACE(response);
        LoopbackHttpServer server(Answer(response));
        EXPECT_EQ(GetUrl(server.Url("desc.xml")), response);
    }
}

TEST_F(GetUrlTest, ResponseInSmallAndLargePiecesArrivesByteForByte)
{
    std::string response = "HTTP/1.1 200 OK\r\n\r\n";
    for (int i = 0; i < 3000; ++i)
        response += static_cast<char>(i % 256);  // zero bytes included
    Reply reply;
    const size_t sizes[] = {1, 7, 300};
    for (size_t at = 0, i = 0; at < response.size(); ++i) {
        reply.pieces.push_back(response.substr(at, sizes[i % 3]));
        at += sizes[i % 3];
    }
    LoopbackHttpServer server(reply);

    EXPECT_EQ(GetUrl(server.Url("desc.xml")), response);

    const std::vector<int> counts = ReceivedCounts(lines());
    EXPECT_LE(*std::max_element(counts.begin(), counts.end()), 256);
    EXPECT_EQ(counts.back(), 0);
}

TEST_F(GetUrlTest, PortIsReadAsAtoiReadsIt)
{
    LoopbackHttpServer server(Answer(kOk));
    const std::string url = "http://127.0.0.1:  +" + std::to_string(server.port()) + "x/a/b.xml?c=d/e";

    EXPECT_EQ(GetUrl(url), kOk);
    EXPECT_EQ(server.Request(), RequestFor("a/b.xml?c=d/e"));
}

TEST_F(GetUrlTest, UrlsOtherThanPlainHttpAreRefusedWithoutALogLineOrConnection)
{
    LoopbackHttpServer server(Answer(kOk));
    const std::string authority = "127.0.0.1:" + std::to_string(server.port());
    const std::string refused[] = {
        "",
        "http",
        "http://",
        "https://" + authority + "/desc.xml",
        "HTTP://" + authority + "/desc.xml",
        "http:/" + authority + "/desc.xml",
        " http://" + authority + "/desc.xml",
    };
    for (const std::string& url : refused) {
        SCOPED_TRACE(url);
        EXPECT_EQ(GetUrl(url), "");
    }
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(GetUrlTest, OnlyTheFirst254CharactersOfTheUrlCount)
{
    LoopbackHttpServer pathServer(Answer(kOk));
    const std::string pathPrefix = pathServer.Url("");
    const std::string path(254 - pathPrefix.size(), 'a');
    const std::string longPath = pathPrefix + path + "/../other.xml";
    EXPECT_EQ(GetUrl(longPath), kOk);
    EXPECT_EQ(pathServer.Request(), RequestFor(path));

    LoopbackHttpServer portServer(Answer(kOk));
    const std::string port = std::to_string(portServer.port());
    const std::string zeros(254 - std::string("http://127.0.0.1:").size() - port.size(), '0');
    const std::string longPort = "http://127.0.0.1:" + zeros + port + "7/desc.xml";
    EXPECT_EQ(GetUrl(longPort), kOk);
    EXPECT_EQ(portServer.Request(), RequestFor(""));

    // The log line holds the URL as given, as far as a log line reaches.
    EXPECT_EQ(log.Count(TryConnectLine(longPath)), 1u);
    EXPECT_EQ(log.Count(TryConnectLine(longPort)), 1u);
}

TEST_F(GetUrlTest, PathTooLongForTheRequestIsRefusedBeforeConnecting)
{
    const std::string path(238, 'p');

    EXPECT_EQ(GetUrl("http://127.1/" + path), "");

    const std::vector<std::string> expected = {">GetUrl: path of 238 characters too long for the request"};
    EXPECT_EQ(lines(), expected);
}

TEST_F(GetAnnouncedUrlTest, RefusedConnectionReturnsEmptyAfterTryConnectAndIsNoTimeOut)
{
    LoopbackSocket notListening(0, kNeighbourAddress);
    const std::string url = notListening.Url("desc.xml");

    const FetchResult result = GetAnnouncedUrl(url);

    EXPECT_EQ(result.response, "");
    EXPECT_FALSE(result.outOfTime);
    const std::vector<std::string> expected = {TryConnectLine(url)};
    EXPECT_EQ(lines(), expected);
}

// Any host on the LAN chooses the location: it must not aim the fetch at
// this PC's own services. A case without a reason is tried.
TEST_F(GetAnnouncedUrlTest, LocationsAimedAtThisPcAreRefusedWithoutAConnection)
{
    LoopbackHttpServer loopback(Answer(kOk));
    const std::string port = std::to_string(loopback.port());
    struct Case {
        std::string url;
        std::string reason;
    };
    const Case cases[] = {
        {loopback.Url("admin/delete?all=1"), "loopback address 127.0.0.1"},
        {"http://127.3.2.1:" + port + "/d", "loopback address 127.3.2.1"},
        {"http://localhost:" + port + "/d", "loopback address 127.0.0.1"},
        {"http://0.0.0.0:" + port + "/d", "unspecified address 0.0.0.0"},
        {"http://" + std::string(kOwnAddress) + ":" + port + "/d", "own address 10.77.1.1"},
        {"http://239.255.255.250:" + port + "/d", "multicast address 239.255.255.250"},
        {"http://255.255.255.255:" + port + "/d", "broadcast address 255.255.255.255"},
        {"http://10.77.1.255:" + port + "/d", "broadcast address 10.77.1.255"},
        {"http://10.77.9.1:" + port + "/d", ""},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.url);
        const size_t before = lines().size();
        const FetchResult result = GetAnnouncedUrl(refused.url);
        EXPECT_EQ(result.response, "");
        EXPECT_FALSE(result.outOfTime);
        const std::vector<std::string> logged(lines().begin() + static_cast<long>(before), lines().end());
        const std::vector<std::string> expected = {
            refused.reason.empty() ? TryConnectLine(refused.url)
                                   : ">GetUrl: refused, " + refused.reason + ": " + refused.url};
        EXPECT_EQ(logged, expected);
    }
    EXPECT_EQ(loopback.Connections(), 0);
}

TEST_F(GetAnnouncedUrlTest, ANeighboursAddressIsFetchedAndPingMayAimAnywhere)
{
    LoopbackHttpServer neighbour(Answer(kOk), 0, kNeighbourAddress);
    EXPECT_EQ(GetAnnouncedUrl(neighbour.Url("desc.xml")).response, kOk);
    LoopbackHttpServer loopback(Answer(kOk));
    EXPECT_EQ(GetUrl(loopback.Url("ping")), kOk);
}

TEST_F(GetAnnouncedUrlTest, ASlowNameLookupEndsOnTheConnectBound)
{
    platform::seams::SetHostResolver([](const std::string&, in_addr&) {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        return false;
    });

    const TimedFetch fetch = GetAnnouncedUrlTimed("http://indicator.example/desc.xml");

    EXPECT_EQ(fetch.result.response, "");
    EXPECT_TRUE(fetch.result.outOfTime);
    EXPECT_GE(fetch.milliseconds, 2900);
    EXPECT_LT(fetch.milliseconds, 4000);
    const std::vector<std::string> expected = {">GetUrl: no address for indicator.example within 3000 ms"};
    EXPECT_EQ(lines(), expected);
}

// A connection nobody answers needs a listener whose accept queue is full,
// which Linux reports through TCP_INFO; Windows refuses such a connection
// at once instead.
#ifndef _WIN32
bool ConnectWithin3Seconds(const LoopbackSocket& client, uint16_t port)
{
    const timeval bound{3, 0};
    setsockopt(client.fd(), SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    const sockaddr_in address = LoopbackAddress(port, kNeighbourAddress);
    return connect(client.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// A listening socket reports its accept queue's length as unacknowledged.
unsigned AcceptQueueLength(const LoopbackSocket& listener)
{
    tcp_info info{};
    socklen_t length = sizeof info;
    getsockopt(listener.fd(), IPPROTO_TCP, TCP_INFO, &info, &length);
    return info.tcpi_unacked;
}

TEST_F(GetAnnouncedUrlTest, ConnectWithoutAnswerEndsAfterThreeSeconds)
{
    // A listener whose accept queue is full drops further connection
    // requests unanswered; a backlog of 1 holds two connections.
    LoopbackSocket listener(0, kNeighbourAddress);
    ASSERT_EQ(listen(listener.fd(), 1), 0);
    LoopbackSocket fillers[2];
    for (LoopbackSocket& filler : fillers)
        ASSERT_TRUE(ConnectWithin3Seconds(filler, listener.port()));
    ASSERT_TRUE(PumpUntil([&] { return AcceptQueueLength(listener) == 2; }, 3000));
    const std::string url = listener.Url("desc.xml");

    const TimedFetch fetch = GetAnnouncedUrlTimed(url);

    EXPECT_EQ(fetch.result.response, "");
    EXPECT_TRUE(fetch.result.outOfTime);
    EXPECT_GE(fetch.milliseconds, 2900);
    EXPECT_LT(fetch.milliseconds, 4500);
    const std::vector<std::string> expected = {TryConnectLine(url)};
    EXPECT_EQ(lines(), expected);
}
#endif

TEST_F(GetAnnouncedUrlTest, SilentServerGivesEmptyAfterTheReceiveBound)
{
    LoopbackHttpServer server(Silence(), 0, kNeighbourAddress);

    const TimedFetch fetch = GetAnnouncedUrlTimed(server.Url("desc.xml"));

    EXPECT_EQ(fetch.result.response, "");
    EXPECT_TRUE(fetch.result.outOfTime);
    EXPECT_GE(fetch.milliseconds, 4900);
    EXPECT_LT(fetch.milliseconds, 7000);
    ASSERT_FALSE(lines().empty());
    EXPECT_EQ(lines().back(), "GetUrl::rxlen=-1");
    EXPECT_EQ(log.Count("GetUrl::try receive"), 1u);
}

// A bound that has come down to nothing is no wait at all, never a wait
// without a bound.
TEST_F(GetAnnouncedUrlTest, AFetchWithNothingLeftOfItsBoundEndsAtOnce)
{
    LoopbackHttpServer server(Silence(), 0, kNeighbourAddress);
    const auto start = Clock::now();
    const FetchResult result = GetAnnouncedUrl(server.Url("desc.xml"), {}, 0);
    EXPECT_TRUE(result.cutShort);
    EXPECT_FALSE(result.outOfTime);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

TEST_F(GetAnnouncedUrlTest, ServerThatNeverClosesGivesWhatItSent)
{
    const std::string partial = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart";
    LoopbackHttpServer server(AnswerAndHoldOpen(partial), 0, kNeighbourAddress);

    const TimedFetch fetch = GetAnnouncedUrlTimed(server.Url("desc.xml"));

    EXPECT_EQ(fetch.result.response, partial);
    EXPECT_TRUE(fetch.result.outOfTime);
    EXPECT_LT(fetch.milliseconds, 7000);
    ASSERT_FALSE(lines().empty());
    EXPECT_EQ(lines().back(), "GetUrl::rxlen=-1");
}

TEST_F(GetUrlTest, EndlessResponseIsCutAtOneMebibyte)
{
    const std::string header = "HTTP/1.1 200 OK\r\n\r\n";
    LoopbackHttpServer server(AnswerForever(header));

    const std::string response = GetUrl(server.Url("desc.xml"));

    std::string expected = header;
    while (expected.size() < kResponseCap)
        expected += EndlessBlock();
    expected.resize(kResponseCap);
    EXPECT_EQ(response.size(), kResponseCap);
    EXPECT_TRUE(response == expected);
    ASSERT_GE(lines().size(), 2u);
    EXPECT_EQ(lines().back(), ">GetUrl: response cut at 1048576 bytes");
    EXPECT_EQ(lines()[lines().size() - 2].rfind("GetUrl::rxlen=", 0), 0u);
    const std::vector<int> counts = ReceivedCounts(lines());
    EXPECT_EQ(counts.size(), log.Count("GetUrl::try receive"));
    EXPECT_GT(*std::min_element(counts.begin(), counts.end()), 0);
}

TEST_F(GetAnnouncedUrlTest, DrippingResponseIsCutAfterTheWholeResponseBound)
{
    LoopbackHttpServer server(Drip("HTTP/1.1 200 OK\r\n\r\n"), 0, kNeighbourAddress);

    const TimedFetch fetch = GetAnnouncedUrlTimed(server.Url("desc.xml"));

    EXPECT_EQ(fetch.result.response.rfind("HTTP/1.1 200 OK\r\n\r\nx", 0), 0u);
    EXPECT_EQ(fetch.result.response.find_first_not_of('x', 19), std::string::npos);
    EXPECT_TRUE(fetch.result.outOfTime);
    EXPECT_GE(fetch.milliseconds, 9900);
    EXPECT_LT(fetch.milliseconds, 13000);
    ASSERT_FALSE(lines().empty());
    EXPECT_EQ(lines().back(), ">GetUrl: response cut after 10000 ms");
}

// Fixed ports: bound only inside the test's own network namespace.
class GetUrlFixedPortTest : public GetUrlTest {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        GetUrlTest::SetUp();
    }
};

TEST_F(GetUrlFixedPortTest, PortDefaultsTo80AndAnEmptyPathAsksForTheRoot)
{
    struct Case {
        std::string url;
        uint16_t port;
        std::string request;
    };
    const Case cases[] = {
        {"http://127.0.0.1:81", 81, RequestFor("")},
        {"http://127.0.0.1", 80, RequestFor("")},
        {"http://127.0.0.1:", 80, RequestFor("")},
        {"http://127.0.0.1:/desc.xml", 80, RequestFor("desc.xml")},
        {"http://127.0.0.1/", 80, RequestFor("")},
    };
    for (const Case& fetch : cases) {
        SCOPED_TRACE(fetch.url);
        LoopbackHttpServer server(Answer(kOk), fetch.port);
        EXPECT_EQ(GetUrl(fetch.url), kOk);
        EXPECT_EQ(server.Request(), fetch.request);
    }
}

TEST_F(GetUrlFixedPortTest, PathOf237CharactersFillsTheRequest)
{
    LoopbackHttpServer server(Answer(kOk), 80);
    const std::string path(237, 'p');

    EXPECT_EQ(GetUrl("http://127.0.0.1/" + path), kOk);
    EXPECT_EQ(server.Request().size(), 255u);
    EXPECT_TRUE(log.Contains("GetUrl::Send(255)"));
}

class TickCountingWindow : public CWnd {
public:
    void OnTimer(UINT_PTR id) { (insideGetUrl ? ticksInside : ticksAfter).push_back(id); }

    bool insideGetUrl = false;
    std::vector<UINT_PTR> ticksInside;
    std::vector<UINT_PTR> ticksAfter;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TickCountingWindow, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Only repeats of one timer merge; different timers each come once, in the
// order they first came due.
TEST_F(GetUrlTest, TimersDueDuringTheWaitAreDeliveredOnceEachAfterGetUrlReturns)
{
    LoopbackHttpServer server(Silence());
    TickCountingWindow window;
    platform::testing::BareWidget widget(window);
    // In the 5-second receive wait 1234 comes due three times, 1235 twice;
    // both next at 6 s.
    window.SetTimer(1235, 2000);
    window.SetTimer(1234, 1500);

    window.insideGetUrl = true;
    EXPECT_EQ(GetUrl(server.Url("desc.xml")), "");
    window.insideGetUrl = false;

    EXPECT_TRUE(window.ticksInside.empty());
    ASSERT_TRUE(PumpUntil([&] { return window.ticksAfter.size() >= 2; }, 500));
    platform::testing::PumpFor(200);
    EXPECT_EQ(window.ticksAfter, (std::vector<UINT_PTR>{1234, 1235}));
}

}  // namespace
