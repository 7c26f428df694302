#pragma once

// The checks of the fuzz targets: a broken property aborts, which libFuzzer
// reports as a crash with the input that broke it.

#include <cstdlib>
#include <string>

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Occurrences of piece in text, overlapping ones included.
inline size_t CountOf(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}
