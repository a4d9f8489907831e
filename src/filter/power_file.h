#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "filter/error_reporter.h"
#include "filter/power_filter.h"

namespace kivo::filter {

inline constexpr const char* kPowerFileName = "power.dat";

// power.dat: 39 "Key=value" lines per filter, CR LF line ends, the texts as
// they are. A filter without a name is left out: its lines would otherwise
// be read as part of the filter before it.
std::string format_power_file(const std::vector<PowerFilter>& filters);

// Reads the lines back: FilterName starts a filter, other keys (case-
// sensitive prefixes with their "=") set fields of the filter being built,
// anything else is ignored.
std::vector<PowerFilter> parse_power_file(std::string_view bytes);

// The file in a folder (with its trailing separator). A missing or
// unreadable file gives no filters and no report.
std::vector<PowerFilter> LoadPowerFilters(const std::string& folder);
// Writes the whole file through a temporary file; on failure the old file
// stays as it was and the reporter hears of it.
bool SavePowerFilters(const std::string& folder, const std::vector<PowerFilter>& filters, ErrorReporter& reporter);

}  // namespace kivo::filter
