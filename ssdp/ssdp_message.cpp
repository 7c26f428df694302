#include "ssdp/ssdp_message.h"

#include <cstdio>
#include <cstring>

namespace {

// Splits off the next piece at the first occurrence of the whole separator.
// Two separators in a row give an empty piece, which is how the empty line
// that ends the headers is found.
char* NextPiece(char*& cursor, const char* separator)
{
    if (*cursor == '\0')
        return nullptr;
    char* piece = cursor;
    char* found = std::strstr(cursor, separator);
    if (found) {
        *found = '\0';
        cursor = found + std::strlen(separator);
    } else {
        cursor += std::strlen(cursor);
    }
    return piece;
}

// Only the space character counts as a blank; tabs stay.
char* TrimBlanks(char* text)
{
    size_t leading = 0;
    while (text[leading] == ' ')
        ++leading;
    if (leading > 0)
        std::memmove(text, text + leading, std::strlen(text + leading) + 1);
    size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ')
        text[--length] = '\0';
    return text;
}

void UpperCaseAscii(char* text)
{
    for (; *text; ++text) {
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
    }
}

void StoreHeader(SsdpHeader& slot, char* line)
{
    char* cursor = line;
    char* name = NextPiece(cursor, ":");  // never null: the line is not empty
    char* value = cursor;
    slot.name = TrimBlanks(name);
    UpperCaseAscii(slot.name);
    slot.value = TrimBlanks(value);
}

}  // namespace

void ParseSsdpMessage(SsdpMessage& message, char* text)
{
    message = SsdpMessage{};
    char* cursor = text;
    message.start_line = NextPiece(cursor, "\r\n");
    if (!message.start_line)
        return;

    int filled = 0;
    while (char* line = NextPiece(cursor, "\r\n")) {
        if (*line == '\0') {
            message.body = cursor;
            return;
        }
        if (filled == kSsdpHeaderSlots)
            continue;  // later lines are still read so that the body is found
        StoreHeader(message.headers[filled++], line);
    }
}

const char* GetHeader(const SsdpMessage& message, const char* name)
{
    for (const SsdpHeader& slot : message.headers) {
        if (!slot.name)
            return nullptr;
        if (std::strcmp(slot.name, name) == 0)
            return slot.value;
    }
    return nullptr;
}

int ComposeMSearch(char* buffer, int size, const char* searchTarget)
{
    int length = std::snprintf(buffer, static_cast<size_t>(size),
                               "M-SEARCH * HTTP/1.1\r\n"
                               "MX: %d\r\n"
                               "ST: %s\r\n"
                               "HOST: 239.255.255.250:1900\r\n"
                               "MAN: \"ssdp:discover\"\r\n"
                               "\r\n",
                               100, searchTarget);
    return (length < 0 || length >= size) ? -1 : length;
}
