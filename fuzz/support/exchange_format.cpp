#include "exchange_format.h"

#include <algorithm>
#include <cstring>

namespace {

Exchange DecodeExchange(std::string_view text)
{
    Exchange exchange;
    const size_t addressLength = std::min(text.size(), sizeof exchange.sender);
    std::memcpy(&exchange.sender, text.data(), addressLength);
    text.remove_prefix(addressLength);
    const size_t split = text.find(kResponseSeparator);
    exchange.datagram = text.substr(0, split);
    if (split != std::string_view::npos)
        exchange.response = text.substr(split + std::strlen(kResponseSeparator));
    return exchange;
}

}  // namespace

std::vector<Exchange> DecodeExchanges(std::string_view input)
{
    std::vector<Exchange> exchanges;
    while (exchanges.size() < kMaxExchanges) {
        const size_t split = input.find(kExchangeSeparator);
        exchanges.push_back(DecodeExchange(input.substr(0, split)));
        if (split == std::string_view::npos)
            break;
        input.remove_prefix(split + std::strlen(kExchangeSeparator));
    }
    return exchanges;
}

std::string EncodeExchanges(const std::vector<Exchange>& exchanges)
{
    std::string input;
    for (const Exchange& exchange : exchanges) {
        if (!input.empty())
            input += kExchangeSeparator;
        input.append(reinterpret_cast<const char*>(&exchange.sender), sizeof exchange.sender);
        input += exchange.datagram;
        if (!exchange.response.empty())
            input += kResponseSeparator + exchange.response;
    }
    return input;
}
