#include "indicator_site.h"

#include "device_description.h"
#include "http_response.h"

namespace sim {

namespace {

constexpr char kHtml[] = "text/html; charset=utf-8";
constexpr char kText[] = "text/plain; charset=utf-8";
constexpr char kXml[] = "text/xml; charset=\"utf-8\"";

SiteAnswer Answer(int status, const char* content_type, const std::string& body, const SiteOptions& options,
                  HeaderEnd header_end = HeaderEnd::kEmptyLine)
{
    return SiteAnswer{status, ComposeHttpResponse(status, content_type, body, header_end, options.filler_bytes),
                      options.filler_bytes};
}

std::string Page(const std::string& title, const std::string& content)
{
    return "<!DOCTYPE html>\n<html><head><title>" + title + "</title></head>\n<body><h1>" + title + "</h1>\n" +
           content + "</body></html>\n";
}

std::string HomePage(const Indicator& indicator)
{
    return Page("Weighing indicator " + indicator.host_name,
                "<p>" + std::string(kModelName) + ", serial number " + indicator.serial_number + "</p>\n"
                "<p><a href=\"/backup.html\">Settings backup</a></p>\n");
}

std::string BackupPage(const Indicator& indicator)
{
    return Page("Settings backup of " + indicator.host_name,
                "<p>Calibration and parameter set of " + indicator.host_name + "; no backup stored yet.</p>\n");
}

SiteAnswer Description(const Indicator& indicator, const SiteOptions& options)
{
    Indicator described = indicator;
    if (options.hostile_name)
        described.host_name = kHostileName;
    const HeaderEnd header_end = options.no_body ? HeaderEnd::kNone : HeaderEnd::kEmptyLine;
    const std::string body = options.nested ? DescribeNestedIndicator(described, options.device_type)
                                            : DescribeIndicator(described, options.device_type);
    return Answer(200, kXml, body, options, header_end);
}

}  // namespace

SiteAnswer AnswerRequest(const std::optional<HttpRequest>& request, const Indicator& indicator,
                         const SiteOptions& options)
{
    if (!request)
        return Answer(400, kText, "Bad request\n", options);
    if (request->method != "GET")
        return Answer(405, kText, "Only GET is served\n", options);
    if (request->path == kDescriptionPath)
        return Description(indicator, options);
    if (request->path == "/ping")
        return Answer(200, kText, "pong " + indicator.host_name + "\n", options);
    if (request->path == "/")
        return Answer(200, kHtml, HomePage(indicator), options);
    if (request->path == "/backup.html")
        return Answer(200, kHtml, BackupPage(indicator), options);
    return Answer(404, kText, "Not found\n", options);
}

}  // namespace sim
