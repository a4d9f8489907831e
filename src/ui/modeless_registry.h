#pragma once
#include <windows.h>

namespace kivo::ui {

// The thread's modeless top-level dialogs and property sheets, which the
// message loop must give the first look at each message so that Tab, Enter,
// Esc and mnemonics work in them. Dialog and PropertySheetDialog register and
// unregister themselves; one list per thread, because windows belong to the
// thread that made them.
enum class ModelessKind { dialog, property_sheet };

void register_modeless(HWND window, ModelessKind kind);
// Harmless for a window that was never registered.
void unregister_modeless(HWND window);

// Offers one message to the registered windows (IsDialogMessage, or
// PropSheet_IsDialogMessage for a sheet); true when one of them consumed it.
// A modeless sheet that its buttons have finished (no current page any more)
// is destroyed here, as a modeless sheet's owner must do.
bool translate_modeless_message(MSG& msg);

}  // namespace kivo::ui
