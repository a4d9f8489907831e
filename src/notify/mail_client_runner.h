#pragma once
#include <optional>
#include <string>

namespace kivo::notify {

// The full path of a program as Windows finds it (the search path, ".exe"
// added when there is no extension); none for a folder or nothing.
std::optional<std::string> find_program(const std::string& name);

// Starts the mail client from its command line, its program named exactly
// (see quote_program); true when a process was created. The process runs on
// by itself: its handles are closed at once.
bool run_mail_client(const std::string& command);

}  // namespace kivo::notify
