#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/account_form.h"

namespace kivo::ui {
class CommonDialogs;
}

namespace kivo::dialogs {

struct AccountDialogArgs {
    HINSTANCE module = nullptr;  // where template 103 lives
    HWND owner = nullptr;
    std::vector<std::string> other_names;  // the other accounts' names
    ui::CommonDialogs* dialogs = nullptr;  // "..."; null: the system's
    // "Test": runs the launch file as the mailbox-size action does; null:
    // the shell (ShellExecute, SW_SHOWNORMAL, owned by `owner`).
    std::function<void(const std::string&)> run_file;
    // The certificate the server presented when the last check refused it
    // as not trusted (Account::untrusted_fingerprint); "Trust" makes it the
    // trusted one. Empty: nothing to offer.
    std::string untrusted_fingerprint;
};

// The "Account Edit" dialog (103) on `settings`, a copy of the account's.
// True on OK, with `settings` holding the edit; false on Cancel, with
// `settings` untouched. The caller then applies the edit with
// apply_account_edit (dialogs/account_apply.h).
bool edit_account(const AccountDialogArgs& args, AccountSettings& settings);

}  // namespace kivo::dialogs
