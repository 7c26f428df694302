// Writes the seed corpus of every fuzz target from the simulator's messages:
//
//   fuzz-seeds DIRECTORY     (normally fuzz/corpus)
//
// One file per seed, named after what it holds, in DIRECTORY/<target>/.

#include <arpa/inet.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "exchange_format.h"
#include "hostile_datagrams.h"
#include "indicator.h"
#include "indicator_site.h"
#include "ssdp_datagrams.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The address the datagram target's description server also answers on.
constexpr char kIndicatorAddress[] = "10.77.1.20";
constexpr char kOutsideAddress[] = "192.168.40.7";

struct Seed {
    std::string name;
    std::string bytes;
};

class SeedWriter {
public:
    explicit SeedWriter(fs::path root) : m_root(std::move(root)) {}

    void Write(const std::string& target, const std::vector<Seed>& seeds) const
    {
        const fs::path directory = m_root / target;
        fs::create_directories(directory);
        for (const Seed& seed : seeds)
            std::ofstream(directory / seed.name, std::ios::binary | std::ios::trunc) << seed.bytes;
    }

private:
    fs::path m_root;
};

sim::Indicator MakeIndicator(int number, const std::string& address)
{
    sim::SimOptions options;
    options.address = address;
    options.count = number;
    return sim::MakeIndicators(options).back();
}

std::string DescriptionResponse(const sim::Indicator& indicator, bool noBody = false)
{
    sim::SiteOptions site;
    site.device_type = kSearchTarget;
    site.no_body = noBody;
    return sim::AnswerRequest(sim::HttpRequest{"GET", sim::kDescriptionPath}, indicator, site).bytes;
}

std::string MSearch()
{
    char request[512];
    const int length = ComposeMSearch(request, sizeof request, kSearchTarget);
    return std::string(request, length > 0 ? static_cast<size_t>(length) : 0);
}

uint32_t Address(const char* dotted) { return inet_addr(dotted); }

struct Messages {
    sim::Indicator first = MakeIndicator(1, kIndicatorAddress);
    sim::Indicator second = MakeIndicator(2, kIndicatorAddress);
    sim::Announcement announcement{kSearchTarget, 1800};
    sim::Announcement otherType{"urn:schemas-quorvel-com:device:printer:1", 1800};

    std::string Alive(const sim::Indicator& indicator) const { return sim::ComposeAliveNotify(indicator, announcement); }
    std::string Byebye() const { return sim::ComposeByebyeNotify(first, announcement); }
    std::string Answer(const sim::Indicator& indicator) const { return sim::ComposeSearchAnswer(indicator, announcement); }
};

std::vector<Seed> SsdpMessageSeeds(const Messages& messages)
{
    std::vector<Seed> seeds = {
        {"alive", messages.Alive(messages.first)},
        {"byebye", messages.Byebye()},
        {"search-answer", messages.Answer(messages.first)},
        {"other-type", sim::ComposeAliveNotify(messages.first, messages.otherType)},
        {"m-search", MSearch()},
        {"description", DescriptionResponse(messages.first)},
    };
    const std::vector<std::string> garbage = sim::GarbageDatagrams(7, kSearchTarget);
    for (size_t i = 0; i < garbage.size(); ++i)
        seeds.push_back({"garbage-" + std::to_string(i + 1), garbage[i]});
    return seeds;
}

std::vector<Seed> DatagramSeeds(const Messages& messages)
{
    const uint32_t indicator = Address(kIndicatorAddress);
    const std::string description = DescriptionResponse(messages.first);
    const Exchange alive{indicator, messages.Alive(messages.first), description};
    const std::vector<std::string> garbage = sim::GarbageDatagrams(3, kSearchTarget);
    return {
        {"alive", EncodeExchanges({alive})},
        {"search-answer", EncodeExchanges({{indicator, messages.Answer(messages.first), description}})},
        {"alive-then-byebye", EncodeExchanges({alive, {indicator, messages.Byebye(), ""}})},
        {"two-indicators", EncodeExchanges({alive, {indicator, messages.Alive(messages.second),
                                                    DescriptionResponse(messages.second)}})},
        {"address-changed", EncodeExchanges({alive, {Address("10.77.1.21"), messages.Alive(messages.first), description}})},
        {"outside-network", EncodeExchanges({{Address(kOutsideAddress), messages.Alive(messages.first), ""}})},
        {"no-body", EncodeExchanges({{indicator, messages.Alive(messages.first), DescriptionResponse(messages.first, true)}})},
        {"from-myself", EncodeExchanges({{Address("10.77.1.1"), MSearch(), ""}})},
        {"garbage", EncodeExchanges({{indicator, garbage[0], ""}, {indicator, garbage[1], ""}, {indicator, garbage[2], ""}})},
    };
}

std::vector<Seed> ExtractBetweenSeeds(const Messages& messages)
{
    const std::string description = DescriptionResponse(messages.first);
    return {
        {"description", description},
        {"no-body", DescriptionResponse(messages.first, true)},
        {"tags-and-text", "<modelName>\0</modelName>\0"s + description},
    };
}

std::vector<Seed> OverviewPageSeeds(const Messages& messages)
{
    return {
        {"plain", messages.first.host_name + std::string(1, '\0') + kIndicatorAddress},
        {"markup", "<b>\"scale\" & 'co'</b>\0\"><script>x</script>"s},
    };
}

std::vector<Seed> UrlPartsSeeds(const Messages& messages)
{
    return {
        {"description-url", sim::DescriptionUrl(messages.first)},
        {"base-url", sim::BaseUrl(messages.second)},
        {"no-port", std::string("http://") + kIndicatorAddress + "/description.xml"},
        {"no-path", std::string("http://") + kIndicatorAddress + ":8080"},
        {"other-scheme", "https://10.77.1.20/description.xml"},
        {"odd-port", "http://10.77.1.20:  +80x/a/b.xml?c=d/e"},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const SeedWriter writer(argv[1]);
    const Messages messages;
    writer.Write("ssdp_message_fuzzer", SsdpMessageSeeds(messages));
    writer.Write("datagram_fuzzer", DatagramSeeds(messages));
    writer.Write("extract_between_fuzzer", ExtractBetweenSeeds(messages));
    writer.Write("overview_page_fuzzer", OverviewPageSeeds(messages));
    writer.Write("url_parts_fuzzer", UrlPartsSeeds(messages));
    return 0;
}
