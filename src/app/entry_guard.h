#pragma once
#include <functional>

namespace kivo::app {

// Runs the program's body. Whatever escapes it is shown to the user as
// "Unexpected Error." and the process still ends normally, with exit code 0.
int run_reporting_failures(const std::function<int()>& body) noexcept;

}  // namespace kivo::app
