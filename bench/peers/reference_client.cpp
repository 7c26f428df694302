// A minimal concurrent discovery client, the yardstick of the discovery
// benchmark: one M-SEARCH, and every description fetched at once as soon as
// its answer arrives, all on one epoll loop. It reports when it had the host
// name of every expected indicator.
//
//   quorvel-reference-client EXPECTED SECONDS

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kTarget[] = "urn:schemas-quorvel-com:device:indicator:1";
constexpr int kMaxSeconds = 60;
constexpr int kReceiveBuffer = 8 << 20;

struct Fetch {
    std::string location;
    std::string request;
    std::string response;
    bool sent = false;
};

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The value of a header, matched without regard to case, or "".
std::string Header(const std::string& message, const std::string& name)
{
    size_t line = message.find("\r\n");
    while (line != std::string::npos && line + 2 < message.size()) {
        const size_t start = line + 2;
        const size_t end = message.find("\r\n", start);
        const std::string text = message.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t colon = text.find(':');
        if (colon == name.size() && strncasecmp(text.c_str(), name.c_str(), name.size()) == 0) {
            const size_t value = text.find_first_not_of(' ', colon + 1);
            return value == std::string::npos ? std::string() : text.substr(value);
        }
        line = end;
    }
    return {};
}

std::string Between(const std::string& text, const std::string& open, const std::string& close)
{
    const size_t start = text.find(open);
    if (start == std::string::npos)
        return {};
    const size_t end = text.find(close, start + open.size());
    return end == std::string::npos ? std::string() : text.substr(start + open.size(), end - start - open.size());
}

// "http://a.b.c.d:port/path" only: what the simulator announces.
bool SplitUrl(const std::string& url, sockaddr_in& address, std::string& path)
{
    const std::string scheme = "http://";
    if (url.compare(0, scheme.size(), scheme) != 0)
        return false;
    const size_t slash = url.find('/', scheme.size());
    const std::string hostPort = url.substr(scheme.size(), slash - scheme.size());
    path = slash == std::string::npos ? "/" : url.substr(slash);
    const size_t colon = hostPort.find(':');
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_port = htons(colon == std::string::npos ? 80 : std::atoi(hostPort.c_str() + colon + 1));
    return inet_pton(AF_INET, hostPort.substr(0, colon).c_str(), &address.sin_addr) == 1;
}

class Client {
public:
    Client(int expected) : m_expected(expected) {}

    bool Start()
    {
        m_epoll = epoll_create1(0);
        m_udp = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        if (m_epoll < 0 || m_udp < 0)
            return false;
        setsockopt(m_udp, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer);
        Watch(m_udp, EPOLLIN);
        const std::string search = std::string("M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\n") +
                                   "MAN: \"ssdp:discover\"\r\nMX: 1\r\nST: " + kTarget + "\r\n\r\n";
        sockaddr_in group{};
        group.sin_family = AF_INET;
        group.sin_port = htons(1900);
        inet_pton(AF_INET, "239.255.255.250", &group.sin_addr);
        m_searched = Clock::now();
        return sendto(m_udp, search.data(), search.size(), 0, reinterpret_cast<sockaddr*>(&group), sizeof group) > 0;
    }

    // Runs until every expected host name is known or the time is up.
    void Run(int seconds)
    {
        epoll_event events[256];
        while (static_cast<int>(m_named.size()) < m_expected && MsSince(m_searched) < seconds * 1000.0) {
            const int count = epoll_wait(m_epoll, events, 256, 50);
            for (int i = 0; i < count; ++i) {
                if (events[i].data.fd == m_udp)
                    ReadAnswers();
                else
                    Advance(events[i].data.fd, events[i].events);
            }
        }
    }

    void Report() const
    {
        const bool all = static_cast<int>(m_named.size()) >= m_expected;
        std::printf("RESULT listed_ms=%s named=%zu answers=%ld fetches=%zu\n",
                    all ? std::to_string(static_cast<long>(m_listedMs)).c_str() : "NA", m_named.size(), m_answers,
                    m_started.size());
    }

private:
    void Watch(int fd, uint32_t events)
    {
        epoll_event event{};
        event.events = events;
        event.data.fd = fd;
        epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
    }

    void ReadAnswers()
    {
        char buffer[2048];
        ssize_t length;
        while ((length = recv(m_udp, buffer, sizeof buffer - 1, 0)) > 0) {
            ++m_answers;
            const std::string answer(buffer, static_cast<size_t>(length));
            const std::string location = Header(answer, "LOCATION");
            if (Header(answer, "ST") == kTarget && m_started.insert(location).second)
                StartFetch(location);
        }
    }

    void StartFetch(const std::string& location)
    {
        sockaddr_in address;
        std::string path;
        if (!SplitUrl(location, address, path))
            return;
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return;
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        const std::string host = location.substr(7, location.find('/', 7) - 7);
        m_fetches[fd].location = location;
        m_fetches[fd].request = "GET " + path + " HTTP/1.1\r\nHOST: " + host + "\r\nConnection: close\r\n\r\n";
        Watch(fd, EPOLLOUT | EPOLLIN);
    }

    void Advance(int fd, uint32_t events)
    {
        Fetch& fetch = m_fetches[fd];
        if ((events & EPOLLOUT) && !fetch.sent) {
            fetch.sent = send(fd, fetch.request.data(), fetch.request.size(), MSG_NOSIGNAL) > 0;
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.fd = fd;
            epoll_ctl(m_epoll, EPOLL_CTL_MOD, fd, &event);
        }
        if (!(events & (EPOLLIN | EPOLLHUP | EPOLLERR)))
            return;
        char buffer[4096];
        ssize_t length;
        while ((length = recv(fd, buffer, sizeof buffer, 0)) > 0)
            fetch.response.append(buffer, static_cast<size_t>(length));
        if (length == 0 || (length < 0 && errno != EAGAIN))
            Finish(fd);
    }

    void Finish(int fd)
    {
        const Fetch& fetch = m_fetches[fd];
        const std::string model = Between(fetch.response, "<modelDescription>", "</modelDescription>");
        const bool named = !Between(model, "\"", "\"").empty();
        if (named && m_named.insert(fetch.location).second && static_cast<int>(m_named.size()) == m_expected)
            m_listedMs = MsSince(m_searched);
        m_fetches.erase(fd);
        close(fd);
    }

    int m_expected;
    int m_epoll = -1;
    int m_udp = -1;
    long m_answers = 0;
    Clock::time_point m_searched;
    double m_listedMs = 0;
    std::set<std::string> m_started;
    std::set<std::string> m_named;  // locations whose description gave a host name
    std::map<int, Fetch> m_fetches;
};

// Every description is fetched at once: a thousand sockets are open together.
void AllowManySockets()
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int main(int argc, char** argv)
{
    const int expected = argc == 3 ? std::atoi(argv[1]) : 0;
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 0;
    if (expected <= 0 || seconds <= 0 || seconds > kMaxSeconds) {
        std::fprintf(stderr, "usage: %s EXPECTED SECONDS(1..%d)\n", argv[0], kMaxSeconds);
        return 2;
    }
    AllowManySockets();
    Client client(expected);
    if (!client.Start()) {
        std::perror("search");
        return 1;
    }
    client.Run(seconds);
    client.Report();
    return 0;
}
