#pragma once
#include <string>

#include "filter/error_reporter.h"

namespace kivo::filter {

// The system's "file not found" (ERROR_FILE_NOT_FOUND and ENOENT are both 2).
inline constexpr unsigned kFileNotFound = 2;

// Reads a whole file as bytes. False when it cannot be opened or read; then
// error holds the system's error code.
bool read_whole_file(const std::string& path, std::string& bytes, unsigned& error);
bool read_whole_file(const std::string& path, std::string& bytes);

// Replaces a file's contents: the bytes go to a temporary file beside it,
// which is then renamed over it, so a failed write leaves the old file whole.
// A failure is reported with the system's error code and gives false.
bool replace_file(const std::string& path, const std::string& bytes, ErrorReporter& reporter);

}  // namespace kivo::filter
