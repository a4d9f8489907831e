#pragma once
#include <functional>
#include <optional>
#include <string>

namespace kivo {

// The full path of a program, as the system finds it (with ".exe" added
// when the name has no extension), or none.
using ProgramLookup = std::function<std::optional<std::string>(const std::string& name)>;

// A command line whose program is named exactly: the program's full path in
// quotes, then the arguments as they were. An unquoted program path with
// blanks in it ("C:\Program Files\Mail\mail.exe /new") is read as the
// longest run of words that names an existing program, so a planted
// "C:\Program.exe" is never the one started. Empty when no program of the
// line exists.
std::string quote_program(const std::string& command, const ProgramLookup& find);

}  // namespace kivo
