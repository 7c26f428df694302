// A plain SSDP and HTTP client for lab tests: listens to the group, searches,
// sends arbitrary datagrams and fetches URLs, printing what arrives so that
// shell scripts can grep it. Every command ends after a bounded time.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ssdp/ssdp_message.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kGroup[] = "239.255.255.250";
constexpr int kSsdpPort = 1900;
constexpr int kMulticastTtl = 4;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Usage:\n"
    "  ssdp-probe listen --ip ADDR [--seconds N] [--count K]\n"
    "  ssdp-probe search --ip ADDR --st ST [--seconds N] [--count K]\n"
    "  ssdp-probe send --ip ADDR [--to GROUP_OR_ADDR] [--port P] (--hex HEX | --text TEXT)\n"
    "  ssdp-probe get URL [--seconds N]\n"
    "  ssdp-probe accept --ip ADDR --port P [--seconds N]\n"
    "listen and search print two lines per datagram:\n"
    "  FROM <ip>:<port> TTL <ttl> LEN <n> HEX <bytes>\n"
    "  TEXT <bytes with \\r \\n \\t \\\\ and other controls escaped>\n"
    "accept listens on TCP and prints ACCEPTED <ip>:<port> per connection.\n"
    "--seconds defaults to 5; --to to the SSDP group, --port to 1900.\n"
    "TEXT for send understands \\r \\n \\t \\\\ \\0 and \\xHH.\n";

[[noreturn]] void UsageError(const std::string& message)
{
    std::fprintf(stderr, "ssdp-probe: %s\n%s", message.c_str(), kUsage);
    std::exit(kExitUsage);
}

[[noreturn]] void SystemFailure(const std::string& what)
{
    std::fprintf(stderr, "ssdp-probe: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(kExitFailure);
}

int Check(int result, const std::string& what)
{
    if (result < 0)
        SystemFailure(what);
    return result;
}

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    bool Has(const std::string& name) const { return options.count(name) > 0; }

    std::string Text(const std::string& name, const std::string& fallback = {}) const
    {
        auto found = options.find(name);
        if (found != options.end())
            return found->second;
        if (fallback.empty())
            UsageError("missing --" + name);
        return fallback;
    }

    int Number(const std::string& name, int fallback) const
    {
        if (!Has(name))
            return fallback;
        const std::string& text = options.at(name);
        char* end = nullptr;
        long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || value < 0 || value > 100000)
            UsageError("--" + name + " needs a whole number, not '" + text + "'");
        return static_cast<int>(value);
    }
};

Arguments ParseArguments(int argc, char** argv)
{
    if (argc < 2)
        UsageError("missing command");
    Arguments arguments;
    arguments.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string word = argv[i];
        if (word.rfind("--", 0) != 0) {
            arguments.positional.push_back(word);
            continue;
        }
        if (i + 1 == argc)
            UsageError("option " + word + " needs a value");
        arguments.options[word.substr(2)] = argv[++i];
    }
    return arguments;
}

in_addr ParseAddress(const std::string& text)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        UsageError("'" + text + "' is not an IPv4 address");
    return address;
}

sockaddr_in Endpoint(in_addr address, int port)
{
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<uint16_t>(port));
    endpoint.sin_addr = address;
    return endpoint;
}

void SetIntOption(int fd, int level, int name, int value, const char* what)
{
    Check(setsockopt(fd, level, name, &value, sizeof value), what);
}

Clock::time_point DeadlineAfter(int seconds)
{
    return Clock::now() + std::chrono::seconds(seconds);
}

int MillisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for events on fd until the deadline; false when it passed.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return false;
        pollfd entry{fd, events, 0};
        int ready = poll(&entry, 1, left);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            SystemFailure("poll");
    }
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xf];
    }
    return hex;
}

std::string Escaped(const std::string& bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        switch (byte) {
        case '\r': text += "\\r"; break;
        case '\n': text += "\\n"; break;
        case '\t': text += "\\t"; break;
        case '\\': text += "\\\\"; break;
        default:
            if (byte < 0x20 || byte >= 0x7f) {
                char code[5];
                std::snprintf(code, sizeof code, "\\x%02x", byte);
                text += code;
            } else {
                text += static_cast<char>(byte);
            }
        }
    }
    return text;
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    UsageError(std::string("'") + digit + "' is not a hex digit");
}

