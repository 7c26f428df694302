// The overview page rows with host names and addresses from the input, as
// devices on the LAN set them. Whatever they hold, the rows keep exactly the
// markup of rows with empty names (no '<', '>', '"' or '\'' from the input
// gets through), and un-escaping the names gives them back unchanged.
//
// Input: host name and address text, separated by a zero byte.

#include <cstdint>
#include <string>

#include "fuzz_checks.h"
#include "indicators/indicator_record.h"
#include "ui/overview_page.h"

namespace {

std::string Unescape(const std::string& text)
{
    static const struct {
        const char* entity;
        char plain;
    } kEntities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&amp;", '&'}};
    std::string plain;
    for (size_t at = 0; at < text.size();) {
        bool matched = false;
        for (const auto& entity : kEntities) {
            const std::string name = entity.entity;
            if (text.compare(at, name.size(), name) == 0) {
                plain += entity.plain;
                at += name.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            plain += text[at++];
    }
    return plain;
}

std::string Between(const std::string& text, const std::string& open, const std::string& close)
{
    const size_t begin = text.find(open);
    Require(begin != std::string::npos);
    const size_t end = text.find(close, begin + open.size());
    Require(end != std::string::npos);
    return text.substr(begin + open.size(), end - begin - open.size());
}

void CheckEscaped(const std::string& text)
{
    const std::string escaped = EscapeHtml(text);
    Require(escaped.find_first_of("<>\"'") == std::string::npos);
    Require(Unescape(escaped) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t zero = input.find('\0');
    IndicatorRecord record;
    record.hostname = input.substr(0, zero);
    record.address_text = zero == std::string::npos ? std::string() : input.substr(zero + 1);
    CheckEscaped(record.hostname);
    CheckEscaped(record.address_text);

    static const std::string kEmptyRows = OverviewPageRows(IndicatorRecord{});
    const std::string rows = OverviewPageRows(record);
    for (const char* markup : {"<", ">", "\"", "'"})
        Require(CountOf(rows, markup) == CountOf(kEmptyRows, markup));
    Require(Unescape(Between(rows, "<th>", "</th>")) == record.hostname);
    Require(Unescape(Between(rows, "CODEBASE=\"http://", "/\"")) == record.address_text);
    return 0;
}
