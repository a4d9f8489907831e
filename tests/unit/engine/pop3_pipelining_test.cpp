// Pipelined TOP and DELE against the fake server, in both builds: the same
// result as one command at a time, and every session rule kept in the stream.
#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <chrono>

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

std::string mail(int n, const std::string& body = "body\r\n")
{
    return "From: Sender " + std::to_string(n) + " <s" + std::to_string(n) + "@example.com>\r\nSubject: message " +
           std::to_string(n) + "\r\nMessage-ID: <" + std::to_string(n) + "@x>\r\n\r\n" + body;
}

// A mailbox with the shapes that stress reply framing: a dot-stuffed line,
// a reply larger than the receive buffer, an empty body, a body line that
// looks like a terminator once un-stuffed.
std::vector<std::string> varied_mailbox()
{
    std::string big;
    for (int i = 0; i < 150; ++i)
        big += std::string(90, static_cast<char>('a' + i % 26)) + "\r\n";
    return {mail(1, "line\r\n.dotted\r\n"), mail(2, big), mail(3, ""), mail(4, ".\r\n..\r\nend\r\n"),
            mail(5), mail(6, big), mail(7, "last\r\n")};
}

// Marks every even LIST number for deletion and records what the session
// asks, so both ways of fetching can be compared.
class RecordingCycle : public kivo::CheckCycle {
public:
    bool should_delete_marked(Account&) override { return true; }
    bool must_delete(Account&, int number, kivo::Message& message) override
    {
        asked.push_back(number);
        if (number % 2 != 0)
            return false;
        message.mark_deleted();
        return true;
    }
    void classify(Account&, kivo::Message& message) override { classified.push_back(message.subject()); }
    void carry_flags_over(Account&, MessageList& fresh) override { carried = fresh.size(); }

    std::vector<int> asked;
    std::vector<std::string> classified;
    std::size_t carried = 0;
};

struct Session {
    explicit Session(const std::string& capa = "pipelining") : account(&watchdog)
    {
        server.add_user("bob", "secret");
        server.set_capa(capa);
        account.set_name("pipe");
        account.set_server(kivo::Url("pop3", "bob", "secret", "127.0.0.1", "/"));
        watchdog.guard(account);
    }
    void start()
    {
        account.set_port(server.start());
        REQUIRE(account.lookup());
    }
    bool check(MessageList& out) { return account.connect_to_server() && account.check_mail(out); }
    Commands sent(const std::string& prefix)
    {
        Commands out;
        for (const std::string& c : server.commands())
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        return out;
    }

    kivo::platform::NetworkStartup net;
    FakePop3 server;
    Watchdog watchdog;
    Account account;
};

struct Outcome {
    bool ok = false;
    std::vector<std::string> messages;  // every field that a check gives a message
    std::vector<int> asked;
    std::vector<std::string> classified;
    std::string last_error;
    Commands tops, deles;
    std::size_t left_on_server = 0;
    bool pipelined = false;
};

Outcome run_check(const std::string& capa, std::size_t window, const std::vector<std::string>& faults)
{
    Session s(capa);
    for (const std::string& m : varied_mailbox())
        s.server.add_message(m);
    for (const std::string& f : faults)
        s.server.add_fault(f);
    RecordingCycle cycle;
    s.account.set_check_cycle(&cycle);
    if (window > 0)  // else the account's own, which widens for small answers
        s.account.set_pipeline_window(window);
    s.start();
    MessageList out;
    Outcome r;
    r.ok = s.check(out);
    s.account.disconnect();
    for (const auto& m : out)
        r.messages.push_back(m->subject() + "|" + m->from() + "|" + m->header_text() + "|" + m->body_text() + "|" +
                             std::to_string(m->size()) + "|" + std::to_string(m->key()) + "|" +
                             (m->deleted() ? "marked" : "-"));
    r.asked = cycle.asked;
    r.classified = cycle.classified;
    CHECK(cycle.carried == out.size());
    r.last_error = s.account.last_error();
    r.tops = s.sent("TOP");
    r.deles = s.sent("DELE");
    r.left_on_server = s.server.message_count();
    r.pipelined = s.account.session_pipelined();
    CHECK_FALSE(s.watchdog.fired);
    return r;
}

