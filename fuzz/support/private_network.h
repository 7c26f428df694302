#pragma once

// Moves the process into a network namespace of its own with only the
// loopback interface (multicast on, a route for the groups) and the given
// extra addresses on it, so that nothing a fuzz target sends leaves the
// process's namespace. Needs root; must run before any thread starts,
// since the namespace applies to the calling thread and the threads it
// starts afterwards. False when it cannot be done.
#include <string>
#include <vector>

bool EnterPrivateNetwork(const std::vector<std::string>& loopbackAddresses);
