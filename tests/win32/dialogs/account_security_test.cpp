// The secure-connection controls of the account dialog and the wizard's
// server page, driven as a user would, and what reaches the registry.
#include <doctest/doctest.h>

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "dialog_probe.h"
#include "dialog_script.h"
#include "dialogs/account_apply.h"
#include "dialogs/account_dialog.h"
#include "dialogs/account_wizard.h"
#include "dialogs/dialog_ids.h"
#include "engine/account.h"
#include "engine/account_file.h"
#include "engine/connection_manager.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"
#include "support/fake_modem.h"
#include "support/program_folder.h"
#include "wizard_probe.h"

using namespace kivo;
using kivo::test::DialogScript;
using kivo::test::item_enabled;
using kivo::test::item_text;
using kivo::test::type_text;
using Security = Account::Security;

namespace {

const std::string kSeen = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
const std::string kSeenShown = "0011223344556677 8899aabbccddeeff 0011223344556677 8899aabbccddeeff";

HWND dialog() { return kivo::test::find_dialog("Account Edit"); }

int selection(HWND d, int id) { return static_cast<int>(SendDlgItemMessageA(d, id, CB_GETCURSEL, 0, 0)); }

// As the drop-down tells its dialog when the user picks an entry.
void choose(HWND d, int id, int entry)
{
    SendDlgItemMessageA(d, id, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, id)));
}

// The ids the Tab key visits from `first`, once round.
std::vector<int> tab_order(HWND d, int first)
{
    std::vector<int> ids;
    HWND start = GetDlgItem(d, first);
    HWND at = start;
    do {
        ids.push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(d, at, FALSE);
    } while (at && at != start && ids.size() < 64);
    return ids;
}

std::size_t position(const std::vector<int>& ids, int id)
{
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return i;
    return ids.size();
}

// One stored account, disabled so that no thread runs in the test.
struct StoredAccount {
    test::TempProgramFolder folder;
    std::vector<TimedAccount*> timed;
    ConnectionManager manager{[this] { return timed; }, test::no_modem(), [] { return ConnectionType::lan; }};
    Account account{&manager};

    StoredAccount()
    {
        AccountSettings s;
        s.name = "Home";
        s.host = "pop.example.com";
        s.user = "bob";
        s.password = "secret";
        apply_settings(account, s);
        account.set_state(MSG_STATE_DISABLED);
        timed = {&account};
        account.save_registry();
        std::string error;
        REQUIRE(save_accounts({&account}, error));
    }
    void apply(const AccountSettings& settings)
    {
        std::string error;
        REQUIRE(apply_account_edit(manager, account, settings, {&account}, error));
    }
    static platform::RegKey key()
    {
        return platform::RegKey::open_read(platform::RegRoot::current_user, std::string(kAccountsKey) + "\\Home");
    }
    static std::uint32_t security_value()
    {
        std::uint32_t out = 0xFFFFFFFF;
        key().read_dword("Security", out);
        return out;
    }
    static std::string fingerprint_value()
    {
        std::string out = "(missing)";
        key().read_string("TrustedFingerprint", out);
        return out;
    }
    // What the next start of the program would load.
    static void load(Account& back)
    {
        back.set_name("Home");
        back.load_registry();
    }
};

}  // namespace

