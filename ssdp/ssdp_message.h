#pragma once

// An SSDP datagram (or an HTTP response) split in place into start line,
// headers and body. The pointers point into the parsed buffer, so a message
// is only valid while that buffer is unchanged.

inline constexpr int kSsdpHeaderSlots = 16;

struct SsdpHeader {
    char* name = nullptr;
    char* value = nullptr;
};

struct SsdpMessage {
    char* body = nullptr;
    char* start_line = nullptr;
    SsdpHeader headers[kSsdpHeaderSlots];
};

// The one device type the program looks for; sent in every M-SEARCH and
// compared byte for byte with NT or ST.
inline constexpr const char kSearchTarget[] = "urn:schemas-quorvel-com:device:indicator:1";

void ParseSsdpMessage(SsdpMessage& message, char* text);
const char* GetHeader(const SsdpMessage& message, const char* name);

// Composes the M-SEARCH request into buffer (at most size-1 characters plus
// the terminating zero) and returns its length, or -1 when it does not fit.
int ComposeMSearch(char* buffer, int size, const char* searchTarget);
