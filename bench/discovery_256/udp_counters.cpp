#include "udp_counters.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace bench {

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

}  // namespace

// The first "Udp:" line names the counters, the second holds their values.
std::optional<long> ReadUdpCounter(const std::string& name)
{
    std::ifstream snmp("/proc/net/snmp");
    std::vector<std::string> names;
    for (std::string line; std::getline(snmp, line);) {
        if (line.rfind("Udp: ", 0) != 0)
            continue;
        if (names.empty()) {
            names = Words(line);
            continue;
        }
        const std::vector<std::string> values = Words(line);
        for (size_t i = 1; i < names.size() && i < values.size(); ++i) {
            if (names[i] == name)
                return std::stol(values[i]);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace bench