TEST_CASE("the account dialog's security choice suggests the port, trusts and forgets a certificate, and is stored")
{
    StoredAccount stored;
    const std::string dat_before = test::read_file(accounts_file_path());
    AccountSettings settings = settings_of(stored.account);
    dialogs::AccountDialogArgs args;
    args.module = GetModuleHandleA(nullptr);
    args.untrusted_fingerprint = "00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:"
                                 "CC:DD:EE:FF";  // as some tools print it
    std::vector<int> order;

    DialogScript script;
    script.then([&] {
        HWND d = dialog();
        REQUIRE(d);
        CHECK(selection(d, IDC_ACCOUNT_SECURITY) == 0);
        CHECK(item_text(d, IDC_ACCOUNT_PORT) == "110");
        CHECK(item_text(d, IDC_ACCOUNT_TRUSTED).empty());
        CHECK_FALSE(item_enabled(d, IDC_ACCOUNT_FORGET));
        CHECK(item_text(d, IDC_ACCOUNT_UNTRUSTED) == kSeenShown);
        CHECK(item_enabled(d, IDC_ACCOUNT_TRUST));
        order = tab_order(d, IDC_ACCOUNT_NAME);
        test::keep_shot(d, "account_edit_security");
    });
    script.then([&] {
        HWND d = dialog();
        // The usual ports follow the choice both ways...
        choose(d, IDC_ACCOUNT_SECURITY, 1);
        CHECK(item_text(d, IDC_ACCOUNT_PORT) == "995");
        choose(d, IDC_ACCOUNT_SECURITY, 2);
        CHECK(item_text(d, IDC_ACCOUNT_PORT) == "110");
        // ...a port of the user's own stays.
        type_text(d, IDC_ACCOUNT_PORT, "1995");
        choose(d, IDC_ACCOUNT_SECURITY, 1);
        CHECK(item_text(d, IDC_ACCOUNT_PORT) == "1995");
        type_text(d, IDC_ACCOUNT_PORT, "995");
        choose(d, IDC_ACCOUNT_SECURITY, 1);
        CHECK(item_text(d, IDC_ACCOUNT_PORT) == "995");
        CHECK(item_enabled(d, IDOK));
    });

    SUBCASE("Trust, OK: the choice and the fingerprint reach the registry, kivo.dat keeps its bytes")
    {
        script.then([&] {
            HWND d = dialog();
            SetFocus(GetDlgItem(d, IDC_ACCOUNT_TRUST));
            test::click(d, IDC_ACCOUNT_TRUST);
            CHECK(item_text(d, IDC_ACCOUNT_TRUSTED) == kSeenShown);
            CHECK(item_text(d, IDC_ACCOUNT_UNTRUSTED).empty());
            CHECK_FALSE(item_enabled(d, IDC_ACCOUNT_TRUST));
            CHECK(item_enabled(d, IDC_ACCOUNT_FORGET));
            // The focus did not stay on the button that went grey.
            CHECK(GetFocus() != GetDlgItem(d, IDC_ACCOUNT_TRUST));
            CHECK(IsWindowEnabled(GetFocus()));
            test::keep_shot(d, "account_edit_trusted");
            test::click(d, IDOK);
        });
        script.start();
        REQUIRE(dialogs::edit_account(args, settings));
        CHECK(settings.security == Security::tls);
        CHECK(settings.port == 995);
        CHECK(settings.trusted_fingerprint == kSeen);
        stored.apply(settings);
        CHECK(StoredAccount::security_value() == 1);
        CHECK(StoredAccount::fingerprint_value() == kSeen);
        CHECK(stored.account.security() == Security::tls);
        Account back;
        StoredAccount::load(back);
        CHECK(back.security() == Security::tls);
        CHECK(back.trusted_fingerprint() == kSeen);
        LoadedAccounts file = parse_accounts(test::read_file(accounts_file_path()), nullptr);
        REQUIRE(file.accounts.size() == 1);
        CHECK(file.accounts[0]->port() == 995);

        SUBCASE("opened again it shows what was stored; Forget and OK clear the fingerprint")
        {
            // The live account, as the main window opens it.
            AccountSettings again = settings_of(stored.account);
            dialogs::AccountDialogArgs plain;
            plain.module = GetModuleHandleA(nullptr);
            DialogScript second;
            second.then([&] {
                HWND d = dialog();
                REQUIRE(d);
                CHECK(selection(d, IDC_ACCOUNT_SECURITY) == 1);
                CHECK(item_text(d, IDC_ACCOUNT_PORT) == "995");
                CHECK(item_text(d, IDC_ACCOUNT_TRUSTED) == kSeenShown);
                CHECK_FALSE(item_enabled(d, IDC_ACCOUNT_TRUST));
                test::click(d, IDC_ACCOUNT_FORGET);
                CHECK(item_text(d, IDC_ACCOUNT_TRUSTED).empty());
                CHECK_FALSE(item_enabled(d, IDC_ACCOUNT_FORGET));
                test::click(d, IDOK);
            });
            second.start();
            REQUIRE(dialogs::edit_account(plain, again));
            CHECK(again.trusted_fingerprint.empty());
            CHECK(again.security == Security::tls);
            stored.apply(again);
            CHECK(StoredAccount::fingerprint_value().empty());
            Account reloaded;
            StoredAccount::load(reloaded);
            CHECK(reloaded.trusted_fingerprint().empty());
            CHECK(StoredAccount::security_value() == 1);
            CHECK_FALSE(second.step_failed());
        }
    }
    SUBCASE("Cancel writes nothing")
    {
        script.then([&] {
            HWND d = dialog();
            test::click(d, IDC_ACCOUNT_TRUST);
            test::click(d, IDCANCEL);
        });
        script.start();
        CHECK_FALSE(dialogs::edit_account(args, settings));
        CHECK(settings == settings_of(stored.account));
        CHECK(StoredAccount::security_value() == 0);
        CHECK(StoredAccount::fingerprint_value().empty());
        CHECK(test::read_file(accounts_file_path()) == dat_before);
    }
    CHECK(script.all_run());
    CHECK_FALSE(script.step_failed());

    // The new controls come after the old fields and before OK and Cancel
    // (the size controls are off, so Tab skips them).
    std::size_t choice = position(order, IDC_ACCOUNT_SECURITY);
    CHECK(position(order, IDC_ACCOUNT_NAME) == 0);
    CHECK(choice == position(order, IDC_ACCOUNT_CHECK_SIZE) + 1);
    CHECK(position(order, IDC_ACCOUNT_TRUSTED) == choice + 1);
    CHECK(position(order, IDC_ACCOUNT_FORGET) > choice);  // disabled buttons are skipped
    CHECK(position(order, IDC_ACCOUNT_TRUST) == position(order, IDC_ACCOUNT_UNTRUSTED) + 1);
    CHECK(position(order, IDOK) == position(order, IDC_ACCOUNT_TRUST) + 1);
}

