#pragma once
#include <string>
#include <string_view>

namespace kivo::platform {

// Rewrites a whole file safely: the bytes go to a temporary file beside it,
// which is then renamed over the old one, so a failed or interrupted save
// never leaves a short file. A read-only old file is made writable first.
// On failure `error` holds the system's error code and the old file is as
// it was.
bool replace_file(const std::string& path, std::string_view bytes, unsigned& error);

// Reads a whole file. False (with the system's error code) when it cannot
// be opened or read.
bool read_whole_file(const std::string& path, std::string& bytes, unsigned& error);

// The system's wording for an error code of the two calls above.
std::string system_error_text(unsigned error);

}  // namespace kivo::platform
