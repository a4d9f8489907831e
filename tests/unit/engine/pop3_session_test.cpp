// The POP3 session against the fake server, over loopback, in both builds.
#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>

#include "engine/account.h"
#include "log/log.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "support/fake_pop3.h"
#include "support/session_watchdog.h"

using kivo::Account;
using kivo::MessageList;
using kivo::test::FakePop3;
using kivo::test::Watchdog;
using Commands = std::vector<std::string>;

namespace {

const char* const kMessage1 =
    "From: Ann <ann@example.com>\r\nSubject: first\r\nMessage-ID: <1@x>\r\n\r\nline one\r\n.dot line\r\nlast line\r\n";
const char* const kMessage2 = "From: Bob <bob@example.com>\r\nSubject: second\r\n\r\nbody\r\n";
const char* const kMessage3 = "From: Cy <cy@example.com>\r\nSubject: third\r\n\r\nbody\r\n";

struct Session {
    explicit Session(bool apop = true, const std::string& password = "secret", const std::string& user = "bob")
        : account(&watchdog)
    {
        server.add_user("bob", "secret");
        server.set_apop(apop);
        account.set_name("test");
        account.set_server(kivo::Url("pop3", user, password, "127.0.0.1", "/"));
        watchdog.guard(account);
    }
    void start()
    {
        account.set_port(server.start());
        REQUIRE(account.lookup());
    }
    bool login_and_check(MessageList& out) { return account.connect_to_server() && account.check_mail(out); }

    kivo::platform::NetworkStartup net;
    FakePop3 server;
    Watchdog watchdog;
    Account account;
};

bool log_has(const std::string& text)
{
    for (const std::string& line : kivo::app_log().recent_lines())
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

}  // namespace

TEST_CASE("a check logs in with APOP, lists, and fetches every message with TOP n 99")
{
    Session s;
    s.server.add_message(kMessage1);
    s.server.add_message(kMessage2);
    s.server.add_message(kMessage3);
    s.start();

    MessageList out;
    REQUIRE(s.login_and_check(out));
    s.account.disconnect();

    Commands commands = s.server.commands();
    REQUIRE(commands.size() == 8);
    CHECK(commands[1].rfind("APOP bob ", 0) == 0);
    CHECK(commands[1].size() == 9 + 32);
    CHECK(Commands(commands.begin() + 2, commands.end()) ==
          Commands{"CAPA", "LIST", "TOP 1 99", "TOP 2 99", "TOP 3 99", "QUIT"});
    CHECK(s.account.session_pipelined());
    REQUIRE(out.size() == 3);
    CHECK(out[1]->subject() == " second");
    CHECK(out[0]->size() == static_cast<std::int32_t>(std::string(kMessage1).size()));
    // Every preview line reaches the message, the last one too, un-stuffed.
    CHECK(out[0]->body_text() == "line one\r\n.dot line\r\nlast line\r\n");
    CHECK(s.account.last_error().empty());
    CHECK_FALSE(s.account.socket_open());
    CHECK(s.watchdog.rearms > 10);
    CHECK_FALSE(s.watchdog.fired);
}

TEST_CASE("logging in")
{
    SUBCASE("a greeting without a timestamp falls back to USER/PASS on a fresh connection")
    {
        Session s(false);
        s.start();
        REQUIRE(s.account.connect_to_server());
        s.account.disconnect();
        CHECK(s.server.commands() == Commands{"<connect>", "<connect>", "USER bob", "PASS secret", "QUIT"});
    }
    SUBCASE("a wrong password: QUIT after each refusal, the server's last text kept")
    {
        Session s(true, "wrong");
        s.start();
        CHECK_FALSE(s.account.connect_to_server());
        Commands commands = s.server.commands();
        REQUIRE(commands.size() == 7);
        CHECK(commands[0] == "<connect>");
        CHECK(commands[1].rfind("APOP bob ", 0) == 0);
        CHECK(Commands(commands.begin() + 2, commands.end()) ==
              Commands{"QUIT", "<connect>", "USER bob", "PASS wrong", "QUIT"});
        CHECK(s.account.last_error() == "-ERR [AUTH] Authentication failed.");
        CHECK_FALSE(s.account.socket_open());
    }
    SUBCASE("PASS is masked in the log, and sent unchanged")
    {
        Session s(false, "pa55-word");
        s.server.add_user("bob", "pa55-word");
        s.start();
        REQUIRE(s.account.connect_to_server());
        s.account.disconnect();
        CHECK(log_has("Request for server 127.0.0.1: PASS"));
        CHECK_FALSE(log_has("pa55-word"));
        CHECK(s.server.commands()[3] == "PASS pa55-word");
    }
    SUBCASE("a line break in the user name is refused, not sent as a second command")
    {
        Session s(false, "secret", "bob\r\nDELE 1");
        s.server.add_message(kMessage1);
        s.start();
        CHECK_FALSE(s.account.connect_to_server());
        CHECK(s.account.last_error() == kivo::platform::message_text(kivo::MSG_LINE_BREAK_IN_REQUEST));
        for (const std::string& c : s.server.commands())
            CHECK(c.find("DELE") == std::string::npos);
        CHECK_FALSE(s.account.socket_open());
    }
}

TEST_CASE("mailbox contents")
{
    SUBCASE("an empty mailbox sends no TOP and gives an empty list")
    {
        Session s;
        s.start();
        MessageList out;
        REQUIRE(s.login_and_check(out));
        CHECK(out.empty());
        CHECK(s.server.commands().back() == "LIST");
    }
    SUBCASE("a refused TOP leaves that message out at once; the check goes on")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_message(kMessage2);
        s.server.add_message(kMessage3);
        s.server.add_fault("TOP 2:err");
        s.start();
        MessageList out;
        REQUIRE(s.login_and_check(out));
        REQUIRE(out.size() == 2);
        CHECK(out[1]->subject() == " third");
        CHECK(s.account.last_error() == "-ERR fault injected for TOP");
        CHECK_FALSE(s.watchdog.fired);
    }
    SUBCASE("a refused LIST fails the check at once")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_fault("LIST:err");
        s.start();
        MessageList out;
        CHECK_FALSE(s.login_and_check(out));
        CHECK(s.account.last_error() == "-ERR fault injected for LIST");
        CHECK_FALSE(s.watchdog.fired);
    }
    SUBCASE("DELE takes effect at QUIT")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_message(kMessage2);
        s.start();
        REQUIRE(s.account.connect_to_server());
        CHECK(s.account.delete_message(2));
        CHECK_FALSE(s.account.delete_message(7));
        CHECK(s.server.message_count() == 2);
        CHECK(s.account.disconnect());
        CHECK(s.server.message_count() == 1);
    }
}

