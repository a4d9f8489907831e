#pragma once
#include <windows.h>

#include <string>

namespace kivo::ui {

// One entry of a module's version record ("ProductName", "ProductVersion",
// "LegalCopyright", ...), from its first language block; empty when the
// module has no version record or no such entry.
std::string version_value(HMODULE module, const char* name);

}  // namespace kivo::ui
