#include "device_description.h"

namespace sim {

namespace {

std::string Element(const char* name, const std::string& text)
{
    return std::string("    <") + name + ">" + text + "</" + name + ">\n";
}

}  // namespace

// Host names and device types are restricted by the option checks to
// characters that need no XML escaping; kHostileName goes in unescaped on
// purpose.
std::string DescribeIndicator(const Indicator& indicator, const std::string& device_type)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">\n"
           "  <device>\n" +
           Element("deviceType", device_type) +
           Element("friendlyName", std::string(kModelName) + " " + indicator.host_name) +
           Element("manufacturer", kManufacturer) +
           Element("modelDescription", "Weighing indicator \"" + indicator.host_name + "\"") +
           Element("modelName", kModelName) + Element("modelNumber", kModelNumber) +
           Element("serialNumber", indicator.serial_number) + Element("UDN", "uuid:" + indicator.guid) +
           Element("presentationURL", BaseUrl(indicator)) +
           "  </device>\n"
           "</root>\n";
}

std::string DescribeNestedIndicator(const Indicator& indicator, const std::string& device_type)
{
    const std::string text(4096, 'n');
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">\n"
           "  <device>\n" +
           Element("deviceType", device_type) + "    <modelDescription>Weighing indicator \"" + indicator.host_name +
           text + "<modelName>" + kModelName + text + "<modelNumber>" + kModelNumber + text + "<serialNumber>" +
           indicator.serial_number + text + "<UDN>uuid:" + indicator.guid + text + "<presentationURL>" +
           BaseUrl(indicator) + text +
           "\"</presentationURL></UDN></serialNumber></modelNumber></modelName></modelDescription>\n"
           "  </device>\n"
           "</root>\n";
}

}  // namespace sim