TEST_CASE("an account dialog with nothing to trust offers neither button")
{
    AccountSettings settings;
    settings.name = "A";
    settings.host = "h";
    settings.user = "u";
    settings.password = "p";
    settings.security = Security::stls;
    settings.trusted_fingerprint = kSeenShown;  // as stored by hand, say
    dialogs::AccountDialogArgs args;
    args.module = GetModuleHandleA(nullptr);
    args.untrusted_fingerprint = kSeen;  // the one trusted already
    DialogScript script;
    script.then([&] {
        HWND d = dialog();
        REQUIRE(d);
        CHECK(selection(d, IDC_ACCOUNT_SECURITY) == 2);
        CHECK(item_text(d, IDC_ACCOUNT_UNTRUSTED).empty());
        CHECK_FALSE(item_enabled(d, IDC_ACCOUNT_TRUST));
        CHECK(item_enabled(d, IDC_ACCOUNT_FORGET));
        test::click(d, IDOK);
    });
    script.start();
    REQUIRE(dialogs::edit_account(args, settings));
    CHECK(settings.security == Security::stls);
    CHECK(settings.trusted_fingerprint == kSeenShown);  // untouched
    CHECK_FALSE(script.step_failed());
}

using namespace wizard_probe;

TEST_CASE("the wizard's server page asks for the security, last in its tab order, and TLS takes port 995")
{
    dialogs::AccountWizardArgs args;
    args.module = GetModuleHandleA(nullptr);
    std::vector<int> order;
    int shown = -1;

    DialogScript script;
    auto settle = [&] { script.then([] {}); };
    settle();
    script.then([&] {
        type_text(page(), IDC_ACCOUNT_NAME, "Secure");
        press(PSBTN_NEXT);
    });
    settle();
    settle();
    script.then([&] {
        HWND p = page();
        REQUIRE(GetDlgItem(p, IDC_ACCOUNT_SECURITY));
        shown = selection(p, IDC_ACCOUNT_SECURITY);
        type_text(p, IDC_ACCOUNT_HOST, "pop.example.com");
        order = tab_order(p, IDC_ACCOUNT_HOST);
    });

    // From the server page on: the login page filled, Finish, the wizard run.
    auto log_in_and_finish = [&] {
        settle();
        settle();
        script.then([&] {
            type_text(page(), IDC_ACCOUNT_USER, "bob");
            type_text(page(), IDC_ACCOUNT_PASSWORD, "secret");
        });
        settle();
        script.then([&] { press(PSBTN_FINISH); });
        script.start();
        return dialogs::run_account_wizard(args);
    };

    SUBCASE("TLS")
    {
        script.then([&] {
            choose(page(), IDC_ACCOUNT_SECURITY, 1);
            test::keep_shot(wizard(), "wizard_server");
            press(PSBTN_NEXT);
        });
        std::optional<AccountSettings> made = log_in_and_finish();
        REQUIRE(made);
        CHECK(made->security == Security::tls);
        CHECK(made->port == 995);
        CHECK(made->trusted_fingerprint.empty());
        Account account;
        apply_settings(account, *made);
        CHECK(account.security() == Security::tls);
    }
    SUBCASE("TLS, then Back and STLS: the usual port again")
    {
        script.then([&] {
            choose(page(), IDC_ACCOUNT_SECURITY, 1);
            press(PSBTN_NEXT);
        });
        settle();
        settle();
        script.then([&] { press(PSBTN_BACK); });
        settle();
        settle();
        script.then([&] {
            CHECK(selection(page(), IDC_ACCOUNT_SECURITY) == 1);
            choose(page(), IDC_ACCOUNT_SECURITY, 2);
            press(PSBTN_NEXT);
        });
        std::optional<AccountSettings> made = log_in_and_finish();
        REQUIRE(made);
        CHECK(made->security == Security::stls);
        CHECK(made->port == 110);
    }
    CHECK(script.all_run());
    CHECK_FALSE(script.step_failed());
    CHECK(shown == 0);  // a new account starts as before: plain POP3
    // The host first, the choice after it: a journey that types from the
    // first field meets the fields it knows.
    REQUIRE(order.size() >= 2);
    CHECK(order[0] == IDC_ACCOUNT_HOST);
    CHECK(order[1] == IDC_ACCOUNT_SECURITY);
}
