#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kivo::platform {

// Looks a text up by number, first in the program's own message table, then
// among the system's texts (so a Winsock error code gives the system's
// wording). Inserts fill %1, %2, ...; the trailing line break is removed.
// Returns false when neither table has the number.
bool find_message_text(std::uint32_t id, std::string& out,
                       const std::vector<std::string>& inserts = {});

// The same, with an empty text when the number is unknown.
std::string message_text(std::uint32_t id, const std::vector<std::string>& inserts = {});

}  // namespace kivo::platform
