#pragma once

#include <string>
#include <vector>

#include "ssdp/ssdp_message.h"

namespace sim {

struct SimOptions {
    std::string address;  // IPv4 of this host: announced, joined on, served on
    int count = 1;
    std::string name_pattern = "scale-%d";
    int max_age = 1800;
    int notify_every = 30;  // seconds between alive rounds; 0: only at start
    int mx_cap = 0;         // answers wait at most min(MX, mx_cap) seconds
    int first_port = 80;    // indicator K serves on first_port + K - 1
    bool log_times = false;  // event lines start with the monotonic clock
    std::string device_type = kSearchTarget;

    // Faults for hostile-device tests.
    bool no_body = false;    // no empty line between description headers and body
    bool hang_http = false;  // accept, read, never answer
    int slow_http_bps = 0;   // 0: answers go out at full speed
    bool hold_http = false;  // answer, then keep the connection open
    int flood_http_mb = 0;   // MiB of filler after every HTTP answer's body
    bool hostile_name = false;  // the description's host name is markup and quotes
    bool nested_description = false;  // each element of the description inside the one before
    int long_location = 0;   // LOCATION padded to this many characters; 0: plain
    bool vary_location = false;  // every announcement and answer names another LOCATION
    bool oversize = false;   // one 1501-byte datagram at start
    bool empty = false;      // one zero-length datagram at start
    int garbage = 0;         // malformed datagrams at start
};

enum class CommandLineOutcome { kRun, kHelp, kError };

struct CommandLine {
    CommandLineOutcome outcome = CommandLineOutcome::kError;
    SimOptions options;
    std::string error;  // set when outcome is kError
};

// arguments excludes the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string HelpText();

}  // namespace sim
