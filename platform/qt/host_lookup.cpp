#include "host_lookup.h"

#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "event_hold.h"
#include "seams_internal.h"

namespace {

// Shared with the resolver's thread, which may outlive the wait.
struct PendingLookup {
    std::mutex mutex;
    std::condition_variable finished;
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
        pending->finished.notify_one();
    }).detach();
}

}  // namespace

HostLookup LookUpHost(const char* host, in_addr& address, int boundMs)
{
    if (inet_pton(AF_INET, host, &address) == 1)
        return HostLookup::Found;
    auto pending = std::make_shared<PendingLookup>();
    StartLookup(pending, host);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(boundMs);
    platform::BlockingScope blocking;
    for (;;) {
        {
            std::unique_lock lock(pending->mutex);
            const auto slice = std::min(deadline, Clock::now() + std::chrono::milliseconds(20));
            if (pending->finished.wait_until(lock, slice, [&] { return pending->done; })) {
                address = pending->address;
                return pending->found ? HostLookup::Found : HostLookup::NotFound;
            }
        }
        if (Clock::now() >= deadline)
            return HostLookup::OutOfTime;
        platform::RepaintWhileBlocked();
    }
}
