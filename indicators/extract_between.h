#pragma once

#include <string>

// The program's whole XML handling: the text after the first occurrence of
// open up to the first occurrence of close after it; empty when either is
// missing. Byte for byte, case-sensitive, nothing trimmed or decoded.
std::string ExtractBetween(const std::string& text, const char* open, const char* close);
