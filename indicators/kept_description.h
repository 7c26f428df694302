#pragma once

#include <string>
#include <string_view>

#include "indicators/description_elements.h"

// What a record keeps of a fetched description body: for every element the
// program reads (description_elements.h), the body from the first occurrence
// of its opening marker to the end of the first closing marker after it, in
// the body's order, overlaps merged. ExtractBetween gives the same value
// from this as from the whole body for every one of those elements. A value
// longer than kKeptValueLimit keeps only its first kKeptValueLimit bytes
// (and any other element standing inside it), which keeps the whole under
// 7 KiB.
std::string KeptDescription(std::string_view body);
