// Accounts that ask for TLS or STLS, against the plain fake server: the
// session must end before any login command, with its own words. The
// handshakes that succeed run in kivo_diag_tls against a real TLS server.
#include <doctest/doctest.h>

#include <algorithm>

#include "engine/account.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"
#include "support/fake_pop3.h"
#include "support/session_watchdog.h"

using kivo::Account;
using kivo::MessageList;
using kivo::test::FakePop3;
using kivo::test::Watchdog;
using Commands = std::vector<std::string>;

namespace {

struct SecureSession {
    explicit SecureSession(Account::Security security) : account(&watchdog)
    {
        server.add_user("bob", "secret");
        server.add_message("From: a@b\r\nSubject: s\r\n\r\nbody\r\n");
        account.set_name("tls");
        account.set_server(kivo::Url("pop3", "bob", "secret", "127.0.0.1", "/"));
        account.set_security(security);
        account.set_timeout(10);
        watchdog.guard(account);
    }
    void start()
    {
        account.set_port(server.start());
        REQUIRE(account.lookup());
    }
    // No command of the login may have reached the server.
    void check_no_login()
    {
        for (const std::string& c : server.commands()) {
            CHECK(c.rfind("USER", 0) != 0);
            CHECK(c.rfind("PASS", 0) != 0);
            CHECK(c.rfind("APOP", 0) != 0);
            CHECK(c.find("secret") == std::string::npos);
        }
    }

    kivo::platform::NetworkStartup net;
    FakePop3 server;
    Watchdog watchdog;
    Account account;
};

}  // namespace

TEST_CASE("STLS that the server does not offer ends the session before the login")
{
    for (const char* capa : {"plain", "pipelining", "off"}) {
        CAPTURE(capa);
        for (bool apop : {true, false}) {
            CAPTURE(apop);
            SecureSession s(Account::Security::stls);
            s.server.set_capa(capa);
            s.server.set_apop(true);
            s.account.set_secure_auth(apop);
            s.start();
            MessageList out;
            CHECK_FALSE(s.account.connect_to_server());
            CHECK(s.account.last_error() == kivo::platform::message_text(kivo::MSG_STLS_NOT_OFFERED));
            CHECK_FALSE(s.account.socket_open());
            s.check_no_login();
            // One connection only: a refused upgrade is not tried again in clear.
            Commands commands = s.server.commands();
            CHECK(std::count(commands.begin(), commands.end(), "CAPA") == 1);
        }
    }
}

TEST_CASE("each scripted STLS fault ends the session with its own words, before any login")
{
    using kivo::platform::message_text;
    struct Fault {
        const char* mode;
        std::vector<std::string> texts;  // the handshake's words depend on the TLS library
    };
    const Fault faults[] = {
        {"refuse", {message_text(kivo::MSG_STLS_REFUSED)}},
        {"drop", {message_text(kivo::MSG_STLS_CLOSED)}},
        {"strip", {message_text(kivo::MSG_STLS_NOT_OFFERED)}},
        {"inject", {message_text(kivo::MSG_TLS_HANDSHAKE_FAILED)}},
        {"on", {message_text(kivo::MSG_TLS_HANDSHAKE_CLOSED), message_text(kivo::MSG_TLS_HANDSHAKE_FAILED)}},
    };
    for (const Fault& fault : faults) {
        CAPTURE(fault.mode);
        for (bool apop : {true, false}) {
            CAPTURE(apop);
            SecureSession s(Account::Security::stls);
            s.server.set_stls(fault.mode);
            s.account.set_secure_auth(apop);
            s.start();
            CHECK_FALSE(s.account.connect_to_server());
            std::string error = s.account.last_error();
            CAPTURE(error);
            CHECK(std::find(fault.texts.begin(), fault.texts.end(), error) != fault.texts.end());
            CHECK_FALSE(s.account.socket_open());
            CHECK_FALSE(s.account.session_secure());
            CHECK(s.account.untrusted_fingerprint().empty());  // no certificate was ever seen
            s.check_no_login();
            Commands commands = s.server.commands();
            // Stripped from CAPA: the client never asks, though the server would say yes.
            bool asked = std::find(commands.begin(), commands.end(), "STLS") != commands.end();
            CHECK(asked == (std::string(fault.mode) != "strip"));
            // Nothing but the upgrade was tried; at most the fresh connection
            // of the APOP fallback, and that one asks for STLS again.
            for (const std::string& c : commands)
                CHECK((c == "<connect>" || c == "CAPA" || c == "STLS"));
            CHECK(std::count(commands.begin(), commands.end(), "<connect>") <= (apop ? 2 : 1));
        }
    }
}

TEST_CASE("implicit TLS against a server that speaks plain POP3 fails without a login")
{
    SecureSession s(Account::Security::tls);
    s.start();
    CHECK_FALSE(s.account.connect_to_server());
    std::string error = s.account.last_error();
    CAPTURE(error);
    CHECK((error == kivo::platform::message_text(kivo::MSG_TLS_HANDSHAKE_FAILED) ||
           error == kivo::platform::message_text(kivo::MSG_TLS_HANDSHAKE_CLOSED)));
    CHECK_FALSE(s.account.session_secure());
    s.check_no_login();
}

TEST_CASE("the security choice and the trusted fingerprint are registry values")
{
    using kivo::platform::RegKey;
    using kivo::platform::RegRoot;
    const std::string path = std::string(kivo::kAccountsKey) + "\\Secure";

    SUBCASE("round trip")
    {
        Account account;
        account.set_name("Secure");
        account.set_security(Account::Security::stls);
        account.set_trusted_fingerprint("ab12");
        account.save_registry();
        Account loaded;
        loaded.set_name("Secure");
        loaded.load_registry();
        CHECK(loaded.security() == Account::Security::stls);
        CHECK(loaded.trusted_fingerprint() == "ab12");
        loaded.delete_registry();
    }
    SUBCASE("an account saved before the values existed keeps plain POP3")
    {
        RegKey key = RegKey::open_or_create(RegRoot::current_user, path);
        key.write_dword("Pipelining", 1);
        Account loaded;
        loaded.set_name("Secure");
        loaded.load_registry();
        CHECK(loaded.security() == Account::Security::none);
        CHECK(loaded.trusted_fingerprint().empty());
        loaded.delete_registry();
    }
    SUBCASE("a choice this version does not know never means less than TLS")
    {
        RegKey key = RegKey::open_or_create(RegRoot::current_user, path);
        key.write_dword("Security", 7);
        Account loaded;
        loaded.set_name("Secure");
        loaded.load_registry();
        CHECK(loaded.security() == Account::Security::tls);
        loaded.delete_registry();
    }
}
