#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "indicators/url_parts.h"

namespace {

std::string Describe(const std::optional<UrlParts>& parts)
{
    if (!parts)
        return "refused";
    return parts->host + "|" + std::to_string(parts->port) + "|" + parts->path;
}

std::string Split(const std::string& url) { return Describe(SplitHttpUrl(url)); }

TEST(UrlPartsTest, HostPortAndPathOfAnnouncedLocations)
{
    EXPECT_EQ(Split("http://10.77.1.20:8080/description.xml"), "10.77.1.20|8080|description.xml");
    EXPECT_EQ(Split("http://10.77.1.20/a/b.xml?c=d/e"), "10.77.1.20|80|a/b.xml?c=d/e");
    EXPECT_EQ(Split("http://scale-1"), "scale-1|80|");
    EXPECT_EQ(Split("http://scale-1:81"), "scale-1|81|");
    // A colon after the first slash belongs to the path.
    EXPECT_EQ(Split("http://scale-1/x:9"), "scale-1|80|x:9");
}

TEST(UrlPartsTest, OnlyPlainHttpWithSomethingAfterTheSchemeIsSplit)
{
    for (const char* url : {"", "http://", "http:/x", "HTTP://x", "https://x/", "ftp://x", " http://x", "httpx"})
        EXPECT_EQ(Split(url), "refused") << url;
}

TEST(UrlPartsTest, PortIsReadAsAtoiReadsItAndEmptyMeansEighty)
{
    EXPECT_EQ(Split("http://h:  +81x/p"), "h|81|p");
    EXPECT_EQ(Split("http://h:/p"), "h|80|p");
    EXPECT_EQ(Split("http://h:x/p"), "h|0|p");
    EXPECT_EQ(Split("http://h:-1/p"), "h|" + std::to_string(static_cast<unsigned>(-1)) + "|p");
}

TEST(UrlPartsTest, OnlyTheFirst254CharactersCount)
{
    const std::string url = "http://h/";
    const std::string path(kUrlCopyLength - url.size(), 'p');
    EXPECT_EQ(Split(url + path + "cut"), "h|80|" + path);
    EXPECT_EQ(Split(std::string("http://") + std::string(kUrlCopyLength, 'h')),
              std::string(kUrlCopyLength - 7, 'h') + "|80|");
}

}  // namespace
