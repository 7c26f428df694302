#pragma once

#include <string>

namespace sim {

// A host name pattern holds letters, digits, '-', '.', '_' and "%d" tokens.
// Every "%d" becomes the indicator number; a pattern without one gets
// "-NUMBER" appended when there is more than one indicator, so that names
// stay distinct.
bool IsValidNamePattern(const std::string& pattern);
std::string ExpandNamePattern(const std::string& pattern, int number, int count);

}  // namespace sim
