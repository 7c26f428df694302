// The URL split GetUrl connects by. Any text: either refused, or "http://"
// followed by the host, an optional ":port" and an optional "/path", all
// within the first kUrlCopyLength characters. A URL composed from parts the
// input chooses must split back into the same parts.

#include <cstdint>
#include <optional>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_checks.h"
#include "indicators/url_parts.h"

namespace {

constexpr char kScheme[] = "http://";
constexpr size_t kSchemeLength = sizeof kScheme - 1;

void CheckAnyText(const std::string& url)
{
    const std::optional<UrlParts> parts = SplitHttpUrl(url);
    const std::string copy = url.substr(0, kUrlCopyLength);
    const bool plainHttp = copy.size() > kSchemeLength && copy.compare(0, kSchemeLength, kScheme) == 0;
    Require(parts.has_value() == plainHttp);
    if (!parts)
        return;
    Require(parts->host.find_first_of(":/") == std::string::npos);
    Require(copy.compare(kSchemeLength, parts->host.size(), parts->host) == 0);
    const size_t slash = copy.find('/', kSchemeLength);
    if (slash == std::string::npos) {
        Require(parts->path.empty());
    } else {
        Require(copy.substr(slash + 1) == parts->path);
    }
    const size_t colon = copy.find(':', kSchemeLength);
    if (colon == std::string::npos || colon > slash)
        Require(parts->port == kDefaultHttpPort);
}

void CheckComposed(FuzzedDataProvider& provider)
{
    std::string host = provider.ConsumeRandomLengthString(64);
    host = host.substr(0, host.find_first_of(":/"));
    const uint16_t port = provider.ConsumeIntegral<uint16_t>();
    const bool withPort = provider.ConsumeBool();
    const std::string path = provider.ConsumeRandomLengthString(128);
    const std::string url = kScheme + host + (withPort ? ":" + std::to_string(port) : "") + "/" + path;
    if (url.size() > kUrlCopyLength)
        return;
    const std::optional<UrlParts> parts = SplitHttpUrl(url);
    Require(parts.has_value());
    Require(parts->host == host);
    Require(parts->port == (withPort ? port : kDefaultHttpPort));
    Require(parts->path == path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckAnyText(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider provider(data, size);
    CheckComposed(provider);
    return 0;
}
