#pragma once

// What list mode prints: per indicator the five cells of its row as the
// window shows them, then four details read from its device description.
// The texts come from devices on the network, so every byte is taken as
// possibly hostile.

#include <array>
#include <string>
#include <vector>

inline constexpr size_t kRowCellCount = 5;
inline constexpr size_t kListedFieldCount = 9;

using RowCells = std::array<std::string, kRowCellCount>;
using ListedIndicator = std::array<std::string, kListedFieldCount>;

ListedIndicator MakeListedIndicator(const RowCells& cells, const std::string& description);

// A header line, then one line per indicator, fields separated by tabs.
// Control characters inside a field become blanks, so a line is always one
// indicator with all its fields.
std::string FormatListTable(const std::vector<ListedIndicator>& indicators);

// A JSON array with one object per indicator.
std::string FormatListJson(const std::vector<ListedIndicator>& indicators);

// The pieces of both, for other output of the same fields: a field of the
// table, the fields of one line (without its line end), the members of one
// object (without its braces) and one member.
std::string TableField(const std::string& text);
std::string TableFields(const ListedIndicator& indicator);
std::string JsonMembers(const ListedIndicator& indicator);
std::string JsonMember(const std::string& key, const std::string& value);

// A JSON string literal of the bytes: quote, backslash, control characters
// and DEL escaped; valid UTF-8 kept; any other byte taken as Latin-1 and
// written as \u00XX, so the output is valid UTF-8 whatever arrived.
std::string JsonString(const std::string& bytes);
