#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "isolated_network.h"

// A namespace of the test program's own, entered before any thread exists:
// unshare applies to the calling thread.
bool IsolateNetwork()
{
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0)
        return false;
    const std::string commands = std::string("ip link set lo up multicast on && ip route add 224.0.0.0/4 dev lo"
                                             " && ip addr add ") + kNeighbourAddress + "/32 dev lo" +
                                 " && ip addr add " + kSecondNeighbourAddress + "/32 dev lo";
    return std::system(commands.c_str()) == 0;
}
