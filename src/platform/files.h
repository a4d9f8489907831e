#pragma once
#include <cstddef>
#include <string>

namespace kivo::platform {

// Appends bytes to a file, creating it if missing (read and write permission),
// while other programs may read it but not write it. The file is closed again
// before returning. False when it cannot be opened or fully written.
bool append_to_file_shared_read(const std::string& path, const char* data, std::size_t size);

}  // namespace kivo::platform
