// Any datagram split as the dispatch splits it. Besides the sanitizers, the
// split must keep every pointer inside the datagram, find the body right
// after the first empty line, fill the header slots in order and let
// GetHeader find each stored header by its name.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_checks.h"
#include "ssdp/ssdp_message.h"

namespace {

bool Inside(const char* pointer, const std::string& buffer)
{
    return pointer >= buffer.data() && pointer <= buffer.data() + buffer.size();
}

// The lines after the start line, up to the first empty line or the end,
// counted independently of the parser; text ends before the empty line.
size_t HeaderLineCount(const std::string& text)
{
    size_t count = 0;
    size_t at = text.find("\r\n");
    while (at != std::string::npos) {
        const size_t start = at + 2;
        if (start >= text.size())
            break;
        at = text.find("\r\n", start);
        if (at == start)
            break;
        ++count;
    }
    return count;
}

void CheckSlot(const SsdpHeader& slot, const std::string& buffer)
{
    Require(Inside(slot.name, buffer) && Inside(slot.value, buffer));
    for (const char* c = slot.name; *c; ++c)
        Require(!(*c >= 'a' && *c <= 'z') && *c != ':');
    for (const char* text : {slot.name, slot.value}) {
        const size_t length = std::strlen(text);
        Require(length == 0 || (text[0] != ' ' && text[length - 1] != ' '));
    }
}

void CheckHeaders(const SsdpMessage& message, const std::string& buffer, size_t expectedCount)
{
    size_t filled = 0;
    while (filled < kSsdpHeaderSlots && message.headers[filled].name)
        CheckSlot(message.headers[filled++], buffer);
    for (size_t i = filled; i < kSsdpHeaderSlots; ++i)
        Require(!message.headers[i].name && !message.headers[i].value);
    Require(filled == std::min<size_t>(expectedCount, kSsdpHeaderSlots));
    // GetHeader answers with the first slot of that name.
    for (size_t i = 0; i < filled; ++i) {
        const char* found = GetHeader(message, message.headers[i].name);
        size_t first = 0;
        while (std::strcmp(message.headers[first].name, message.headers[i].name) != 0)
            ++first;
        Require(found == message.headers[first].value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A datagram reaches the parser as a C string: a zero byte ends it.
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    std::string buffer = text;
    SsdpMessage message;
    ParseSsdpMessage(message, buffer.data());

    Require((message.start_line != nullptr) == !text.empty());
    if (!message.start_line)
        return 0;
    Require(message.start_line == buffer.data());
    const size_t emptyLine = text.find("\r\n\r\n");
    if (emptyLine == std::string::npos)
        Require(message.body == nullptr);
    else
        Require(message.body == buffer.data() + emptyLine + 4);
    const size_t headerEnd = emptyLine == std::string::npos ? text.size() : emptyLine + 2;
    CheckHeaders(message, buffer, HeaderLineCount(text.substr(0, headerEnd)));
    // Stored names are upper case, so a name with a lower-case letter never matches.
    const bool lowerCase = text.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos;
    Require(!lowerCase || GetHeader(message, text.c_str()) == nullptr);
    return 0;
}
