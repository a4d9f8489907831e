#pragma once
#include <cstdint>
#include <string>

namespace kivo {

// A byte count as "%1 Bytes", "%1 KB", "%1 MB" or "%1 GB" (texts from the
// message table), with up to two decimals and the user's decimal separator.
std::string format_size(std::int32_t size);

// Any byte count, with a given separator (a mailbox's total may pass 4 GB).
std::string format_byte_count(std::uint64_t bytes, const std::string& decimal_separator);

// The same with a given separator (tests, and callers that already know it).
std::string format_size(std::int32_t size, const std::string& decimal_separator);

}  // namespace kivo
