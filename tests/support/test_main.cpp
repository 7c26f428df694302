#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "isolated_network.h"

namespace {

bool g_isolated = false;

// Must run before any thread exists: unshare applies to the calling thread.
bool IsolateNetwork()
{
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0)
        return false;
    const std::string commands = std::string("ip link set lo up multicast on && ip route add 224.0.0.0/4 dev lo"
                                             " && ip addr add ") + kNeighbourAddress + "/32 dev lo" +
                                 " && ip addr add " + kSecondNeighbourAddress + "/32 dev lo";
    return std::system(commands.c_str()) == 0;
}

}  // namespace

bool NetworkIsolated() { return g_isolated; }

int main(int argc, char** argv)
{
    g_isolated = IsolateNetwork();
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