bool answers_in_order(const std::vector<std::string>& lines, const std::vector<std::string>& subjects)
{
    std::size_t next = 0;
    for (const std::string& line : lines)
        if (next < subjects.size() && line.find("Answer from server") != std::string::npos &&
            line.find("Subject: " + subjects[next]) != std::string::npos)
            ++next;
    return next == subjects.size();
}

}  // namespace

TEST_CASE("pipelined TOP and DELE give exactly what one command at a time gives")
{
    // A refused TOP in the middle, and a refused DELE that must keep its message.
    const std::vector<std::string> faults = {"TOP 3:err", "DELE 4:err"};
    Outcome serial = run_check("plain", Account::kDefaultPipelineWindow, faults);
    REQUIRE(serial.ok);
    CHECK_FALSE(serial.pipelined);
    CHECK(serial.tops.size() == 7);
    CHECK(serial.deles == Commands{"DELE 2", "DELE 4", "DELE 6"});
    CHECK(serial.left_on_server == 5);

    for (std::size_t window :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, Account::kDefaultPipelineWindow, std::size_t{0}}) {
        CAPTURE(window);
        Outcome piped = run_check("pipelining", window, faults);
        REQUIRE(piped.ok);
        CHECK(piped.pipelined);
        CHECK(piped.messages == serial.messages);
        CHECK(piped.asked == serial.asked);
        CHECK(piped.classified == serial.classified);
        CHECK(piped.last_error == serial.last_error);
        CHECK(piped.tops == serial.tops);
        CHECK(piped.deles == serial.deles);
        CHECK(piped.left_on_server == serial.left_on_server);
    }
    // The refused DELE's message stays, with its mark, for the next check.
    REQUIRE(serial.messages.size() == 4);
    CHECK(serial.messages[1].rfind(" message 4|", 0) == 0);
    CHECK(serial.messages[1].substr(serial.messages[1].size() - 6) == "marked");
}

TEST_CASE("the pipelined stream keeps the session's rules")
{
    SUBCASE("answers in 1-byte pieces are framed one by one")
    {
        Session s;
        for (int n = 1; n <= 3; ++n)
            s.server.add_message(mail(n, ".\r\n"));
        s.server.add_fault("TOP:split");
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        CHECK(s.account.session_pipelined());
        REQUIRE(out.size() == 3);
        for (int n = 0; n < 3; ++n) {
            CHECK(out[n]->subject() == " message " + std::to_string(n + 1));
            CHECK(out[n]->body_text() == ".\r\n");
        }
    }
    SUBCASE("a -ERR for one TOP leaves only that message out, and the answers after it stay in step")
    {
        Session s;
        for (int n = 1; n <= 5; ++n)
            s.server.add_message(mail(n));
        s.server.add_fault("TOP 2:err");
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        REQUIRE(out.size() == 4);
        CHECK(out[1]->subject() == " message 3");
        CHECK(out[3]->subject() == " message 5");
        CHECK(s.account.last_error() == "-ERR fault injected for TOP");
    }
    SUBCASE("a connection dropped after half the answers fails the check")
    {
        Session s;
        for (int n = 1; n <= 6; ++n)
            s.server.add_message(mail(n));
        s.server.add_fault("TOP 4:drop");
        s.start();
        MessageList out;
        CHECK_FALSE(s.check(out));
        CHECK_FALSE(s.account.socket_open());
        CHECK(s.account.last_error() == kivo::platform::message_text(kivo::MSG_CONNECTION_CLOSED));
        CHECK(s.sent("TOP").size() == 4);  // all six were sent; the server read up to the fourth
    }
    SUBCASE("an answer larger than 1 MB in the stream grows the buffer and keeps the answers after it")
    {
        Session s;
        for (int n = 1; n <= 3; ++n)
            s.server.add_message(mail(n));
        s.server.add_fault("TOP 2:huge");
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        REQUIRE(out.size() == 3);
        CHECK(out[1]->body_text().size() > (1u << 20));
        CHECK(out[2]->subject() == " message 3");
        CHECK(s.account.receive_buffer_capacity() > (1u << 20));
    }
    SUBCASE("every answer re-arms the deadline, and the log shows commands and answers in order")
    {
        kivo::app_log().set_capacity(2000);
        Session s;
        for (int n = 1; n <= 20; ++n)
            s.server.add_message(mail(n));
        s.account.set_pipeline_window(8);
        s.start();
        MessageList out;
        int before = s.watchdog.rearms;
        REQUIRE(s.check(out));
        CHECK(out.size() == 20);
        CHECK(s.watchdog.rearms - before >= 20 + 2);  // each TOP answer, LIST, CAPA and the logins
        std::vector<std::string> subjects;
        for (int n = 1; n <= 20; ++n)
            subjects.push_back("message " + std::to_string(n));
        CHECK(answers_in_order(kivo::app_log().recent_lines(), subjects));
        std::vector<std::string> requests;
        for (const std::string& line : kivo::app_log().recent_lines())
            if (line.find("Request for server 127.0.0.1: TOP ") != std::string::npos)
                requests.push_back(line.substr(line.find("TOP ")));
        REQUIRE(requests.size() >= 20);
        Commands last(requests.end() - 20, requests.end());
        for (int n = 1; n <= 20; ++n)
            CHECK(last[static_cast<std::size_t>(n - 1)].rfind("TOP " + std::to_string(n) + " 99\r\n", 0) == 0);
        kivo::app_log().set_capacity(kivo::Log::kDefaultCapacity);
    }
    SUBCASE("a stop while answers are out ends the check at once, with nothing recorded")
    {
        Session s;
        for (int n = 1; n <= 6; ++n)
            s.server.add_message(mail(n));
        s.server.add_fault("TOP 3:silence");
        s.start();
        REQUIRE(s.account.connect_to_server());
        std::atomic<bool> result{true};
        MessageList out;
        kivo::platform::Thread checker;
        checker.start([&] { result = s.account.check_mail(out); });
        REQUIRE(s.server.wait_for_command("TOP 6 99"));  // the whole stream is out
        CHECK(checker.running());
        auto before = std::chrono::steady_clock::now();
        s.account.stop_event().set();
        REQUIRE(checker.join(Account::kThreadGraceMs));
        CHECK(std::chrono::steady_clock::now() - before < std::chrono::milliseconds(Account::kThreadGraceMs));
        CHECK_FALSE(result);
        CHECK_FALSE(s.account.socket_open());
        CHECK(s.account.last_error().empty());
    }
}