std::string FromHex(const std::string& hex)
{
    if (hex.size() % 2 != 0)
        UsageError("--hex needs an even number of digits");
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1]));
    return bytes;
}

std::string Unescaped(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char code = text[++i];
        if (code == 'r') bytes += '\r';
        else if (code == 'n') bytes += '\n';
        else if (code == 't') bytes += '\t';
        else if (code == '0') bytes += '\0';
        else if (code == 'x' && i + 2 < text.size()) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else bytes += code;
    }
    return bytes;
}

void PrintDatagram(const sockaddr_in& from, int ttl, const std::string& bytes)
{
    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, address, sizeof address);
    std::printf("FROM %s:%d TTL %d LEN %zu HEX %s\n", address, ntohs(from.sin_port), ttl, bytes.size(),
                Hex(bytes).c_str());
    std::printf("TEXT %s\n", Escaped(bytes).c_str());
    std::fflush(stdout);
}

int TtlOf(msghdr& message)
{
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_TTL) {
            int ttl = 0;
            std::memcpy(&ttl, CMSG_DATA(header), sizeof ttl);
            return ttl;
        }
    }
    return -1;
}

// Prints datagrams until max_count arrived (0: no limit) or the deadline.
void PrintDatagrams(int fd, Clock::time_point deadline, int max_count)
{
    static char buffer[65536];
    for (int received = 0; max_count == 0 || received < max_count;) {
        if (!WaitFor(fd, POLLIN, deadline))
            return;
        sockaddr_in from{};
        iovec payload{buffer, sizeof buffer};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int)) * 2];
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &payload;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        ssize_t length = recvmsg(fd, &message, MSG_DONTWAIT);
        if (length < 0)
            continue;
        PrintDatagram(from, TtlOf(message), std::string(buffer, static_cast<size_t>(length)));
        ++received;
    }
}

int UdpSocket()
{
    int fd = Check(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0), "UDP socket");
    SetIntOption(fd, IPPROTO_IP, IP_RECVTTL, 1, "IP_RECVTTL");
    return fd;
}

void BindTo(int fd, const sockaddr_in& endpoint, const char* what)
{
    Check(bind(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint), what);
}

// Multicast leaves through the interface of address with the SSDP hop limit.
void SendFrom(int fd, in_addr address)
{
    Check(setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &address, sizeof address), "IP_MULTICAST_IF");
    SetIntOption(fd, IPPROTO_IP, IP_MULTICAST_TTL, kMulticastTtl, "IP_MULTICAST_TTL");
}

void SendDatagram(int fd, const std::string& bytes, const sockaddr_in& to)
{
    Check(static_cast<int>(sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                                  sizeof to)),
          "send");
}

int Listen(const Arguments& arguments)
{
    const in_addr address = ParseAddress(arguments.Text("ip"));
    const Clock::time_point deadline = DeadlineAfter(arguments.Number("seconds", 5));
    int fd = UdpSocket();
    SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1, "SO_REUSEADDR");
    BindTo(fd, Endpoint(in_addr{htonl(INADDR_ANY)}, kSsdpPort), "bind UDP port 1900");
    ip_mreq membership{};
    membership.imr_multiaddr = ParseAddress(kGroup);
    membership.imr_interface = address;
    Check(setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership), "join group");
    SetIntOption(fd, IPPROTO_IP, IP_MULTICAST_ALL, 0, "IP_MULTICAST_ALL");
    std::fprintf(stderr, "READY\n");
    PrintDatagrams(fd, deadline, arguments.Number("count", 0));
    return 0;
}

int Search(const Arguments& arguments)
{
    const in_addr address = ParseAddress(arguments.Text("ip"));
    const Clock::time_point deadline = DeadlineAfter(arguments.Number("seconds", 5));
    char request[1500];
    if (ComposeMSearch(request, sizeof request, arguments.Text("st").c_str()) < 0)
        UsageError("--st is too long");
    int fd = UdpSocket();
    BindTo(fd, Endpoint(address, 0), "bind search socket");
    SendFrom(fd, address);
    SendDatagram(fd, request, Endpoint(ParseAddress(kGroup), kSsdpPort));
    PrintDatagrams(fd, deadline, arguments.Number("count", 0));
    return 0;
}

