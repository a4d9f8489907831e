#pragma once
#include <windows.h>

namespace kivo::ui {

// Converts a size in dialog units to pixels the way a dialog in the system's
// message font would, so a plain window can be given a dialog's size.
SIZE dialog_units_to_pixels(int width, int height);

}  // namespace kivo::ui
