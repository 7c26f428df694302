#include "host_lookup.h"

#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "blocking_wait.h"
#include "seams_internal.h"

namespace {

// Shared with the resolver's thread, which may outlive the wait. The thread
// signals the descriptor when it is done, so the window waits on it as on a
// socket.
struct PendingLookup {
    PendingLookup() : finished(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~PendingLookup()
    {
        if (finished >= 0)
            close(finished);
    }
    PendingLookup(const PendingLookup&) = delete;
    PendingLookup& operator=(const PendingLookup&) = delete;

    std::mutex mutex;
    int finished;
    bool done = false;
    bool found = false;
    in_addr address{};
};

bool ResolveWithSystem(const std::string& host, in_addr& address)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

void StartLookup(const std::shared_ptr<PendingLookup>& pending, std::string host)
{
    platform::seams::HostResolver resolve = platform::seams::CurrentHostResolver();
    if (!resolve)
        resolve = ResolveWithSystem;
    std::thread([pending, host = std::move(host), resolve = std::move(resolve)] {
        in_addr address{};
        const bool found = resolve(host, address);
        std::lock_guard lock(pending->mutex);
        pending->found = found;
        pending->address = address;
        pending->done = true;
        // Only a full counter makes the write fail, and the wait sees that one.
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(pending->finished, &one, sizeof one);
    }).detach();
}

}  // namespace

HostLookup LookUpHost(const char* host, in_addr& address, int boundMs)
{
    if (inet_pton(AF_INET, host, &address) == 1)
        return HostLookup::Found;
    auto pending = std::make_shared<PendingLookup>();
    if (pending->finished < 0)
        return HostLookup::NotFound;
    StartLookup(pending, host);
    const bool signalled = platform::WaitForDescriptor(pending->finished, POLLIN, boundMs);
    std::lock_guard lock(pending->mutex);
    if (!signalled || !pending->done)
        return HostLookup::OutOfTime;
    address = pending->address;
    return pending->found ? HostLookup::Found : HostLookup::NotFound;
}
