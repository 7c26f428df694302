#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "afx_wnd.h"
#include "isolated_network.h"
#include "log/log_message.h"
#include "platform_testing.h"
#include "tcp_listener.h"
#include "ssdp/ssdp_message.h"
#include "ssdp/ssdp_socket.h"

namespace {

using platform::testing::PumpUntil;

struct Delivery {
    std::string text;
    unsigned long sender;
};

class RecordingReceiver : public CSsdpReceiver {
public:
    void OnReceive(const char* text, unsigned long senderAddress) override
    {
        deliveries.push_back({text, senderAddress});
        if (timeline)
            timeline->push_back(text);
    }
    std::vector<Delivery> deliveries;
    // Shared with other receivers and windows, to see the order across them.
    std::vector<std::string>* timeline = nullptr;
};

class PlainUdpSocket {
public:
    PlainUdpSocket() : fd(OpenTestSocket(SOCK_DGRAM)) {}
    ~PlainUdpSocket() { Close(); }
    void SendTo(const std::string& bytes, const sockaddr_in& to) const
    {
        ASSERT_EQ(sendto(fd, bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                         sizeof to),
                  static_cast<int>(bytes.size()));
    }
    void Close()
    {
        if (fd != kNoTestSocket)
            CloseTestSocket(fd);
        fd = kNoTestSocket;
    }
    TestSocket fd;
};

sockaddr_in LocalAddressOf(TestSocket socket)
{
    sockaddr_in address{};
    SocketLength length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// True once the kernel holds nothing more for the socket: neither a datagram
// nor a pending error. Bounded by a deadline, as it runs on a peer's thread.
bool WaitUntilKernelQueueEmpty(TestSocket socket)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!WaitReadable(socket, 0))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// A blocking receive on a TCP connection whose peer, on its own thread, runs
// `during` while the receive waits and answers only then.
class BlockingReceive {
public:
    explicit BlockingReceive(std::function<void()> during) : m_listener(ListenOnFreePort("127.0.0.1", 1, m_port))
    {
        m_peer = std::thread([this, during = std::move(during)] {
            if (!WaitReadable(m_listener, 5000))
                return;
            const TestSocket connection = accept(m_listener, nullptr, nullptr);
            during();
            send(connection, "!", 1, kNoSignalFlag);
            CloseTestSocket(connection);
        });
    }
    ~BlockingReceive()
    {
        m_peer.join();
        CloseTestSocket(m_listener);
    }

    // Returns the byte count the blocking receive gave.
    int Run()
    {
        CSocket client;
        client.Create();
        client.SetTimeout(5000);
        if (!client.Connect("127.0.0.1", m_port))
            return SOCKET_ERROR;
        char answer;
        return client.Receive(&answer, 1);
    }

private:
    int m_port = 0;
    TestSocket m_listener;
    std::thread m_peer;
};

class SsdpSocketReceiveTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        platform::testing::EnsureApplication();
        ASSERT_TRUE(socket.Create());
        ASSERT_TRUE(socket.Bind(0, "127.0.0.1"));
        socket.SetReceiver(&receiver);
        target = LocalAddressOf(socket.m_hSocket);
    }

    bool WaitForDeliveries(size_t count)
    {
        return PumpUntil([&] { return receiver.deliveries.size() >= count; }, 3000);
    }

    platform::testing::DebugOutputRecorder log;
    platform::testing::MessageBoxRecorder boxes;
    CSsdpSocket socket;
    RecordingReceiver receiver;
    PlainUdpSocket peer;
    sockaddr_in target{};
};

TEST_F(SsdpSocketReceiveTest, DeliversA1500ByteDatagramWholeWithTheSender)
{
    const std::string datagram(1500, 'x');
    peer.SendTo(datagram, target);
    ASSERT_TRUE(WaitForDeliveries(1));
    EXPECT_EQ(receiver.deliveries[0].text, datagram);
    EXPECT_EQ(receiver.deliveries[0].sender, htonl(INADDR_LOOPBACK));
}

