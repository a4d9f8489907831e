#pragma once
#include <string>

namespace kivo::platform {

// The directory of the running executable, up to and including its last
// backslash or slash. Every data file of the program lives there.
std::string program_folder();

// Tests point the program's data files at a folder of their own.
void set_program_folder_for_tests(const std::string& folder);

}  // namespace kivo::platform
