// A full session against a real POP3 server: Debian's Dovecot, started by
// tests/integration/dovecot.sh for the test run.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdio>
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
    std::uint16_t tls_port = 0;
    std::string ca;
    std::string maildir;
    bool absent = false;  // no Dovecot on this machine: the cases skip
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
        else if (line.rfind("tls_port=", 0) == 0)
            env.tls_port = static_cast<std::uint16_t>(std::stoi(line.substr(9)));
        else if (line.rfind("ca=", 0) == 0)
            env.ca = line.substr(3);
        else if (line.rfind("maildir=", 0) == 0)
            env.maildir = line.substr(8);
        else if (line.rfind("absent=", 0) == 0)
            env.absent = true;
    }
    if (env.absent) {
        // CTest reads this line and reports the test as skipped.
        std::printf("SKIP: no Dovecot for this run\n");
        return env;
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

// Deletes the message whose subject is " two" within the fetching stream.
class DeleteTwo : public kivo::CheckCycle {
public:
    bool should_delete_marked(Account&) override { return true; }
    bool must_delete(Account&, int, kivo::Message& message) override { return message.subject() == " two"; }
    void classify(Account&, kivo::Message&) override {}
    void carry_flags_over(Account&, MessageList&) override {}
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
    if (env.absent)
        return;
    std::string tag = std::to_string(std::rand() % 100000);
    drop_message(env, "one-" + tag, "one");
    drop_message(env, "two-" + tag, "two");
    drop_message(env, "three-" + tag, "three");

    // APOP login, LIST, TOP of every message; Dovecot offers PIPELINING.
    {
        Check c(env, true);
        MessageList out;
        REQUIRE(c.account.connect_to_server());
        REQUIRE(c.account.check_mail(out));
        CHECK(c.account.session_pipelined());
        CHECK(c.account.disconnect());
        CHECK(subjects(out) == std::set<std::string>{" one", " two", " three"});
        for (const auto& m : out)
            CHECK(m->body_text() == "first line of" + m->subject() + "\r\n.a line with a leading dot\r\nlast line\r\n");
        CHECK(c.account.last_error().empty());
        CHECK_FALSE(c.watchdog.fired);
    }

    // USER/PASS login, one command at a time: the same messages.
    MessageList one_by_one;
    {
        Check c(env, false);
        c.account.set_pipelining(false);
        REQUIRE(c.account.connect_to_server());
        REQUIRE(c.account.check_mail(one_by_one));
        CHECK_FALSE(c.account.session_pipelined());
        CHECK(c.account.disconnect());
        CHECK(subjects(one_by_one) == std::set<std::string>{" one", " two", " three"});
    }

    // Pipelined with a small window, the DELE of one message in the stream,
    // then QUIT.
    {
        Check c(env, false);
        DeleteTwo cycle;
        c.account.set_check_cycle(&cycle);
        c.account.set_pipeline_window(2);
        MessageList out;
        REQUIRE(c.account.connect_to_server());
        REQUIRE(c.account.check_mail(out));
        CHECK(c.account.session_pipelined());
        CHECK(c.account.disconnect());
        CHECK(subjects(out) == std::set<std::string>{" one", " three"});
        for (const auto& m : out)
            for (const auto& o : one_by_one)
                if (o->subject() == m->subject()) {
                    CHECK(o->header_text() == m->header_text());
                    CHECK(o->body_text() == m->body_text());
                    CHECK(o->key() == m->key());
                }
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

#ifndef _WIN32
// Natively the test CA is trusted through OpenSSL's SSL_CERT_FILE. Under
// Wine the prefix would need the CA in its root store first; kivo_diag_tls
// covers Schannel against the tests' own TLS server instead.
TEST_CASE("sessions over implicit TLS and STLS against Dovecot")
{
    DovecotEnv env = read_env();
    if (env.absent)
        return;
    REQUIRE(env.tls_port != 0);
    ::setenv("SSL_CERT_FILE", env.ca.c_str(), 1);
    std::string tag = std::to_string(std::rand() % 100000);
    drop_message(env, "tls-" + tag, "secure");

    for (Account::Security security : {Account::Security::tls, Account::Security::stls}) {
        CAPTURE(static_cast<int>(security));
        for (bool apop : {true, false}) {
            CAPTURE(apop);
            Check c(env, apop);
            c.account.set_security(security);
            if (security == Account::Security::tls) {
                c.account.set_port(env.tls_port);
                REQUIRE(c.account.lookup());
            }
            MessageList out;
            REQUIRE_MESSAGE(c.account.connect_to_server(), c.account.last_error());
            CHECK(c.account.session_secure());
            REQUIRE(c.account.check_mail(out));
            CHECK(c.account.disconnect());
            CHECK(subjects(out).count(" secure") == 1);
            CHECK(c.account.tls_peer().protocol.rfind("TLS 1.", 0) == 0);
            CHECK(c.account.last_error().empty());
            CHECK(c.account.untrusted_fingerprint().empty());
        }
    }
}

TEST_CASE("a certificate refused as not trusted is kept to be shown, and trusted only when the user says so")
{
    DovecotEnv env = read_env();
    if (env.absent)
        return;
    std::string no_roots = std::filesystem::path(env.ca).parent_path() / "no-roots.pem";
    std::ofstream(no_roots).close();
    ::setenv("SSL_CERT_FILE", no_roots.c_str(), 1);
    std::string seen;
    {
        Check c(env, false);
        c.account.set_security(Account::Security::tls);
        c.account.set_port(env.tls_port);
        REQUIRE(c.account.lookup());
        CHECK_FALSE(c.account.connect_to_server());
        CHECK(c.account.last_error() == "The server's certificate for 127.0.0.1 is not trusted.");
        seen = c.account.untrusted_fingerprint();
        CHECK(seen == c.account.tls_peer().fingerprint);
        CHECK(seen.size() == 64);
        // Seen is not trusted: the next check is refused the same way.
        CHECK_FALSE(c.account.connect_to_server());
        CHECK(c.account.untrusted_fingerprint() == seen);
    }
    {
        // Trusted (the account dialog's "Trust"), over STLS on the plain port.
        Check c(env, false);
        c.account.set_security(Account::Security::stls);
        c.account.set_trusted_fingerprint(seen);
        MessageList out;
        REQUIRE_MESSAGE(c.account.connect_to_server(), c.account.last_error());
        CHECK(c.account.session_secure());
        CHECK(c.account.untrusted_fingerprint().empty());
        CHECK(c.account.disconnect());
    }
    ::setenv("SSL_CERT_FILE", env.ca.c_str(), 1);
}
#endif