TEST_F(SsdpSocketReceiveTest, DropsOversizedAndEmptyDatagramsAndKeepsListening)
{
    peer.SendTo(std::string(1501, 'y'), target);
    peer.SendTo("", target);
    peer.SendTo("NOTIFY * HTTP/1.1\r\n\r\n", target);
    ASSERT_TRUE(WaitForDeliveries(1));
    EXPECT_EQ(receiver.deliveries.size(), 1u);
    EXPECT_EQ(receiver.deliveries[0].text, "NOTIFY * HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(log.Contains(">dropped datagram over 1500 bytes from 127.0.0.1"));
    EXPECT_TRUE(log.Contains(">dropped empty datagram from 127.0.0.1"));
    EXPECT_TRUE(boxes.calls().empty());
    EXPECT_NE(socket.m_hSocket, INVALID_SOCKET);
}

TEST_F(SsdpSocketReceiveTest, WithoutReceiverDatagramsAreReadAndDropped)
{
    socket.SetReceiver(nullptr);
    peer.SendTo("first", target);
    ASSERT_TRUE(PumpUntil([&] {
        return !WaitReadable(socket.m_hSocket, 0);
    }, 3000));
    socket.SetReceiver(&receiver);
    peer.SendTo("second", target);
    ASSERT_TRUE(WaitForDeliveries(1));
    EXPECT_EQ(receiver.deliveries[0].text, "second");
}

// A connected datagram socket hears of the ICMP answer to what it sent: the
// next read fails, as a real receive error does. The box's own loop serves
// the socket's next datagram; the socket closes only once the box is gone.
TEST_F(SsdpSocketReceiveTest, AReceiveErrorShowsTheRealErrorBoxAndClosesTheSocket)
{
    sockaddr_in nobody = target;
    {
        PlainUdpSocket gone;
        nobody.sin_port = 0;
        ASSERT_EQ(bind(gone.fd, reinterpret_cast<const sockaddr*>(&nobody), sizeof nobody), 0);
        nobody = LocalAddressOf(gone.fd);
    }
    ASSERT_EQ(connect(socket.m_hSocket, reinterpret_cast<const sockaddr*>(&nobody), sizeof nobody), 0);
    ASSERT_EQ(send(socket.m_hSocket, "x", 1, 0), 1);

    platform::seams::SetMessageBoxHandler({});
    std::vector<platform::testing::ShownMessageBox> shown;
    bool servedWhileShown = false;
    bool openWhileShown = false;
    platform::testing::WhenMessageBoxShown([&](const auto& box) {
        shown.push_back(box);
        PlainUdpSocket back;
        ASSERT_EQ(bind(back.fd, reinterpret_cast<const sockaddr*>(&nobody), sizeof nobody), 0);
        back.SendTo("while the box is open", target);
        servedWhileShown = WaitForDeliveries(1);
        openWhileShown = socket.m_hSocket != INVALID_SOCKET;
    });
    ASSERT_TRUE(PumpUntil([&] { return !shown.empty() && socket.m_hSocket == INVALID_SOCKET; }, 3000));
    EXPECT_EQ(shown[0].icon, platform::testing::MessageBoxIcon::Error);
    EXPECT_EQ(shown[0].caption, "Quorvel");
    EXPECT_EQ(shown[0].text, "ReceiveFrom(0.0.0.0)\n" + std::string(GetErrorText(kPeerPortUnreachableError)));
    EXPECT_TRUE(servedWhileShown);
    EXPECT_TRUE(openWhileShown);
    ASSERT_EQ(receiver.deliveries.size(), 1u);
    EXPECT_EQ(receiver.deliveries[0].text, "while the box is open");
}

class SsdpSocketSendTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ISOLATED_NETWORK();
        platform::testing::EnsureApplication();
    }
    platform::testing::DebugOutputRecorder log;
};

// The TTL a datagram arrived with is read from its control message
// (IP_RECVTTL), which Linux gives; the Windows tests leave it out.
#ifndef _WIN32
// A listener on the group port over the loopback interface, reading the TTL.
class GroupListener {
public:
    GroupListener() : fd(socket(AF_INET, SOCK_DGRAM, 0))
    {
        int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(1900);
        bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any);
        ip_mreq request{};
        request.imr_multiaddr.s_addr = inet_addr("239.255.255.250");
        request.imr_interface.s_addr = htonl(INADDR_LOOPBACK);
        setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request);
        timeval timeout{3, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    ~GroupListener() { close(fd); }
    bool Receive(std::string& bytes, int& ttl)
    {
        char buffer[2048];
        char control[256];
        iovec vector{buffer, sizeof buffer};
        msghdr message{};
        message.msg_iov = &vector;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        ssize_t length = recvmsg(fd, &message, 0);
        if (length < 0)
            return false;
        bytes.assign(buffer, static_cast<size_t>(length));
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_TTL)
                std::memcpy(&ttl, CMSG_DATA(header), sizeof ttl);
        }
        return true;
    }
    int fd;
};

