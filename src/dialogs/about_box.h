#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace kivo::dialogs {

// The program's home page and support address, shown in About.
inline constexpr char kHomePage[] = "https://kivo.example/";
inline constexpr char kSupportAddress[] = "support@kivo.example";

struct AboutArgs {
    HINSTANCE module = nullptr;  // template 137 and the version record
    HWND owner = nullptr;
    // Opens a link with the shell; null: ShellExecute "open".
    std::function<void(const std::string&)> open;
};

// The About box (137): product name, version and copyright from the version
// record; the home page and the support address as links (purple, underlined
// and with the hand cursor while the mouse is over them).
void show_about(const AboutArgs& args);

}  // namespace kivo::dialogs
