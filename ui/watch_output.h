#pragma once

// What watch mode prints for one change of a row: when it happened, the
// event (the row's status), then the fields that list mode prints for it,
// escaped the same way.

#include <cstdint>
#include <string>

#include "ui/list_output.h"

// Local time with its offset from UTC, such as 2026-12-09T09:14:03+01:00.
std::string WatchTime(int64_t seconds);

// One line: tab-separated fields, or a JSON object; with its line end.
std::string FormatWatchLine(const std::string& time, const ListedIndicator& indicator, bool json);

// Whether anything but the Valid until field differs: an answer that only
// moves the expiry on is no event.
bool ChangedBeyondExpiry(const ListedIndicator& before, const ListedIndicator& now);
