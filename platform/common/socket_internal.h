#pragma once

// What the socket code shared by the platforms and each platform's own
// socket layer give each other.

#include "win_sock.h"

// The IPv4 address and port to bind or connect to: any address for an empty
// host, a dotted address as it is, else the resolver's first address. False
// when the name has none; the caller sets its platform's error.
bool FillAddress(sockaddr_in& address, UINT port, const char* host);

// The last socket call failed only because it would have had to wait.
bool WouldBlock();
