#pragma once

// The system's own types and constants. Windows Sockets 2 comes first:
// windows.h would otherwise bring in the first version's declarations.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commctrl.h>

// The framework's classes have members named like these functions, which
// the system's headers turn into their A or W forms; the platform calls the
// A forms by name.
#undef DefWindowProc
#undef DrawText
#undef GetDlgItemText
#undef GetWindowText
#undef MessageBox
#undef SendMessage
#undef SetDlgItemText
#undef SetWindowText
// A COM keyword the program uses as a plain name.
#undef interface
