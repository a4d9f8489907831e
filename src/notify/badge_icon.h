#pragma once
#include <windows.h>

#include <cstdint>

#include "appcore/tray_decisions.h"
#include "ui/handles.h"

namespace kivo::notify {

// The colour that stands for "transparent" while the badge is drawn.
inline constexpr COLORREF kBadgeKeyColour = RGB(4, 4, 4);

// The state icon at small-icon size with the number drawn on a round badge
// of the given colour. On any failure: a plain copy of the state icon (or
// null when even that fails). Every GDI object it makes is freed on every
// path, so it can run twice a second for as long as the program runs.
ui::IconHandle compose_badge_icon(HWND window, HICON state_icon, tray::Colour colour, std::int64_t number);

}  // namespace kivo::notify
