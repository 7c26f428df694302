// The description handling: ExtractBetween with tags from the input, and the
// chain the program runs on every fetched description (body, model
// description, host name in quotes, model name, and the details the
// selection shows). Each result must be exactly what sits between the first
// open tag and the first close tag after it, and what a record keeps of the
// body must give the same, or for a value over the kept limit its start.
//
// Input: "open\0close\0text" tries that pair on text; without two zero bytes
// the whole input is the text (a description response as fetched).

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_checks.h"
#include "indicators/description_elements.h"
#include "indicators/kept_description.h"
#include "ssdp/ssdp_message.h"

namespace {

// Bounded by the kept limit for each element with its markers.
constexpr size_t kKeptSizeLimit = 7 * 1024;

std::string CheckedExtract(const std::string& text, const char* open, const char* close)
{
    const std::string found = ExtractBetween(text, open, close);
    const size_t start = text.find(open);
    if (start == std::string::npos) {
        Require(found.empty());
        return found;
    }
    const size_t begin = start + std::strlen(open);
    const size_t end = text.find(close, begin);
    if (end == std::string::npos) {
        Require(found.empty());
        return found;
    }
    Require(end == begin + found.size());
    Require(text.compare(begin, found.size(), found) == 0);
    return found;
}

// As the program derives a row's names and the selection's details.
void CheckDescription(const std::string& response)
{
    std::string buffer(response.c_str());
    SsdpMessage parsed;
    ParseSsdpMessage(parsed, buffer.data());
    if (!parsed.body)
        return;
    const std::string description = parsed.body;
    const std::string kept = KeptDescription(description);
    Require(kept.size() <= kKeptSizeLimit);
    for (const DescriptionElement& element : kDescriptionElements) {
        const std::string whole = CheckedExtract(description, element.open, element.close);
        const std::string fromKept = ElementText(kept, element);
        Require(fromKept == whole.substr(0, kKeptValueLimit));
    }
    const std::string modelDescription =
        CheckedExtract(description, kModelDescriptionElement.open, kModelDescriptionElement.close);
    CheckedExtract(modelDescription, "\"", "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t first = input.find('\0');
    const size_t second = first == std::string::npos ? std::string::npos : input.find('\0', first + 1);
    if (second == std::string::npos) {
        CheckDescription(input);
        return 0;
    }
    const std::string open = input.substr(0, first);
    const std::string close = input.substr(first + 1, second - first - 1);
    const std::string text = input.substr(second + 1);
    CheckedExtract(text, open.c_str(), close.c_str());
    CheckDescription(text);
    return 0;
}
