#include "dialogs/account_apply.h"

#include "engine/account.h"
#include "engine/account_file.h"
#include "engine/connection_manager.h"

namespace kivo {

bool apply_account_edit(ConnectionManager& manager, Account& account, const AccountSettings& settings,
                        const std::vector<const Account*>& all_accounts, std::string& error_text)
{
    error_text.clear();
    if (!manager.lock())
        return false;
    manager.stop_account(account);
    // The old key goes first: with the new name it could not be found again.
    if (settings.name != account.name())
        account.delete_registry();
    apply_settings(account, settings);
    account.save_registry();
    bool saved = save_accounts(all_accounts, error_text);
    account.start_thread();
    manager.unlock();
    return saved;
}

}  // namespace kivo
