#pragma once

#include <string>

#include "indicator.h"

namespace sim {

inline constexpr char kMulticastGroup[] = "239.255.255.250";
inline constexpr int kSsdpPort = 1900;
inline constexpr char kServerHeader[] = "Linux/6 UPnP/1.0 quorvel-sim/1.0";
inline constexpr int kMaxDatagram = 1500;

// What all datagrams of one run announce.
struct Announcement {
    std::string device_type;
    int max_age = 1800;
    int location_length = 0;  // LOCATION padded to this many characters; 0: plain
    bool vary_location = false;
    unsigned location_serial = 0;  // the query's number when the LOCATION varies
};

Announcement AnnouncementFor(const SimOptions& options);

// The description URL, with the query "n=" location_serial when the
// location varies, padded with 'x' to location_length characters when it is
// shorter. The simulator serves the description whatever the query.
std::string AnnouncedLocation(const Indicator& indicator, const Announcement& announcement);

std::string ComposeAliveNotify(const Indicator& indicator, const Announcement& announcement);
std::string ComposeByebyeNotify(const Indicator& indicator, const Announcement& announcement);
std::string ComposeSearchAnswer(const Indicator& indicator, const Announcement& announcement);

}  // namespace sim
