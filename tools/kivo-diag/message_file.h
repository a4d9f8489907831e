#pragma once
#include <cstddef>
#include <string>

#include "message/header_lines.h"

namespace kivo::diag {

// Reads a whole file as bytes; false when it cannot be read.
bool read_file(const std::string& path, std::string& bytes);

// Splits raw message bytes into lines: a line ends at LF, and one CR just
// before the LF belongs to the line end.
Lines split_message_lines(const std::string& bytes);

// What a server's reply to "TOP k body_lines" holds: every header line, the
// empty line, and the first body_lines lines of the body.
Lines top_lines(const Lines& lines, std::size_t body_lines);

}  // namespace kivo::diag
