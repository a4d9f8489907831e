#pragma once
#include <windows.h>

#include "engine/account.h"

namespace kivo::dialogs {

// The security drop-down of the account dialog and the wizard's server
// page: "None", "TLS", "STLS", in that order.
void fill_security_choice(HWND combo, Account::Security selected);
// The entry chosen (none when nothing is).
Account::Security chosen_security(HWND combo);

}  // namespace kivo::dialogs
