#pragma once

#include <string>

#include "indicators/indicator_record.h"

// Host names and addresses come from devices on the LAN: they are escaped
// so that a name cannot put markup or script into the page.
std::string EscapeHtml(const std::string& text);

// The two table rows of one indicator on the overview page.
std::string OverviewPageRows(const IndicatorRecord& record);
