#include "dialogs/settings_pages.h"

#include "ui/button.h"
#include "ui/edit.h"

namespace kivo::dialogs {

// One-line calls over the framework's control views, by dialog and id.
bool is_checked(HWND dialog, int id) { return ui::CheckBox(dialog, id).is_checked(); }

void set_checked(HWND dialog, int id, bool on) { ui::CheckBox(dialog, id).set_checked(on); }

std::string text_of(HWND dialog, int id) { return ui::Control(dialog, id).text(); }

void set_text(HWND dialog, int id, const std::string& text) { ui::Control(dialog, id).set_text(text); }

void enable(HWND dialog, int id, bool on) { ui::Control(dialog, id).enable(on); }

void limit_text(HWND dialog, int id, int characters) { ui::Edit(dialog, id).set_limit(characters); }

}  // namespace kivo::dialogs
