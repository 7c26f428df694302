#pragma once

// Socket types and helpers: the system's own where the platform has them.

#include <vector>

#include "win_types.h"
#include "native/win_sock.h"

SOCKET WSASocketA(int family, int type, int protocol);
int closesocket(SOCKET socket);

// The machine's IPv4 interfaces in a stable order: the kernel's, except that
// the interface of the IPv4 default route comes last, since multicast leaves
// through the last one kept. false with errno set when the list cannot be read.
bool GetInterfaceList(SOCKET querySocket, std::vector<INTERFACE_INFO>& interfaces);

// The system's index of the interface that holds the entry's address, the
// same for each of its addresses; 0 when not known.
DWORD InterfaceIndexOf(const INTERFACE_INFO& entry);
