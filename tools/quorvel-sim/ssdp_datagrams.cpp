#include "ssdp_datagrams.h"

#include <initializer_list>

namespace sim {

namespace {

const std::string kGroupHost = std::string(kMulticastGroup) + ":" + std::to_string(kSsdpPort);

std::string Header(const char* name, const std::string& value)
{
    return std::string(name) + ": " + value;
}

// Every line ends in CR LF and an empty line ends the message.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "\r\n";
}

std::string CacheControl(const Announcement& announcement)
{
    return "max-age=" + std::to_string(announcement.max_age);
}

}  // namespace

Announcement AnnouncementFor(const SimOptions& options)
{
    return Announcement{options.device_type, options.max_age, options.long_location, options.vary_location};
}

std::string AnnouncedLocation(const Indicator& indicator, const Announcement& announcement)
{
    std::string location = DescriptionUrl(indicator);
    if (announcement.vary_location)
        location += "?n=" + std::to_string(announcement.location_serial);
    const size_t length = static_cast<size_t>(announcement.location_length);
    if (location.size() < length) {
        location += announcement.vary_location ? '&' : '?';
        location.resize(length, 'x');
    }
    return location;
}

std::string ComposeAliveNotify(const Indicator& indicator, const Announcement& announcement)
{
    return Lines({"NOTIFY * HTTP/1.1", Header("HOST", kGroupHost), Header("CACHE-CONTROL", CacheControl(announcement)),
                  Header("LOCATION", AnnouncedLocation(indicator, announcement)), Header("NT", announcement.device_type),
                  Header("NTS", "ssdp:alive"), Header("SERVER", kServerHeader),
                  Header("USN", UniqueServiceName(indicator, announcement.device_type))});
}

std::string ComposeByebyeNotify(const Indicator& indicator, const Announcement& announcement)
{
    return Lines({"NOTIFY * HTTP/1.1", Header("HOST", kGroupHost), Header("NT", announcement.device_type),
                  Header("NTS", "ssdp:byebye"), Header("USN", UniqueServiceName(indicator, announcement.device_type))});
}

std::string ComposeSearchAnswer(const Indicator& indicator, const Announcement& announcement)
{
    return Lines({"HTTP/1.1 200 OK", Header("CACHE-CONTROL", CacheControl(announcement)), "EXT:",
                  Header("LOCATION", AnnouncedLocation(indicator, announcement)), Header("SERVER", kServerHeader),
                  Header("ST", announcement.device_type),
                  Header("USN", UniqueServiceName(indicator, announcement.device_type))});
}

}  // namespace sim
