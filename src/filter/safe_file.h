#pragma once
#include <string>
#include <system_error>

#include "filter/error_reporter.h"

namespace kivo::filter {

// Reads a whole file as bytes. False when it cannot be opened or read; then
// error says why (no_such_file_or_directory for a missing file).
bool read_whole_file(const std::string& path, std::string& bytes, std::error_code& error);
bool read_whole_file(const std::string& path, std::string& bytes);

// Replaces a file's contents: the bytes go to a temporary file beside it,
// which is then renamed over it, so a failed write leaves the old file whole.
// A failure is reported with the system's reason and gives false.
bool replace_file(const std::string& path, const std::string& bytes, ErrorReporter& reporter);

// The same, without reporting.
bool replace_file(const std::string& path, const std::string& bytes, std::error_code& error);

}  // namespace kivo::filter
