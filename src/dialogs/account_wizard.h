#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "dialogs/account_form.h"

namespace kivo::dialogs {

struct AccountWizardArgs {
    HINSTANCE module = nullptr;  // where the pages 163, 195, 194 live
    HWND owner = nullptr;
    std::vector<std::string> existing_names;  // a new name must differ from these, ignoring case
};

// The Accounts Wizard: name, server, login. The new account's settings on
// Finish (defaults for what the wizard does not ask, the default sound file
// included), none when cancelled at any step. The caller makes the Account
// (apply_settings), adds it as the last row, saves kivo.dat and its registry
// values and starts its thread.
std::optional<AccountSettings> run_account_wizard(const AccountWizardArgs& args);

}  // namespace kivo::dialogs
