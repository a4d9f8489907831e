// kivo-diag accounts: the accounts of kivo.dat beside this program, and a way
// to add one without the window (the demo and scripted set-ups use it).
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "arguments.h"
#include "engine/account.h"
#include "engine/account_file.h"
#include "json_writer.h"
#include "message/url.h"
#include "subcommands.h"

namespace kivo::diag {

namespace {

struct NewAccount {
    std::string name, host, user, password;
    std::int64_t port = Account::kDefaultPort;
    std::int64_t interval = Account::kDefaultCheckInterval;
    bool apop = true;
    bool keep_existing = false;
};

bool equal_ignoring_case(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void list(const std::vector<std::unique_ptr<Account>>& accounts, std::ostream& out)
{
    for (const auto& account : accounts) {
        JsonObjectWriter json(out);
        json.text("name", account->name());
        json.text("host", account->server().host());
        json.number("port", account->port());
        json.text("user", account->server().user());
        json.number("interval", account->check_interval());
        json.boolean("apop", account->secure_auth());
    }
}

bool parse_add(const Arguments& args, NewAccount& add, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--no-apop") {
            add.apop = false;
            continue;
        }
        if (arg == "--keep-existing") {
            add.keep_existing = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "kivo-diag accounts: " << arg << " needs a value\n";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--add")
            add.name = value;
        else if (arg == "--host")
            add.host = value;
        else if (arg == "--user")
            add.user = value;
        else if (arg == "--password")
            add.password = value;
        else if (arg == "--port" ? !parse_number(value, 1, 65535, add.port)
                 : arg == "--interval" ? !parse_number(value, 1, 24 * 3600, add.interval)
                                       : true) {
            err << "kivo-diag accounts: bad argument " << arg << " " << value << "\n";
            return false;
        }
    }
    if (add.name.empty() || add.host.empty() || add.user.empty()) {
        err << "kivo-diag accounts: --add needs a name, --host and --user\n";
        return false;
    }
    return true;
}

}  // namespace

int run_accounts(const Arguments& args, std::ostream& out, std::ostream& err)
{
    LoadedAccounts loaded = load_accounts(nullptr);
    for (auto& account : loaded.accounts)
        account->load_registry();
    if (!loaded.error_text.empty())
        err << "kivo-diag accounts: " << accounts_file_path() << ": " << loaded.error_text << "\n";
    if (args.empty()) {
        list(loaded.accounts, out);
        return loaded.error_text.empty() ? 0 : 1;
    }

    NewAccount add;
    if (!parse_add(args, add, err))
        return 2;
    // A broken file is not overwritten: the accounts after the broken
    // record would be lost.
    if (!loaded.error_text.empty())
        return 1;
    if (add.keep_existing && !loaded.accounts.empty()) {
        list(loaded.accounts, out);
        return 0;
    }

    // An account of the same name (ignoring case, as the registry does) is
    // updated in place, so a re-run does not make twins.
    Account* target = nullptr;
    for (auto& account : loaded.accounts)
        if (equal_ignoring_case(account->name(), add.name))
            target = account.get();
    if (!target) {
        loaded.accounts.push_back(std::make_unique<Account>(nullptr));
        target = loaded.accounts.back().get();
        target->set_name(add.name);
    }
    target->set_server(Url("pop3", add.user, add.password, add.host, "/"));
    target->set_port(static_cast<std::int32_t>(add.port));
    target->set_check_interval(static_cast<std::int32_t>(add.interval));
    target->set_secure_auth(add.apop);

    std::vector<const Account*> all;
    for (const auto& account : loaded.accounts)
        all.push_back(account.get());
    std::string error_text;
    if (!save_accounts(all, error_text)) {
        err << "kivo-diag accounts: cannot write " << accounts_file_path() << ": " << error_text << "\n";
        return 1;
    }
    // The APOP choice and the rest live in the account's registry values.
    target->save_registry();
    list(loaded.accounts, out);
    return 0;
}

}  // namespace kivo::diag
