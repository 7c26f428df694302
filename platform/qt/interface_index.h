#pragma once

// Kept apart from win_sock.h, whose interface flag names the system's
// headers for this call define differently.

// The kernel's index of a named interface; an address label such as
// "eth0:1" names its interface. 0 when there is no such interface.
unsigned InterfaceIndex(const char* name);
