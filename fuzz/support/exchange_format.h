#pragma once

// The input of the datagram fuzz target: up to kMaxExchanges exchanges, each
// one datagram from a sender and the response the sender's web server gives
// if its description is fetched.
//
//   exchange ("\n=====\n" exchange)*
//   exchange: 4 bytes sender address (network byte order), the datagram,
//             optionally "\n-----\n" and the response
//
// Readable in a text editor apart from the address, and every byte string
// decodes to something.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kMaxExchanges = 4;
inline constexpr char kExchangeSeparator[] = "\n=====\n";
inline constexpr char kResponseSeparator[] = "\n-----\n";

struct Exchange {
    uint32_t sender = 0;  // network byte order, as in sockaddr_in
    std::string datagram;
    std::string response;
};

std::vector<Exchange> DecodeExchanges(std::string_view input);
std::string EncodeExchanges(const std::vector<Exchange>& exchanges);
