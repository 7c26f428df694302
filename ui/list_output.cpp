#include "ui/list_output.h"

#include <cstdio>

#include "indicators/description_elements.h"

namespace {

struct ListedField {
    const char* heading;
    const char* key;
};

constexpr ListedField kListedFields[kListedFieldCount] = {
    {"IP-Addr", "ip_addr"},
    {"Hostname", "hostname"},
    {"DevType", "dev_type"},
    {"Status", "status"},
    {"Valid until", "valid_until"},
    {"Model number", "model_number"},
    {"Serial number", "serial_number"},
    {"GUID", "guid"},
    {"Presentation URL", "presentation_url"},
};

// The details that follow the row cells, in field order.
constexpr DescriptionElement kDetailElements[kListedFieldCount - kRowCellCount] = {
    kModelNumberElement,
    kSerialNumberElement,
    kUdnElement,
    kPresentationUrlElement,
};

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7f; }

bool IsContinuation(unsigned char byte) { return (byte & 0xc0) == 0x80; }

// The length of the well-formed UTF-8 sequence at text[at], or 0: no
// overlong forms, no surrogates, nothing above U+10FFFF.
size_t Utf8SequenceLength(const std::string& text, size_t at)
{
    const auto byte = [&](size_t offset) { return static_cast<unsigned char>(text[at + offset]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t offset = 2; offset < length; ++offset) {
        if (!IsContinuation(byte(offset)))
            return 0;
    }
    return length;
}

std::string UnicodeEscape(unsigned char byte)
{
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
    return escape;
}

std::string EscapeAscii(unsigned char byte)
{
    switch (byte) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\b': return "\\b";
    case '\f': return "\\f";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: return IsControl(byte) ? UnicodeEscape(byte) : std::string(1, static_cast<char>(byte));
    }
}

template <typename Cell>
std::string JoinedFields(Cell cell)
{
    // Appended, not joined with +: GCC 12 at -O3 takes that for an
    // overlapping copy (-Wrestrict).
    std::string line = cell(0);
    for (size_t i = 1; i < kListedFieldCount; ++i)
        line.append("\t").append(cell(i));
    return line;
}

}  // namespace

std::string TableField(const std::string& text)
{
    std::string field = text;
    for (char& c : field) {
        if (IsControl(static_cast<unsigned char>(c)))
            c = ' ';
    }
    return field;
}

ListedIndicator MakeListedIndicator(const RowCells& cells, const std::string& description)
{
    ListedIndicator indicator;
    for (size_t i = 0; i < kRowCellCount; ++i)
        indicator[i] = cells[i];
    for (size_t i = kRowCellCount; i < kListedFieldCount; ++i)
        indicator[i] = ElementText(description, kDetailElements[i - kRowCellCount]);
    return indicator;
}

std::string TableFields(const ListedIndicator& indicator)
{
    return JoinedFields([&indicator](size_t i) { return TableField(indicator[i]); });
}

std::string JsonMembers(const ListedIndicator& indicator)
{
    std::string members;
    for (size_t i = 0; i < kListedFieldCount; ++i)
        members += (i ? ", " : "") + JsonMember(kListedFields[i].key, indicator[i]);
    return members;
}

std::string JsonMember(const std::string& key, const std::string& value)
{
    return JsonString(key) + ": " + JsonString(value);
}

std::string FormatListTable(const std::vector<ListedIndicator>& indicators)
{
    std::string table = JoinedFields([](size_t i) { return std::string(kListedFields[i].heading); }) + "\n";
    for (const ListedIndicator& indicator : indicators)
        table += TableFields(indicator) + "\n";
    return table;
}

std::string FormatListJson(const std::vector<ListedIndicator>& indicators)
{
    if (indicators.empty())
        return "[]\n";
    std::string json = "[\n";
    for (size_t i = 0; i < indicators.size(); ++i)
        json += "  {" + JsonMembers(indicators[i]) + (i + 1 < indicators.size() ? "},\n" : "}\n");
    return json + "]\n";
}

std::string JsonString(const std::string& bytes)
{
    std::string json = "\"";
    for (size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            json += EscapeAscii(byte);
            ++at;
        } else if (const size_t length = Utf8SequenceLength(bytes, at)) {
            json.append(bytes, at, length);
            at += length;
        } else {
            json += UnicodeEscape(byte);
            ++at;
        }
    }
    return json + "\"";
}
