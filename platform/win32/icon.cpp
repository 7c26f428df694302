#include "win_resource.h"

// The executable carries the icon resource, made at build time from the
// program's icon data.
HICON LoadIconA(UINT id) { return ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }
