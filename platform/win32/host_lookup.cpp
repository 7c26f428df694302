#include "host_lookup.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "paint_only_wait.h"
#include "seams_internal.h"

namespace {

// Shared with the resolver's thread, which may outlive the wait.
struct Lookup {
    std::string host;
    std::atomic<bool> done{false};
    bool found = false;
    in_addr address{};
};

bool ResolveWithSystem(const std::string& host, in_addr& address)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* answer = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &answer) != 0 || !answer)
        return false;
    address = reinterpret_cast<sockaddr_in*>(answer->ai_addr)->sin_addr;
    freeaddrinfo(answer);
    return true;
}

void Resolve(const std::shared_ptr<Lookup>& lookup, const platform::seams::HostResolver& resolve)
{
    lookup->found = resolve(lookup->host, lookup->address);
    lookup->done = true;
}

}  // namespace

HostLookup LookUpHost(const char* host, in_addr& address, int boundMs)
{
    if (inet_pton(AF_INET, host, &address) == 1)
        return HostLookup::Found;
    auto lookup = std::make_shared<Lookup>();
    lookup->host = host;
    platform::seams::HostResolver resolve = platform::seams::CurrentHostResolver();
    if (!resolve)
        resolve = ResolveWithSystem;
    std::thread([lookup, resolve = std::move(resolve)] { Resolve(lookup, resolve); }).detach();
    const bool answered = platform::WaitPaintingOnly(
        [&lookup](int sliceMs) {
            if (!lookup->done)
                ::Sleep(static_cast<DWORD>(sliceMs));
            return lookup->done.load();
        },
        boundMs);
    if (!answered)
        return HostLookup::OutOfTime;
    if (!lookup->found)
        return HostLookup::NotFound;
    address = lookup->address;
    return HostLookup::Found;
}