int Send(const Arguments& arguments)
{
    const in_addr address = ParseAddress(arguments.Text("ip"));
    const in_addr to = ParseAddress(arguments.Text("to", kGroup));
    if (arguments.Has("hex") == arguments.Has("text"))
        UsageError("send needs exactly one of --hex and --text");
    const std::string bytes = arguments.Has("hex") ? FromHex(arguments.Text("hex")) : Unescaped(arguments.Text("text"));
    int fd = UdpSocket();
    BindTo(fd, Endpoint(address, 0), "bind send socket");
    if (IN_MULTICAST(ntohl(to.s_addr)))
        SendFrom(fd, address);
    SendDatagram(fd, bytes, Endpoint(to, arguments.Number("port", kSsdpPort)));
    return 0;
}

// A service on the host that must never be asked anything: every
// connection it accepts is printed and closed at once.
int Accept(const Arguments& arguments)
{
    const in_addr address = ParseAddress(arguments.Text("ip"));
    const Clock::time_point deadline = DeadlineAfter(arguments.Number("seconds", 5));
    int fd = Check(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0), "TCP socket");
    SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1, "SO_REUSEADDR");
    BindTo(fd, Endpoint(address, arguments.Number("port", 80)), "bind TCP port");
    Check(listen(fd, 16), "listen");
    std::fprintf(stderr, "READY\n");
    while (WaitFor(fd, POLLIN, deadline)) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int connection = accept4(fd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        std::printf("ACCEPTED %s:%d\n", inet_ntoa(peer.sin_addr), ntohs(peer.sin_port));
        std::fflush(stdout);
        close(connection);
    }
    return 0;
}

struct Url {
    in_addr address{};
    int port = 80;
    std::string path = "/";
};

Url ParseUrl(const std::string& text)
{
    const std::string scheme = "http://";
    if (text.rfind(scheme, 0) != 0)
        UsageError("URL must start with http://");
    std::string rest = text.substr(scheme.size());
    Url url;
    const size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        url.path = rest.substr(slash);
        rest.resize(slash);
    }
    const size_t colon = rest.find(':');
    if (colon != std::string::npos) {
        url.port = std::atoi(rest.c_str() + colon + 1);
        rest.resize(colon);
    }
    url.address = ParseAddress(rest);
    return url;
}

bool ConnectBefore(int fd, const sockaddr_in& endpoint, Clock::time_point deadline)
{
    if (connect(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) == 0)
        return true;
    if (errno != EINPROGRESS || !WaitFor(fd, POLLOUT, deadline))
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    return error == 0;
}

// Exit 0 when any byte of an answer arrived before the deadline.
int Get(const Arguments& arguments)
{
    if (arguments.positional.size() != 1)
        UsageError("get needs one URL");
    const Url url = ParseUrl(arguments.positional[0]);
    const Clock::time_point deadline = DeadlineAfter(arguments.Number("seconds", 5));
    int fd = Check(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0), "TCP socket");
    if (!ConnectBefore(fd, Endpoint(url.address, url.port), deadline)) {
        std::fprintf(stderr, "ssdp-probe: could not connect\n");
        return kExitFailure;
    }
    const std::string request = "GET " + url.path + " HTTP/1.1\r\n\r\n";
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
        SystemFailure("send request");
    size_t total = 0;
    char buffer[4096];
    while (WaitFor(fd, POLLIN, deadline)) {
        ssize_t length = recv(fd, buffer, sizeof buffer, 0);
        if (length <= 0)
            break;
        std::fwrite(buffer, 1, static_cast<size_t>(length), stdout);
        total += static_cast<size_t>(length);
    }
    std::fflush(stdout);
    return total > 0 ? 0 : kExitFailure;
}

}  // namespace

int main(int argc, char** argv)
{
    const Arguments arguments = ParseArguments(argc, argv);
    if (arguments.command == "listen")
        return Listen(arguments);
    if (arguments.command == "search")
        return Search(arguments);
    if (arguments.command == "send")
        return Send(arguments);
    if (arguments.command == "get")
        return Get(arguments);
    if (arguments.command == "accept")
        return Accept(arguments);
    if (arguments.command == "--help" || arguments.command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    UsageError("unknown command '" + arguments.command + "'");
}
