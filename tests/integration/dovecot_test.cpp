// A full session against a real POP3 server: Debian's Dovecot, started by
// tests/integration/dovecot.sh for the test run.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "engine/account.h"
#include "message/message.h"
#include "support/session_watchdog.h"

using kivo::Account;
using kivo::MessageList;

namespace {

struct DovecotEnv {
    std::uint16_t port = 0;
    std::string maildir;
};

DovecotEnv read_env()
{
    const char* file = std::getenv("KIVO_DOVECOT_ENV");
    REQUIRE_MESSAGE(file, "KIVO_DOVECOT_ENV is not set (run the test through ctest)");
    std::ifstream in(file);
    DovecotEnv env;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("port=", 0) == 0)
            env.port = static_cast<std::uint16_t>(std::stoi(line.substr(5)));
        else if (line.rfind("maildir=", 0) == 0)
            env.maildir = line.substr(8);
    }
#ifdef _WIN32
    env.maildir = "Z:" + env.maildir;  // Wine shows the Linux root as drive Z:
#endif
    REQUIRE(env.port != 0);
    return env;
}

void drop_message(const DovecotEnv& env, const std::string& name, const std::string& subject)
{
    std::ofstream out(env.maildir + "/new/" + name, std::ios::binary);
    out << "From: Tester <tester@example.com>\r\nTo: kivo@example.com\r\nSubject: " << subject
        << "\r\nMessage-ID: <" << name << "@example.com>\r\n\r\nfirst line of " << subject
        << "\r\n.a line with a leading dot\r\nlast line\r\n";
}

struct Check {
    explicit Check(const DovecotEnv& env, bool apop, const std::string& password = "kivo-secret") : account(&watchdog)
    {
        account.set_name("dovecot");
        account.set_server(kivo::Url("pop3", "kivo", password, "127.0.0.1", "/"));
        account.set_port(env.port);
        account.set_secure_auth(apop);
        watchdog.guard(account);
        REQUIRE(account.lookup());
    }
    kivo::platform::NetworkStartup net;
    kivo::test::Watchdog watchdog;
    Account account;
};

std::set<std::string> subjects(const MessageList& list)
{
    std::set<std::string> out;
    for (const auto& m : list)
        out.insert(m->subject());
    return out;
}

}  // namespace

TEST_CASE("a full session against Dovecot")
{
    DovecotEnv env = read_env();
    std::string tag = std::to_string(std::rand() % 100000);
    drop_message(env, "one-" + tag, "one");
    drop_message(env, "two-" + tag, "two");
    drop_message(env, "three-" + tag, "three");

    // APOP login, LIST, TOP of every message.
    {
        Check c(env, true);
        MessageList out;
        REQUIRE(c.account.connect_to_server());
        REQUIRE(c.account.check_mail(out));
        CHECK(c.account.disconnect());
        CHECK(subjects(out) == std::set<std::string>{" one", " two", " three"});
        for (const auto& m : out)
            CHECK(m->body_text() == "first line of" + m->subject() + "\r\n.a line with a leading dot\r\nlast line\r\n");
        CHECK(c.account.last_error().empty());
        CHECK_FALSE(c.watchdog.fired);
    }

    // USER/PASS login, LIST and TOP, then DELE of one message and QUIT.
    {
        Check c(env, false);
        MessageList out;
        REQUIRE(c.account.connect_to_server());
        REQUIRE(c.account.check_mail(out));
        REQUIRE(out.size() == 3);
        int number = 0;
        for (std::size_t i = 0; i < out.size(); ++i)
            if (out[i]->subject() == " two")
                number = static_cast<int>(i) + 1;  // LIST order numbers 1..n here
        REQUIRE(number != 0);
        CHECK(c.account.delete_message(number));
        CHECK(c.account.disconnect());
    }

    // A wrong password: both logins refused with the server's text; the
    // next good login is not slowed down.
    {
        Check c(env, true, "wrong");
        CHECK_FALSE(c.account.connect_to_server());
        CHECK(c.account.last_error().rfind("-ERR", 0) == 0);
        CHECK_FALSE(c.account.socket_open());
    }

    // The deleted message is gone; clear the rest for the next run.
    {
        Check c(env, true);
        MessageList out;
        REQUIRE(c.account.connect_to_server());
        REQUIRE(c.account.check_mail(out));
        CHECK(subjects(out) == std::set<std::string>{" one", " three"});
        for (std::size_t i = 0; i < out.size(); ++i)
            CHECK(c.account.delete_message(static_cast<int>(i) + 1));
        CHECK(c.account.disconnect());
        CHECK_FALSE(c.watchdog.fired);
    }
}