TEST_CASE("replies that arrive in pieces or are large are assembled whole")
{
    SUBCASE("1-byte pieces")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_fault("GREETING:split");
        s.server.add_fault("LIST:split");
        s.server.add_fault("TOP 1:split");
        s.start();
        MessageList out;
        REQUIRE(s.login_and_check(out));
        REQUIRE(out.size() == 1);
        CHECK(out[0]->body_text() == "line one\r\n.dot line\r\nlast line\r\n");
    }
    SUBCASE("larger than 8192 bytes: the buffer grows by 1024 and stays grown")
    {
        Session s;
        std::string big = "Subject: big\r\n\r\n";
        for (int i = 0; i < 200; ++i)
            big += std::string(100, static_cast<char>('a' + i % 26)) + "\r\n";
        s.server.add_message(big);
        s.server.add_message(kMessage2);
        s.start();
        CHECK(s.account.receive_buffer_capacity() == 8192);
        MessageList out;
        REQUIRE(s.login_and_check(out));
        REQUIRE(out.size() == 2);
        CHECK(out[0]->body_text().size() == 99 * 102);
        std::size_t capacity = s.account.receive_buffer_capacity();
        CHECK(capacity > 8192);
        CHECK((capacity - 8192) % 1024 == 0);
        CHECK(s.account.receive_buffer_capacity() == capacity);  // the small TOP after it did not shrink it
    }
    SUBCASE("larger than 1 MB")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_fault("TOP 1:huge");
        s.start();
        MessageList out;
        REQUIRE(s.login_and_check(out));
        REQUIRE(out.size() == 1);
        CHECK(out[0]->body_text().size() > (1u << 20));
        CHECK(s.account.receive_buffer_capacity() > (1u << 20));
    }
}

