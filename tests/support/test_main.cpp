#include <gtest/gtest.h>

#include "isolated_network.h"

namespace {

bool g_isolated = false;

}  // namespace

bool NetworkIsolated() { return g_isolated; }

int main(int argc, char** argv)
{
    // Before any thread exists: on Linux the namespace is the calling thread's.
    g_isolated = IsolateNetwork();
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
