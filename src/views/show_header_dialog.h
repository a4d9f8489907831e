#pragma once

#include <windows.h>

#include <string>

namespace kivo::views {

// The "Show header" window (dialog 160): the message's whole header as
// received, read-only, modal on `owner`.
void run_show_header(HINSTANCE module, HWND owner, const std::string& header_text);

// The header with every line ended by CR LF, which a multi-line edit needs.
std::string edit_control_lines(const std::string& text);

}  // namespace kivo::views
