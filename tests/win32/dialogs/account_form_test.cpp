#include <doctest/doctest.h>

#include <string>

#include "dialogs/account_form.h"
#include "message_ids.h"
#include "platform/tls.h"

using namespace kivo;

namespace {

AccountFormTexts good_texts()
{
    AccountFormTexts t;
    t.name = "Work";
    t.host = "pop.example.com";
    t.user = "bob";
    t.password = "secret";
    t.port = "110";
    t.interval = "300";
    t.timeout = "60";
    t.preview_lines = "0";
    t.mailbox_kb = "0";
    return t;
}

}  // namespace

TEST_CASE("numbers are read whole and never wrap")
{
    CHECK(parse_whole_number("65535", 65535) == 65535);
    CHECK(parse_whole_number(" 42 ", 100) == 42);
    CHECK_FALSE(parse_whole_number("70000", 65535));
    CHECK_FALSE(parse_whole_number("12a", 1000));
    CHECK_FALSE(parse_whole_number("-1", 1000));
    CHECK_FALSE(parse_whole_number("", 1000));
    // Far past 64 bits: refused, not wrapped round to a small number.
    CHECK_FALSE(parse_whole_number("99999999999999999999999999", kMailboxKbLimit));
    CHECK(parse_whole_number("2097151", kMailboxKbLimit) == 2097151);
    CHECK_FALSE(parse_whole_number("2097152", kMailboxKbLimit));
}

TEST_CASE("names that the registry key or the stored address could not carry are refused")
{
    std::vector<std::string> others{"Home", "Spare"};
    CHECK(name_problem("Work", others) == 0);
    CHECK(name_problem("a\\b", others) == MSG_ACCOUNT_NAME_BACKSLASH);
    CHECK(name_problem("hOmE", others) == MSG_ACCOUNT_NAME_TAKEN);
    CHECK(name_problem(std::string(255, 'n'), others) == 0);
    CHECK(name_problem(std::string(256, 'n'), others) == MSG_ACCOUNT_NAME_TOO_LONG);
    CHECK(name_problem("tab\there", others) == MSG_ACCOUNT_NAME_CONTROL);
    CHECK(user_problem("bob:x") == MSG_ACCOUNT_USER_COLON);
    CHECK(user_problem("bob@example.com") == 0);  // the address is split at the last '@'
    for (const char* host : {"a:110", "a/b", "x@y"})
        CHECK(host_problem(host) == MSG_ACCOUNT_HOST_CHARS);
    CHECK(host_problem("pop.example.com") == 0);
}

TEST_CASE("the verdict on the typed form")
{
    std::vector<std::string> others{"Home"};
    SUBCASE("a complete form may be accepted")
    {
        AccountFormVerdict v = judge(good_texts(), others);
        CHECK(v.ok_enabled);
        CHECK(v.problem == 0);
        CHECK_FALSE(v.test_enabled);
    }
    SUBCASE("each required field left empty disables OK without a complaint")
    {
        for (std::string AccountFormTexts::*field :
             {&AccountFormTexts::name, &AccountFormTexts::host, &AccountFormTexts::user, &AccountFormTexts::password,
              &AccountFormTexts::port, &AccountFormTexts::interval, &AccountFormTexts::timeout,
              &AccountFormTexts::preview_lines}) {
            AccountFormTexts t = good_texts();
            t.*field = "";
            AccountFormVerdict v = judge(t, others);
            CHECK_FALSE(v.ok_enabled);
            CHECK(v.problem == 0);
        }
    }
    SUBCASE("out of range numbers name their field")
    {
        struct Case {
            std::string AccountFormTexts::*field;
            const char* text;
            std::uint32_t problem;
        } cases[] = {{&AccountFormTexts::port, "0", MSG_ACCOUNT_PORT_RANGE},
                     {&AccountFormTexts::port, "70000", MSG_ACCOUNT_PORT_RANGE},
                     {&AccountFormTexts::interval, "0", MSG_ACCOUNT_INTERVAL_RANGE},
                     {&AccountFormTexts::timeout, "0", MSG_ACCOUNT_TIMEOUT_RANGE},
                     {&AccountFormTexts::timeout, "4294967297", MSG_ACCOUNT_TIMEOUT_RANGE},
                     {&AccountFormTexts::preview_lines, "x", MSG_ACCOUNT_LINES_RANGE}};
        for (const Case& c : cases) {
            AccountFormTexts t = good_texts();
            t.*c.field = c.text;
            AccountFormVerdict v = judge(t, others);
            CHECK_FALSE(v.ok_enabled);
            CHECK(v.problem == c.problem);
        }
    }
    SUBCASE("the size check needs a file and a bound in range")
    {
        AccountFormTexts t = good_texts();
        t.check_mailbox_size = true;
        t.mailbox_kb = "1500";
        CHECK_FALSE(judge(t, others).ok_enabled);
        CHECK_FALSE(judge(t, others).test_enabled);
        t.launch_file = "C:\\clean.bat";
        CHECK(judge(t, others).ok_enabled);
        CHECK(judge(t, others).test_enabled);
        t.mailbox_kb = "2097152";  // * 1024 would wrap a 32-bit bound
        CHECK(judge(t, others).problem == MSG_ACCOUNT_KB_RANGE);
        t.mailbox_kb = "";  // would otherwise mean "any mailbox"
        CHECK_FALSE(judge(t, others).ok_enabled);
    }
}

