#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A value of a description element longer than this is cut to it; no real
// device's value comes near.
inline constexpr size_t kKeptValueLimit = 2048;

// What a record keeps of a fetched description body: for every element the
// program reads (description_elements.h), the body from the first occurrence
// of its opening marker to the end of the first closing marker after it, in
// the body's order, overlaps merged. ExtractBetween gives the same value
// from this as from the whole body for every one of those elements. A value
// longer than kKeptValueLimit keeps only its first kKeptValueLimit bytes
// (and any other element standing inside it), which keeps the whole under
// 13 KiB.
std::string KeptDescription(std::string_view body);