TEST_CASE("without PIPELINING the session is the one-command-at-a-time session")
{
    SUBCASE("CAPA refused: not an error, and nothing is pipelined")
    {
        Session s("off");
        s.server.add_message(mail(1));
        s.server.add_message(mail(2));
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        CHECK_FALSE(s.account.session_pipelined());
        CHECK(out.size() == 2);
        CHECK(s.account.last_error().empty());
        Commands commands = s.server.commands();
        CHECK(Commands(commands.end() - 4, commands.end()) == Commands{"CAPA", "LIST", "TOP 1 99", "TOP 2 99"});
    }
    SUBCASE("CAPA without PIPELINING")
    {
        Session s("plain");
        s.server.add_message(mail(1));
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        CHECK_FALSE(s.account.session_pipelined());
        CHECK(out.size() == 1);
    }
    SUBCASE("pipelining switched off for the account: not even CAPA is sent")
    {
        Session s;
        s.server.add_message(mail(1));
        s.account.set_pipelining(false);
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        CHECK_FALSE(s.account.session_pipelined());
        CHECK(s.sent("CAPA").empty());
        CHECK(out.size() == 1);
    }
    SUBCASE("a connection lost at CAPA fails the check")
    {
        Session s;
        s.server.add_message(mail(1));
        s.server.add_fault("CAPA:drop");
        s.start();
        MessageList out;
        CHECK_FALSE(s.check(out));
        CHECK_FALSE(s.account.socket_open());
        CHECK(s.sent("LIST").empty());
    }
}

TEST_CASE("a server that writes its answers in separate small segments is checked whole")
{
    // The slow server's Nagle delay is only a matter of time; here it must
    // not change what is fetched, with or without PIPELINING.
    for (const char* capa : {"pipelining", "plain"}) {
        CAPTURE(capa);
        Session s(capa);
        for (int n = 1; n <= 4; ++n)
            s.server.add_message(mail(n));
        s.server.set_slow(true);
        s.start();
        MessageList out;
        REQUIRE(s.check(out));
        REQUIRE(out.size() == 4);
        CHECK(out[3]->subject() == " message 4");
    }
}