TEST_CASE("reading the form back")
{
    AccountSettings base;
    base.sound_file = "C:\\ding.wav";
    base.deletion_mode = MSG_DELETION_NEVER;
    AccountFormTexts t = good_texts();
    t.check_mailbox_size = true;
    t.mailbox_kb = "1500";
    t.launch_file = "C:\\clean.bat";
    std::optional<AccountSettings> s = read_form(t, {}, base);
    REQUIRE(s);
    CHECK(s->mailbox_bound == 1536000);
    CHECK(s->launch_file == "C:\\clean.bat");
    CHECK(s->sound_file == "C:\\ding.wav");  // kept from the account
    CHECK(s->deletion_mode == MSG_DELETION_NEVER);
    CHECK(s->timeout == 60);

    t.mailbox_kb = "2097151";
    CHECK(read_form(t, {}, base)->mailbox_bound == 2097151 * 1024);

    t.check_mailbox_size = false;  // unchecked: file and bound are cleared
    s = read_form(t, {}, base);
    REQUIRE(s);
    CHECK(s->launch_file.empty());
    CHECK(s->mailbox_bound == 0);

    t.port = "70000";
    CHECK_FALSE(read_form(t, {}, base));

    AccountSettings shown;
    shown.mailbox_bound = 1536000 + 1023;  // whole KB, rounded down
    CHECK(form_of(shown).mailbox_kb == "1500");
}

TEST_CASE("the port follows the security choice only while it is the usual one")
{
    using S = Account::Security;
    CHECK(port_for_security("110", S::tls) == "995");
    CHECK(port_for_security(" 110 ", S::tls) == "995");
    CHECK(port_for_security("995", S::none) == "110");
    CHECK(port_for_security("995", S::stls) == "110");
    // Already right, or the user's own: kept as typed.
    CHECK(port_for_security("995", S::tls) == "995");
    CHECK(port_for_security("110", S::stls) == "110");
    CHECK(port_for_security("1100", S::tls) == "1100");
    CHECK(port_for_security("0995", S::none) == "0995");
    CHECK(port_for_security("", S::tls).empty());
}

TEST_CASE("the security choice and the trusted certificate travel between the account and the form")
{
    const std::string hex = "ab" + std::string(62, '0');
    Account account;
    AccountSettings s = settings_of(account);
    CHECK(s.security == Account::Security::none);
    CHECK(s.trusted_fingerprint.empty());
    s.name = "Work";
    s.host = "pop.example.com";
    s.user = "bob";
    s.password = "secret";
    s.security = Account::Security::stls;
    s.trusted_fingerprint = hex;
    apply_settings(account, s);
    CHECK(account.security() == Account::Security::stls);
    CHECK(account.trusted_fingerprint() == hex);
    CHECK(settings_of(account) == s);
    // A plain edit of the other fields keeps them (read_form works on a base).
    std::optional<AccountSettings> read = read_form(form_of(s), {}, s);
    REQUIRE(read);
    CHECK(read->security == Account::Security::stls);
    CHECK(read->trusted_fingerprint == hex);

    // Shown in four groups that read back as the same fingerprint.
    std::string shown = grouped_fingerprint(hex);
    CHECK(shown.size() == 64 + 3);
    CHECK(shown[16] == ' ');
    CHECK(platform::normalise_fingerprint(shown) == hex);
    CHECK(grouped_fingerprint("").empty());
}
