#pragma once
#include <string>
#include <vector>

#include "dialogs/account_form.h"

namespace kivo {

class Account;
class ConnectionManager;

// Puts edited settings into a live account in one step, under the
// connection manager's start/stop lock: stops the account's thread, applies
// the settings, writes kivo.dat (every account of `all_accounts`, in order;
// `account` among them) and the account's registry values, deleting the old
// registry key first when the name changed, and starts the thread again
// (a disabled account stays stopped).
// False when the lock could not be had (nothing changed) or kivo.dat could
// not be written (`error_text` has the system's words; the account runs
// with the new settings all the same and the registry holds them).
bool apply_account_edit(ConnectionManager& manager, Account& account, const AccountSettings& settings,
                        const std::vector<const Account*>& all_accounts, std::string& error_text);

}  // namespace kivo
