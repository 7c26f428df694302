#include "interface_index.h"

#include <net/if.h>

unsigned InterfaceIndex(const char* name) { return if_nametoindex(name); }
