#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kivo::ui {

// The program's message box: the text of a message number (the program's own
// table first, then the system's, so a Windows error code works too) with the
// caption "Kivo Email Checker Warning".
//  - owner: the box's owner; none means the thread's active window.
//  - style: MessageBox buttons and icon. Without an icon, numbers with the
//    top bit set (errors) get the stop icon and all others the information
//    icon.
// A number that has no text shows the system's text for E_UNEXPECTED.
// Returns the button pressed (IDOK, IDYES, ...), or 0 if no box could be shown.
int report_message(std::uint32_t id, UINT style = MB_OK, HWND owner = nullptr,
                   const std::vector<std::string>& inserts = {});

// What report_message shows, without showing it (for callers that want the
// texts, and for tests).
struct MessageBoxContent {
    std::string text;
    std::string caption;
    UINT style = 0;
};
MessageBoxContent message_box_content(std::uint32_t id, UINT style = MB_OK,
                                      const std::vector<std::string>& inserts = {});

}  // namespace kivo::ui