TEST_F(SsdpSocketSendTest, SendDiscoverMulticastsTheSearchWithTtl4)
{
    GroupListener listener;
    CSsdpSocket socket;
    ASSERT_TRUE(socket.Create());
    ASSERT_TRUE(socket.SetMulticastInterface(htonl(INADDR_LOOPBACK)));
    socket.SendDiscover(kSearchTarget);

    std::string bytes;
    int ttl = -1;
    ASSERT_TRUE(listener.Receive(bytes, ttl));
    char expected[1500];
    int length = ComposeMSearch(expected, sizeof expected, kSearchTarget);
    EXPECT_EQ(bytes, std::string(expected, static_cast<size_t>(length)));
    EXPECT_EQ(ttl, 4);
    const std::string handle = std::to_string(socket.m_hSocket);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"CSsdpSocket::Create(#" + handle + ")",
                                                      "CSsdpSocket::SetMulticastInterface(#" + handle + ",127.0.0.1)",
                                                      "SendDiscover:SentTo(#" + handle + ")"}));
}
#endif

TEST_F(SsdpSocketSendTest, ReceiveBufferHoldsABurstOfAnswers)
{
    CSsdpSocket socket;
    ASSERT_TRUE(socket.Create());
    int granted = 0;
    SocketLength length = sizeof granted;
    ASSERT_EQ(getsockopt(socket.m_hSocket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted), &length), 0);
    EXPECT_GT(granted, 212992 * 2 - 1) << "room for well over 256 answers of about 350 bytes";
}

TEST_F(SsdpSocketSendTest, FailedSendIsLoggedAfterTheSendLine)
{
    CSsdpSocket socket;
    socket.SendDiscover(kSearchTarget);
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0], "SendDiscover:SentTo(#-1)");
    EXPECT_EQ(log.lines()[1], "SendDiscover:SentTo()failed(-1:" + std::string(GetErrorText(kNotASocketError)) + ")");
}

TEST_F(SsdpSocketSendTest, FailedMembershipIsLogged)
{
    CSsdpSocket socket;
    ASSERT_TRUE(socket.Create());
    socket.AddMembership("10.1.2.3");  // not a multicast group
    EXPECT_TRUE(log.ContainsPrefix("SendDiscover:AddMembership()failed(-1:"));
}

// Datagrams that arrive while a blocking call waits reach their receivers only
// after it returns, every socket's in the order they came.
class SsdpSocketHeldReceiveTest : public SsdpSocketReceiveTest {
protected:
    void SetUp() override
    {
        SsdpSocketReceiveTest::SetUp();
        ASSERT_TRUE(other.Create());
        ASSERT_TRUE(other.Bind(0, "127.0.0.1"));
        other.SetReceiver(&otherReceiver);
        otherTarget = LocalAddressOf(other.m_hSocket);
    }

    // Runs a blocking receive during which `during` sends; true when nothing
    // was delivered inside it.
    bool NothingDeliveredWhileBlocking(std::function<void()> during)
    {
        BlockingReceive blocking(std::move(during));
        int received = blocking.Run();
        EXPECT_EQ(received, 1);
        return receiver.deliveries.empty() && otherReceiver.deliveries.empty();
    }

    static std::vector<std::string> Texts(const RecordingReceiver& recorded)
    {
        std::vector<std::string> texts;
        for (const Delivery& delivery : recorded.deliveries)
            texts.push_back(delivery.text);
        return texts;
    }

    CSsdpSocket other;
    RecordingReceiver otherReceiver;
    sockaddr_in otherTarget{};
};

