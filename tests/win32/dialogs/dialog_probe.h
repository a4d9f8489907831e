#pragma once
#include <windows.h>

#include <string>

namespace kivo::test {

// The dialog with this caption, or null.
HWND find_dialog(const char* caption);
std::string item_text(HWND dialog, int id);
bool item_enabled(HWND dialog, int id);
// Types into an edit as a paste would: the whole text at once, EN_CHANGE sent.
void type_text(HWND dialog, int id, const std::string& text);
void click(HWND dialog, int id);
// Writes the dialog as the screen shows it to KIVO_SHOTS_DIR/name.bmp, when set.
void keep_shot(HWND window, const char* name);

}  // namespace kivo::test
