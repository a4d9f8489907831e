#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "filter/error_reporter.h"

namespace kivo::filter {

inline constexpr const char* kFriendsFileName = "friends.dat";
inline constexpr const char* kSpammersFileName = "spammers.dat";

using AddressKeys = std::set<std::uint32_t>;

// The addresses of an address file's bytes: one per line, empty lines
// skipped, the rest kept as they are (no trimming).
std::vector<std::string> parse_address_file(std::string_view bytes);
// The addresses of a file; none when it cannot be read.
std::vector<std::string> ReadAddresses(const std::string& path);
// The keys of some addresses; duplicates collapse, empty ones are left out.
AddressKeys address_keys(const std::vector<std::string>& addresses);

// Each non-empty address and a line end, in the given order.
std::string format_address_file(const std::vector<std::string>& addresses);

// Rewrites the file from a page's addresses, through a temporary file.
bool SaveAddresses(const std::string& path, const std::vector<std::string>& addresses, ErrorReporter& reporter);

// Adds one line at the end of the file (nothing for an empty address). The
// file is rebuilt beside the old one and renamed over it, so a failure leaves
// the old file whole. A last line without a line end gets one first, so the
// new address never runs into the old one.
bool AppendAddress(const std::string& path, const std::string& address, ErrorReporter& reporter);

}  // namespace kivo::filter
