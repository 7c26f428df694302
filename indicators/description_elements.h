#pragma once

// The elements the program reads from a device description, each as the
// marker pair that ExtractBetween cuts it with. What a record keeps of a
// description is derived from this list, so every reader of the record's
// description takes its value through it.

#include <string>

#include "indicators/extract_between.h"

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
    return ExtractBetween(description, element.open, element.close);
}
