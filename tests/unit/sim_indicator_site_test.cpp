#include <gtest/gtest.h>

#include "device_description.h"
#include "http_request.h"
#include "http_response.h"
#include "indicator_site.h"
#include "indicators/extract_between.h"
#include "sim_message_checks.h"

namespace {

using sim_test::ParsedMessage;

sim::Indicator SecondIndicator()
{
    sim::SimOptions options;
    options.address = "10.77.1.10";
    options.count = 2;
    options.first_port = 8080;
    return sim::MakeIndicators(options)[1];
}

// What the program sends: a request line and the empty line, nothing else.
std::string Serve(const std::string& request_head, const sim::SiteOptions& options = {kSearchTarget, false})
{
    EXPECT_EQ(sim::RequestHeadLength(request_head), request_head.size());
    return sim::AnswerRequest(sim::ParseRequestLine(request_head), SecondIndicator(), options).bytes;
}

std::string Get(const std::string& path)
{
    return Serve("GET " + path + " HTTP/1.1\r\n\r\n");
}

std::string Element(const std::string& xml, const std::string& name)
{
    return ExtractBetween(xml, ("<" + name + ">").c_str(), ("</" + name + ">").c_str());
}

TEST(SimIndicatorSite, DescriptionYieldsEveryFieldTheProgramReads)
{
    const sim::Indicator indicator = SecondIndicator();
    ParsedMessage response(Get("/description.xml"));
    EXPECT_EQ(response.StartLine(), "HTTP/1.1 200 OK");
    EXPECT_NE(response.Header("CONTENT-TYPE").find("xml"), std::string::npos);
    EXPECT_EQ(response.Header("CONNECTION"), "close");
    ASSERT_TRUE(response.HasBody());
    const std::string xml = response.Body();
    EXPECT_EQ(response.Header("CONTENT-LENGTH"), std::to_string(xml.size()));

    EXPECT_EQ(ExtractBetween(Element(xml, "modelDescription"), "\"", "\""), "scale-2");
    EXPECT_EQ(Element(xml, "deviceType"), kSearchTarget);
    EXPECT_FALSE(Element(xml, "modelName").empty());
    EXPECT_FALSE(Element(xml, "modelNumber").empty());
    EXPECT_EQ(Element(xml, "serialNumber"), indicator.serial_number);
    EXPECT_EQ(ExtractBetween(xml, "<UDN>uuid:", "</UDN>"), indicator.guid);
    EXPECT_EQ(Element(xml, "presentationURL"), "http://10.77.1.10:8081/");
}

TEST(SimIndicatorSite, DescriptionFollowsTheAnnouncedType)
{
    ParsedMessage response(Serve("GET /description.xml HTTP/1.1\r\n\r\n", {"urn:other-org:device:thing:2", false}));
    EXPECT_EQ(Element(response.Body(), "deviceType"), "urn:other-org:device:thing:2");
}

TEST(SimIndicatorSite, NoBodyFaultLeavesNoEmptyLine)
{
    const std::string bytes = Serve("GET /description.xml HTTP/1.1\r\n\r\n", {kSearchTarget, true});
    EXPECT_EQ(bytes.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("<UDN>"), std::string::npos);  // the XML is still sent
    ParsedMessage response(bytes);
    EXPECT_FALSE(response.HasBody());
}

// The program reads the name between the first two double quotes of
// modelDescription; the markup reaches it unescaped.
TEST(SimIndicatorSite, HostileNameFault)
{
    sim::SiteOptions options{kSearchTarget, false};
    options.hostile_name = true;
    ParsedMessage response(Serve("GET /description.xml HTTP/1.1\r\n\r\n", options));
    const std::string model_description = Element(response.Body(), "modelDescription");
    EXPECT_EQ(model_description, std::string("Weighing indicator \"") + sim::kHostileName + "\"");
    EXPECT_EQ(ExtractBetween(model_description, "\"", "\""), "<b onmouseover='alert(1)'>&amp;</b><script>alert(");
    EXPECT_EQ(Element(response.Body(), "serialNumber"), SecondIndicator().serial_number);
    // Only the description carries it.
    EXPECT_NE(Serve("GET /ping HTTP/1.1\r\n\r\n", options).find("pong scale-2"), std::string::npos);
}

// Content-Length announces body and filler; the caller sends the filler.
TEST(SimIndicatorSite, FloodFaultCountsTheFillerInContentLength)
{
    sim::SiteOptions options{kSearchTarget, false};
    options.filler_bytes = 100u * 1024 * 1024;
    for (const char* path : {"/description.xml", "/", "/no-such-page"}) {
        const sim::SiteAnswer answer =
            sim::AnswerRequest(sim::HttpRequest{"GET", path}, SecondIndicator(), options);
        EXPECT_EQ(answer.filler, options.filler_bytes) << path;
        ParsedMessage response(answer.bytes);
        EXPECT_EQ(response.Header("CONTENT-LENGTH"), std::to_string(response.Body().size() + options.filler_bytes))
            << path;
    }
    // The description comes whole before any filler, so a reader that stops
    // early still finds the name.
    ParsedMessage description(sim::AnswerRequest(sim::HttpRequest{"GET", "/description.xml"}, SecondIndicator(),
                                                 options).bytes);
    EXPECT_NE(description.Body().find("</root>"), std::string::npos);

    const std::string& filler = sim::FillerBlock();
    EXPECT_GE(filler.size(), 60000u);
    EXPECT_EQ(filler.find('"'), std::string::npos);
    EXPECT_EQ(filler.find("\r\n"), std::string::npos);
    EXPECT_EQ(filler.back(), '\n');
}

TEST(SimIndicatorSite, PagesAnswerWithTheirStatus)
{
    struct Case {
        std::string request;
        std::string status_line;
        std::string marker;
    };
    const Case cases[] = {
        {"GET /ping HTTP/1.1\r\n\r\n", "HTTP/1.1 200 OK", "scale-2"},
        {"GET /ping?now=1 HTTP/1.1\r\n\r\n", "HTTP/1.1 200 OK", "scale-2"},
        {"GET / HTTP/1.1\r\n\r\n", "HTTP/1.1 200 OK", "<html>"},
        {"GET /backup.html HTTP/1.1\r\n\r\n", "HTTP/1.1 200 OK", "backup"},
        {"GET /description.xml HTTP/1.0\r\nHost: 10.77.1.10\r\n\r\n", "HTTP/1.1 200 OK", "<UDN>"},
        {"GET /nothing-here HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found", ""},
        {"GET /description.xml/ HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found", ""},
        {"POST /description.xml HTTP/1.1\r\n\r\n", "HTTP/1.1 405 Method Not Allowed", ""},
        {"GET\r\n\r\n", "HTTP/1.1 400 Bad Request", ""},
        {"\x16\x03\x01 binary\r\n\r\n", "HTTP/1.1 400 Bad Request", ""},
    };
    for (const Case& page : cases) {
        ParsedMessage response(Serve(page.request));
        EXPECT_EQ(response.StartLine(), page.status_line) << page.request;
        EXPECT_EQ(response.Header("CONNECTION"), "close") << page.request;
        EXPECT_EQ(response.Header("CONTENT-LENGTH"), std::to_string(response.Body().size())) << page.request;
        EXPECT_NE(response.Body().find(page.marker), std::string::npos) << page.request;
    }
}

TEST(SimHttpRequest, HeadEndsAtTheFirstEmptyLine)
{
    EXPECT_EQ(sim::RequestHeadLength("GET / HTTP/1.1\r\n"), 0u);
    EXPECT_EQ(sim::RequestHeadLength("GET / HTTP/1.1\r\n\r"), 0u);
    EXPECT_EQ(sim::RequestHeadLength("GET / HTTP/1.1\r\n\r\nextra"), 18u);
    EXPECT_EQ(sim::RequestHeadLength("GET / HTTP/1.1\n\n"), 16u);
}

TEST(SimHttpRequest, MalformedRequestLinesAreRefused)
{
    for (const char* line : {"", "GET", "GET /x", "GET x HTTP/1.1", "GET /x FTP/1.0", " /x HTTP/1.1"})
        EXPECT_FALSE(sim::ParseRequestLine(line)) << line;
    const auto request = sim::ParseRequestLine("GET /a/b?c=d HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->path, "/a/b");
}

}  // namespace
