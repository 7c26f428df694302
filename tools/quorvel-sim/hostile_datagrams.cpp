#include "hostile_datagrams.h"

#include <random>

namespace sim {

namespace {

std::string RandomBytes(int index)
{
    std::mt19937 generator(static_cast<unsigned>(index) + 1);
    std::uniform_int_distribution<int> length(64, 512);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(static_cast<size_t>(length(generator)), '\0');
    for (char& b : bytes)
        b = static_cast<char>(byte(generator));
    bytes[0] = '\xff';  // never a start line by chance
    return bytes;
}

std::string LfOnlyLines(const std::string& type)
{
    return "NOTIFY * HTTP/1.1\nHOST: 239.255.255.250:1900\nNT: " + type + "\nNTS: ssdp:alive\n\n";
}

std::string HeadersWithoutColons(const std::string& type)
{
    return "NOTIFY * HTTP/1.1\r\nHOST 239.255.255.250 1900\r\nNT " + type + "\r\nNTS ssdp alive\r\n\r\n";
}

std::string NulBytes(const std::string& type)
{
    using namespace std::string_literals;
    return "NOTIFY * HTTP/1.1\r\nNT: "s + type + "\0\0\r\nNTS: ssdp:\0alive\r\n\r\n"s;
}

std::string NoLineEnd(const std::string& type)
{
    return "M-SEARCH * HTTP/1.1 ST: " + type;
}

std::string CrOnlyLines(const std::string& type)
{
    return "NOTIFY * HTTP/1.1\rNT: " + type + "\rNTS: ssdp:alive\r\r";
}

std::string OnlyEmptyLines()
{
    return "\r\n\r\n\r\n\r\n";
}

// Everything an announcement needs comes first, well formed; then a header
// with bare LF line ends and one with NUL and other control bytes.
std::string AliveWithNulHeaders(const std::string& type, const std::string& location)
{
    using namespace std::string_literals;
    return "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nCACHE-CONTROL: max-age=1800\r\nLOCATION: "s +
           location + "\r\nNT: " + type + "\r\nNTS: ssdp:alive\r\nUSN: " + kNulHeadersUsn + "::" + type +
           "\r\nX-NOTE: line\nwithout\nCR\r\nSERVER: quorvel-sim\0\x01\xfe/1.0\0\r\n\r\n"s;
}

// A proper start line, then header lines that end in LF only.
std::string AliveWithBareLfHeaders(const std::string& type, const std::string& location)
{
    return "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\nCACHE-CONTROL: max-age=1800\nLOCATION: " + location +
           "\nNT: " + type + "\nNTS: ssdp:alive\nUSN: " + kBareLfUsn + "::" + type + "\n\n";
}

std::string GarbageOfKind(int index, const std::string& type, const std::string& location)
{
    switch (index % kGarbageKinds) {
    case 0: return RandomBytes(index);
    case 1: return LfOnlyLines(type);
    case 2: return HeadersWithoutColons(type);
    case 3: return NulBytes(type);
    case 4: return NoLineEnd(type);
    case 5: return CrOnlyLines(type);
    case 6: return OnlyEmptyLines();
    case 7: return AliveWithNulHeaders(type, location);
    default: return AliveWithBareLfHeaders(type, location);
    }
}

}  // namespace

std::string OversizeDatagram(const std::string& device_type)
{
    std::string head = "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nNT: " + device_type +
                       "\r\nNTS: ssdp:alive\r\nX-PADDING: ";
    const std::string tail = "\r\n\r\n";
    head.append(kOversizeLength - head.size() - tail.size(), 'x');
    return head + tail;
}

std::vector<std::string> GarbageDatagrams(int count, const std::string& device_type, const std::string& location)
{
    std::vector<std::string> datagrams;
    for (int index = 0; index < count; ++index)
        datagrams.push_back(GarbageOfKind(index, device_type, location));
    return datagrams;
}

}  // namespace sim
