#pragma once

#include <gtest/gtest.h>

// Tests that touch real sockets run in a private network namespace made at
// start-up, with only the loopback interface (multicast on): nothing they
// send can leave the machine.
bool NetworkIsolated();

// Makes that namespace, or finds the process inside one made for it; called
// once at start-up, before any thread exists.
bool IsolateNetwork();

// An address of that namespace that tests serve on as a device on the LAN
// would: the interface tables the tests give the program do not list it.
inline constexpr char kNeighbourAddress[] = "10.77.1.20";
// A second device's address there, for tests that need two hosts.
inline constexpr char kSecondNeighbourAddress[] = "10.77.1.21";

#define REQUIRE_ISOLATED_NETWORK()                                                      \
    do {                                                                                \
        if (!NetworkIsolated())                                                         \
            GTEST_SKIP() << "needs root to make a private network namespace";           \
    } while (false)
