// Sends SSDP traffic to the group at a steady rate. By default foreign
// traffic, as a busy LAN does: searches for another device type,
// announcements of another device type, and goodbyes of indicators nobody has
// seen. None of it is for the program, which must still read every datagram.
// With --mode new-usns, announcements of the indicator type, each under a USN
// never sent before, as a buggy device that makes up a UUID per message
// does. Bounded in rate, time and count; ends at the latest 5 s after the
// planned time.
//
//   ssdp-flood --ip ADDR --rate N --seconds S [--mode foreign|new-usns]
//
// Prints "SENT n FAILED f IN ms" on standard output at the end.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "ssdp/ssdp_message.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kGroup[] = "239.255.255.250";
constexpr int kSsdpPort = 1900;
constexpr int kMaxRate = 20000;
constexpr int kMaxSeconds = 120;
constexpr auto kOverrun = std::chrono::seconds(5);
constexpr auto kPause = std::chrono::microseconds(500);
constexpr char kOtherType[] = "urn:schemas-other-org:device:conveyor:1";

struct Options {
    std::string address;
    int rate = 0;
    int seconds = 0;
    bool newUsns = false;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--ip")
            options.address = argv[i + 1];
        else if (name == "--rate")
            options.rate = std::atoi(argv[i + 1]);
        else if (name == "--seconds")
            options.seconds = std::atoi(argv[i + 1]);
        else if (name == "--mode" && (argv[i + 1] == std::string("foreign") || argv[i + 1] == std::string("new-usns")))
            options.newUsns = argv[i + 1] == std::string("new-usns");
        else
            return false;
    }
    return argc % 2 == 1 && !options.address.empty() && options.rate >= 1 && options.rate <= kMaxRate &&
           options.seconds >= 1 && options.seconds <= kMaxSeconds;
}

std::string Search()
{
    char request[512];
    const int length = ComposeMSearch(request, sizeof request, kOtherType);
    return std::string(request, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string Alive(const std::string& address, long number, const char* type)
{
    return "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nCACHE-CONTROL: max-age=1800\r\nLOCATION: http://" +
           address + "/description.xml\r\nNT: " + type + "\r\nNTS: ssdp:alive\r\nUSN: uuid:flood-" +
           std::to_string(number) + "::" + type + "\r\n\r\n";
}

std::string UnknownByebye(long number)
{
    return std::string("NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nNT: ") + kSearchTarget +
           "\r\nNTS: ssdp:byebye\r\nUSN: uuid:flood-" + std::to_string(number) + "::" + kSearchTarget + "\r\n\r\n";
}

std::string Datagram(const Options& options, long number)
{
    if (options.newUsns)
        return Alive(options.address, number, kSearchTarget);
    switch (number % 3) {
    case 0: return Search();
    case 1: return Alive(options.address, number, kOtherType);
    default: return UnknownByebye(number);
    }
}

int OpenSender(const std::string& address)
{
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    in_addr local{};
    if (fd < 0 || inet_pton(AF_INET, address.c_str(), &local) != 1)
        return -1;
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_addr = local;
    const int ttl = 4;
    if (bind(fd, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &local, sizeof local) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

struct Tally {
    long sent = 0;
    long failed = 0;
};

// Datagram k goes out k/rate seconds after the start, or as soon after as
// the pauses allow.
Tally Flood(int fd, const Options& options)
{
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(kSsdpPort);
    inet_pton(AF_INET, kGroup, &group.sin_addr);
    const long total = static_cast<long>(options.rate) * options.seconds;
    const Clock::time_point start = Clock::now();
    const Clock::time_point hardStop = start + std::chrono::seconds(options.seconds) + kOverrun;
    Tally tally;
    for (long next = 0; next < total && Clock::now() < hardStop;) {
        const auto elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const long due = std::min(total, elapsedUs * options.rate / 1000000 + 1);
        for (; next < due; ++next) {
            const std::string datagram = Datagram(options, next);
            const ssize_t result = sendto(fd, datagram.data(), datagram.size(), 0,
                                          reinterpret_cast<const sockaddr*>(&group), sizeof group);
            ++(result == static_cast<ssize_t>(datagram.size()) ? tally.sent : tally.failed);
        }
        std::this_thread::sleep_for(kPause);
    }
    return tally;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s --ip ADDR --rate N(1..%d) --seconds S(1..%d) [--mode foreign|new-usns]\n",
                     argv[0], kMaxRate, kMaxSeconds);
        return 2;
    }
    const int fd = OpenSender(options.address);
    if (fd < 0) {
        std::fprintf(stderr, "ssdp-flood: cannot send from %s: %s\n", options.address.c_str(), std::strerror(errno));
        return 1;
    }
    const Clock::time_point start = Clock::now();
    const Tally tally = Flood(fd, options);
    const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    std::printf("SENT %ld FAILED %ld IN %lld ms\n", tally.sent, tally.failed, static_cast<long long>(elapsedMs));
    close(fd);
    return tally.failed == 0 ? 0 : 1;
}
