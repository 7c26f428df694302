#pragma once

// A read-only registry holding only the settings the program asks about,
// derived from the running kernel. The one key is
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters; its
// one value, IGMPLevel, is a REG_DWORD 1 (send only) when the kernel lets no
// socket join a multicast group, and absent otherwise.

#include <cstdint>

#include "win_types.h"
#include "native/win_registry.h"

// Key names compare without regard to case. Asking for more than read access
// is refused (ERROR_ACCESS_DENIED).
LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD access, HKEY* result);
// With data null, only the type and size are reported. A dataSize too small
// for the value gives ERROR_MORE_DATA with the needed size.
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegCloseKey(HKEY key);
