#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

class Account;
class AccountOwner;

// kivo.dat beside the executable: "KV10", the number of accounts, then one
// record per account (see Account::write).
inline constexpr std::string_view kAccountsMagic = "KV10";
inline constexpr std::string_view kAccountsMagicOld = "KV00";  // server texts stored plain
inline constexpr const char* kAccountsFileName = "kivo.dat";

std::string accounts_file_path();

// Writes every account, in order, through a temporary file that replaces
// the old one. On failure `error_text` holds the system's wording and the
// old file is kept whole.
bool save_accounts(const std::vector<const Account*>& accounts, std::string& error_text);

struct LoadedAccounts {
    std::vector<std::unique_ptr<Account>> accounts;
    bool changed = false;    // an old-format file: rewrite it at exit
    std::string error_text;  // why a broken record ended the load; empty otherwise
};

// Reads kivo.dat. A missing file or an unknown magic gives no accounts and
// no error; a broken record ends the load and keeps the accounts before it.
LoadedAccounts load_accounts(AccountOwner* owner);
// The same from the file's bytes (for tests and the fuzzer).
LoadedAccounts parse_accounts(std::string_view bytes, AccountOwner* owner);

// Scrambles the server text with the program's key; the same call undoes it.
std::string scramble(std::string_view text);

}  // namespace kivo
