#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

// Sets the TZ variable (an empty zone removes it) and has the C library
// read it again.
inline void UseTimeZone(const std::string& zone)
{
#ifdef _WIN32
    _putenv_s("TZ", zone.c_str());
    _tzset();
#else
    if (zone.empty())
        unsetenv("TZ");
    else
        setenv("TZ", zone.c_str(), 1);
    tzset();
#endif
}
