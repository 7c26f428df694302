#pragma once

// The elements the program reads from a device description, each as the
// marker pair that ExtractBetween cuts it with. What a record keeps of a
// description is derived from this list, so every reader of the record's
// description takes its value through it.

#include <cstddef>
#include <string>

#include "indicators/extract_between.h"

// A value of a description element longer than this is cut to it; no real
// device's value comes near. Each value a row keeps, and each copy of one in
// the list, is bounded so, however the elements nest in each other.
inline constexpr size_t kKeptValueLimit = 1024;

struct DescriptionElement {
    const char* open;
    const char* close;
};

inline constexpr DescriptionElement kModelDescriptionElement = {"<modelDescription>", "</modelDescription>"};
inline constexpr DescriptionElement kModelNameElement = {"<modelName>", "</modelName>"};
inline constexpr DescriptionElement kModelNumberElement = {"<modelNumber>", "</modelNumber>"};
inline constexpr DescriptionElement kSerialNumberElement = {"<serialNumber>", "</serialNumber>"};
// The "uuid:" prefix is part of the marker and so never part of the value.
inline constexpr DescriptionElement kUdnElement = {"<UDN>uuid:", "</UDN>"};
inline constexpr DescriptionElement kPresentationUrlElement = {"<presentationURL>", "</presentationURL>"};

inline constexpr DescriptionElement kDescriptionElements[] = {
    kModelDescriptionElement, kModelNameElement, kModelNumberElement,
    kSerialNumberElement,     kUdnElement,       kPresentationUrlElement,
};

inline std::string ElementText(const std::string& description, const DescriptionElement& element)
{
    std::string text = ExtractBetween(description, element.open, element.close);
    if (text.size() > kKeptValueLimit) {
        text.resize(kKeptValueLimit);
        text.shrink_to_fit();
    }
    return text;
}
