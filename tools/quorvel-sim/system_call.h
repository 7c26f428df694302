#pragma once

#include <cerrno>
#include <string>
#include <system_error>

namespace sim {

// Setup failures end the simulator with the failing call named.
inline int CheckSystemCall(int result, const std::string& what)
{
    if (result < 0)
        throw std::system_error(errno, std::generic_category(), what);
    return result;
}

}  // namespace sim
