#include "name_pattern.h"

#include <cctype>

namespace sim {

namespace {

bool IsHostNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

}  // namespace

bool IsValidNamePattern(const std::string& pattern)
{
    if (pattern.empty())
        return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%') {
            if (i + 1 == pattern.size() || pattern[i + 1] != 'd')
                return false;
            ++i;
        } else if (!IsHostNameCharacter(pattern[i])) {
            return false;
        }
    }
    return true;
}

std::string ExpandNamePattern(const std::string& pattern, int number, int count)
{
    const std::string digits = std::to_string(number);
    std::string name;
    bool numbered = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd') {
            name += digits;
            numbered = true;
            ++i;
        } else {
            name += pattern[i];
        }
    }
    if (!numbered && count > 1)
        name += "-" + digits;
    return name;
}

}  // namespace sim