class TickRecordingWindow : public CWnd {
public:
    void OnTimer(UINT_PTR id)
    {
        KillTimer(id);
        timeline->push_back("tick");
    }
    std::vector<std::string>* timeline = nullptr;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TickRecordingWindow, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Each datagram in the wait is sent once the one before it has been taken
// from the kernel, so their order of arrival is known. A timer started after
// the datagrams that come before the wait comes due after their arrival.
TEST_F(SsdpSocketHeldReceiveTest, DatagramsOnBothSocketsAndTicksAreDeliveredAfterTheWaitInTheirOrder)
{
    struct Sent {
        bool toOther;
        std::string text;
    };
    struct Case {
        const char* name;
        std::vector<Sent> beforeTheWait;
        bool tick;
        std::vector<Sent> inTheWait;
    };
    const Case cases[] = {
        {"interleaved", {}, false, {{false, "first"}, {true, "other"}, {false, "second"}, {false, "third"}}},
        {"two on one socket, then the other", {}, false, {{false, "first"}, {false, "second"}, {true, "other"}}},
        {"two on one socket around one on the other",
         {},
         false,
         {{false, "first"}, {false, "second"}, {true, "other"}, {false, "third"}}},
        {"a tick after two datagrams", {{false, "first"}, {false, "second"}}, true, {}},
    };
    std::vector<std::string> timeline;
    receiver.timeline = &timeline;
    otherReceiver.timeline = &timeline;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        timeline.clear();
        TickRecordingWindow window;
        window.timeline = &timeline;
        platform::testing::BareWidget widget(window);
        std::vector<std::string> expected;
        auto send = [&](const Sent& datagram) {
            peer.SendTo(datagram.text, datagram.toOther ? otherTarget : target);
            return datagram.toOther ? other.m_hSocket : socket.m_hSocket;
        };
        for (const Sent& datagram : row.beforeTheWait) {
            send(datagram);
            expected.push_back(datagram.text);
        }
        if (row.tick) {
            window.SetTimer(1235, 0);
            expected.push_back("tick");
        }
        for (const Sent& datagram : row.inTheWait)
            expected.push_back(datagram.text);

        EXPECT_TRUE(NothingDeliveredWhileBlocking([&] {
            for (const Sent& datagram : row.inTheWait)
                WaitUntilKernelQueueEmpty(send(datagram));
            WaitUntilKernelQueueEmpty(socket.m_hSocket);
            WaitUntilKernelQueueEmpty(other.m_hSocket);
        }));
        ASSERT_TRUE(PumpUntil([&] { return timeline.size() == expected.size(); }, 3000));
        EXPECT_EQ(timeline, expected);
        receiver.deliveries.clear();
        otherReceiver.deliveries.clear();
    }
}

// The Linux platform queues the datagrams that come during a blocking call
// itself, within a bound; on Windows they wait in the system's socket.
#ifndef _WIN32
// The queue has room for two 200-byte datagrams; in the second row also for
// the entries of the oversized ones that come first, which keep no bytes.
TEST_F(SsdpSocketHeldReceiveTest, FullQueueDropsTheRestWithOneLineAndKeepsListening)
{
    const std::string a(200, 'a'), b(200, 'b'), c(200, 'c'), d(200, 'd'), e(200, 'e');
    struct Case {
        const char* name;
        size_t limit;
        size_t oversizedFirst;
        std::vector<std::string> sent;
        std::vector<std::string> delivered;
        size_t fullLines;
    };
    const Case cases[] = {
        {"five for two places", 2 * (200 + 100) + 50, 0, {a, b, c, d, e}, {a, b}, 1},
        {"oversized ones take no places", 2 * (200 + 100) + 50 + 20 * 100, 20, {a, b}, {a, b}, 0},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        platform::testing::DebugOutputRecorder rowLog;
        platform::testing::ReceiveQueueLimit limit(row.limit);
        receiver.deliveries.clear();
        EXPECT_TRUE(NothingDeliveredWhileBlocking([&] {
            for (size_t count = 0; count < row.oversizedFirst; ++count)
                peer.SendTo(std::string(4000, 'o'), target);
            for (const std::string& datagram : row.sent)
                peer.SendTo(datagram, target);
            WaitUntilKernelQueueEmpty(socket.m_hSocket);
        }));
        ASSERT_TRUE(PumpUntil([&] {
            return receiver.deliveries.size() == row.delivered.size() &&
                   rowLog.Count(">receive queue full: datagrams dropped") == row.fullLines &&
                   rowLog.Count(">dropped datagram over 1500 bytes from 127.0.0.1") == row.oversizedFirst;
        }, 3000));
        peer.SendTo("after the flood", target);
        ASSERT_TRUE(WaitForDeliveries(row.delivered.size() + 1));
        std::vector<std::string> expected = row.delivered;
        expected.push_back("after the flood");
        EXPECT_EQ(Texts(receiver), expected);
        EXPECT_EQ(rowLog.Count(">receive queue full: datagrams dropped"), row.fullLines);
        EXPECT_EQ(rowLog.Count(">dropped datagram over 1500 bytes from 127.0.0.1"), row.oversizedFirst);
        EXPECT_TRUE(boxes.calls().empty());
    }
}
#endif

