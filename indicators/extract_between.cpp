#include "indicators/extract_between.h"

#include <cstring>

std::string ExtractBetween(const std::string& text, const char* open, const char* close)
{
    size_t start = text.find(open);
    if (start == std::string::npos)
        return {};
    start += std::strlen(open);
    size_t end = text.find(close, start);
    if (end == std::string::npos)
        return {};
    return text.substr(start, end - start);
}