TEST_CASE("a connection that breaks")
{
    SUBCASE("the server closes after half a reply: the half reply is the error")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_fault("LIST:close-mid");
        s.start();
        MessageList out;
        CHECK_FALSE(s.login_and_check(out));
        std::string size = std::to_string(std::string(kMessage1).size());
        std::string list = "+OK 1 " + size + " messages\r\n1 " + size + "\r\n.\r\n";
        CHECK(s.account.last_error() == list.substr(0, list.size() / 2));
        CHECK_FALSE(s.account.socket_open());
    }
    SUBCASE("a TOP cut off fails the whole check instead of a short list")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_message(kMessage2);
        s.server.add_fault("TOP 1:close-mid");
        s.start();
        MessageList out;
        CHECK_FALSE(s.login_and_check(out));
        CHECK(s.server.commands().back() == "TOP 1 99");
    }
    SUBCASE("the stop event ends a waiting read at once, with the socket closed")
    {
        Session s;
        s.server.add_message(kMessage1);
        s.server.add_fault("TOP 1:silence");
        s.start();
        REQUIRE(s.account.connect_to_server());
        std::atomic<bool> result{true};
        kivo::platform::Thread checker;
        MessageList out;
        checker.start([&] { result = s.account.check_mail(out); });
        REQUIRE(s.server.wait_for_command("TOP 1 99"));
        CHECK(checker.running());
        s.account.stop_event().set();
        REQUIRE(checker.join(5000));
        CHECK_FALSE(result);
        CHECK_FALSE(s.account.socket_open());
        CHECK(s.account.last_error().empty());
        CHECK(out.empty());
        CHECK_FALSE(s.watchdog.fired);
    }
    SUBCASE("nothing listens on the port: a network error with the place")
    {
        Session s;
        s.start();
        s.account.set_port(1);  // reserved, never served on loopback
        REQUIRE(s.account.lookup());
        CHECK_FALSE(s.account.connect_to_server());
        CHECK(s.account.last_error().rfind(kivo::platform::message_text(kivo::MSG_NETWORK_ERROR, {""}), 0) == 0);
        CHECK(s.account.last_error().find("account_pop3.cpp, ") != std::string::npos);
    }
}

namespace {

// Records what check_mail asks of the checking cycle.
class FakeCycle : public kivo::CheckCycle {
public:
    bool should_delete_marked(Account&) override { return delete_marked; }
    bool must_delete(Account&, int number, kivo::Message&) override
    {
        asked.push_back(number);
        return number == 2;
    }
    void classify(Account&, kivo::Message& message) override { classified.push_back(message.subject()); }
    void carry_flags_over(Account&, MessageList& fresh) override { carried = fresh.size(); }

    bool delete_marked = true;
    std::vector<int> asked;
    std::vector<std::string> classified;
    std::size_t carried = 99;
};

}  // namespace

TEST_CASE("check_mail consults the checking cycle and the filters")
{
    Session s;
    s.server.add_message(kMessage1);
    s.server.add_message(kMessage2);
    s.server.add_message(kMessage3);
    FakeCycle cycle;
    s.account.set_check_cycle(&cycle);

    SUBCASE("marked messages are deleted when the cycle says so; the others are classified")
    {
        s.start();
        MessageList out;
        REQUIRE(s.login_and_check(out));
        CHECK(cycle.asked == std::vector<int>{1, 2, 3});
        CHECK(cycle.classified == std::vector<std::string>{" first", " third"});
        CHECK(cycle.carried == 2);
        s.account.disconnect();
        CHECK(s.server.message_count() == 2);
    }
    SUBCASE("no deletions asked: every message is classified")
    {
        cycle.delete_marked = false;
        s.start();
        MessageList out;
        REQUIRE(s.login_and_check(out));
        CHECK(cycle.asked.empty());
        CHECK(cycle.classified.size() == 3);
    }
}

TEST_CASE("set_error keeps the first error of a session, cut to 255 characters")
{
    Account account;
    account.set_error(kivo::MSG_NETWORK_ERROR, 10061, "account_pop3.cpp", 42);
    CHECK(account.last_error() ==
          kivo::platform::message_text(kivo::MSG_NETWORK_ERROR, {"10061"}) + " account_pop3.cpp, 42");
    account.set_error(kivo::MSG_CONNECTION_CLOSED, 0, nullptr, -1);
    CHECK(account.last_error().find("account_pop3.cpp, 42") != std::string::npos);

    account.clear_last_error();
    account.set_error(kivo::MSG_CONNECTION_CLOSED, 0, nullptr, -1);
    CHECK(account.last_error() == kivo::platform::message_text(kivo::MSG_CONNECTION_CLOSED));

    account.clear_last_error();
    account.set_error(kivo::MSG_NETWORK_ERROR, 1, std::string(300, 'f').c_str(), 7);
    CHECK(account.last_error().size() == 255);
}

TEST_CASE("a request on a closed session fails with Unexpected Error")
{
    Account account;
    CHECK_FALSE(account.send_request("NOOP"));
    CHECK(account.last_error() == kivo::platform::message_text(kivo::MSG_UNEXPECTED_ERROR));
}

TEST_CASE("a port outside 1..65535 is refused, not cut to another port")
{
    for (int port : {0, -1, 65536, 65535 + 110}) {
        Account account;
        account.set_name("ports");
        account.set_server(kivo::Url("pop3", "bob", "secret", "127.0.0.1", "/"));
        account.set_port(port);
        CHECK_FALSE(account.lookup());
        CHECK(account.last_error() == "The port number " + std::to_string(port) + " is not between 1 and 65535.");
    }
}