// A connected datagram socket learns from the port-unreachable answer to its
// own send that its peer is gone: a read error between two datagrams.
TEST_F(SsdpSocketHeldReceiveTest, ReadErrorKeepsItsPlaceBetweenDatagrams)
{
    PlainUdpSocket first;
    sockaddr_in peerAddress = LocalAddressOf(first.fd);
    ASSERT_EQ(bind(first.fd, reinterpret_cast<sockaddr*>(&peerAddress), sizeof peerAddress), 0);
    SocketLength length = sizeof peerAddress;
    getsockname(first.fd, reinterpret_cast<sockaddr*>(&peerAddress), &length);
    ASSERT_EQ(connect(socket.m_hSocket, reinterpret_cast<sockaddr*>(&peerAddress), sizeof peerAddress), 0);

    EXPECT_TRUE(NothingDeliveredWhileBlocking([&] {
        first.SendTo("before the error", target);
        WaitUntilKernelQueueEmpty(socket.m_hSocket);
        first.Close();
        send(socket.m_hSocket, "?", 1, 0);
        WaitUntilKernelQueueEmpty(socket.m_hSocket);
    }));
    ASSERT_TRUE(PumpUntil([&] { return !boxes.calls().empty(); }, 3000));
    EXPECT_EQ(Texts(receiver), (std::vector<std::string>{"before the error"}));
    EXPECT_EQ(boxes.calls()[0].text.rfind("ReceiveFrom(", 0), 0u);
    EXPECT_EQ(socket.m_hSocket, INVALID_SOCKET);
}

// Made with the Linux tools in the test's namespace; the Windows tests have
// none to make links with.
#ifndef _WIN32
// The kernel's own list, in a namespace of the test's own with two links:
// whichever carries the default route comes last, since the searches leave
// through the last interface kept.
TEST(InterfaceListTest, TheDefaultRouteInterfaceComesLast)
{
    REQUIRE_ISOLATED_NETWORK();
    ASSERT_EQ(std::system("ip link add qv-a type veth peer name qv-b && ip addr add 10.88.1.1/24 dev qv-a && "
                          "ip addr add 10.88.2.1/24 dev qv-b && ip link set qv-a up && ip link set qv-b up"),
              0);
    const SOCKET query = socket(AF_INET, SOCK_DGRAM, 0);
    const auto lastAddress = [query] {
        std::vector<INTERFACE_INFO> interfaces;
        char last[INET_ADDRSTRLEN] = "";
        if (GetInterfaceList(query, interfaces) && interfaces.size() >= 3)
            inet_ntop(AF_INET, &interfaces.back().iiAddress.AddressIn.sin_addr, last, sizeof last);
        return std::string(last);
    };
    for (const auto& [link, address] : {std::pair{"qv-a", "10.88.1.1"}, std::pair{"qv-b", "10.88.2.1"}}) {
        const std::string route = std::string("ip route replace default dev ") + link;
        ASSERT_EQ(std::system(route.c_str()), 0);
        // The platform reads the kernel's list again at most twice a second.
        EXPECT_TRUE(PumpUntil([&] { return lastAddress() == address; }, 3000))
            << "default route on " << link << ", last " << lastAddress();
    }
    CloseTestSocket(query);
    EXPECT_EQ(std::system("ip link del qv-a"), 0);
}
#endif

}  // namespace
