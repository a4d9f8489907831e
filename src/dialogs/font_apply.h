#pragma once
#include <windows.h>

#include "appcore/settings.h"
#include "ui/handles.h"

namespace kivo::dialogs {

// Makes a font from the stored description and sets it on `window` and
// every child before the old font (held in `current`) is deleted. When the
// description has no face name or no font can be made, nothing changes.
// True when the new font is in use.
bool apply_font(HWND window, const Settings::Font& font, ui::FontHandle& current);

// The stored description as LOGFONTA and back; the face name is cut at 31
// characters and always ends with a NUL.
LOGFONTA to_logfont(const Settings::Font& font);
Settings::Font from_logfont(const LOGFONTA& font);

}  // namespace kivo::dialogs
