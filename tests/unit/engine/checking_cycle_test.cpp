// The checking cycle against the fake server: recognising messages across
// checks, the three deletion modes, failures, and the account thread under
// the connection manager's time-out.
#include <doctest/doctest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "engine/account.h"
#include "engine/checking_cycle.h"
#include "engine/connection_manager.h"
#include "engine/engine_host.h"
#include "log/log.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "support/eventually.h"
#include "support/fake_modem.h"
#include "support/fake_pop3.h"

using kivo::Account;
using kivo::CheckingCycle;
using kivo::ConnectionManager;
using kivo::ConnectionType;
using kivo::Message;
using kivo::test::eventually;
using kivo::test::FakePop3;
using namespace kivo::platform;

namespace {

std::string mail(const std::string& from, const std::string& subject, const std::string& id = "")
{
    std::string text = "From: " + from + "\r\nSubject: " + subject + "\r\n";
    if (!id.empty())
        text += "Message-ID: " + id + "\r\n";
    return text + "\r\nbody\r\n";
}

struct RecordingHost : kivo::EngineHost {
    std::mutex mutex;
    std::vector<std::string> events;
    bool agree = true;
    int confirmations = 0;

    void add(const std::string& e)
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(e);
    }
    void account_changed(Account& account) override { add("state " + message_text(account.state())); }
    void play_sound(const std::string& file) override { add("sound " + file); }
    void run_mailer_if_enabled(Account&) override { add("mailer"); }
    bool confirm_deletion(Account&) override
    {
        ++confirmations;
        return agree;
    }
    void run_file(const std::string& file) override { add("run " + file); }
    bool has(const std::string& e)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return std::find(events.begin(), events.end(), e) != events.end();
    }
};

// One account on one fake server, with filters that mark every message
// whose subject says "spam" for deletion.
struct Rig {
    NetworkStartup net;
    FakePop3 server;
    RecordingHost host;
    CheckingCycle cycle{&host, [](Account&, Message& m) {
                            if (m.subject().find("spam") != std::string::npos)
                                m.mark_deleted();
                        }};
    std::vector<kivo::TimedAccount*> accounts;
    ConnectionManager manager{[this] { return accounts; }, kivo::test::no_modem(),
                              [] { return ConnectionType::lan; }};
    Account account{&manager};

    Rig()
    {
        server.add_user("bob", "secret");
        account.set_name("cycle");
        account.set_server(kivo::Url("pop3", "bob", "secret", "127.0.0.1", "/"));
        account.set_check_cycle(&cycle);
        account.set_host(&host);
        account.set_timeout(5);
        accounts.push_back(&account);
    }
    ~Rig()
    {
        manager.stop_all();
        manager.stop();
    }
    void start() { account.set_port(server.start()); }
    std::vector<std::string> subjects()
    {
        std::vector<std::string> out;
        for (const auto& m : account.messages())
            out.push_back(m->subject());
        return out;
    }
    int count(const std::string& command)
    {
        int n = 0;
        for (const std::string& c : server.commands())
            n += c.rfind(command, 0) == 0 ? 1 : 0;
        return n;
    }
};

}  // namespace

TEST_CASE("cycle: the pause is measured from the start of the previous check")
{
    CHECK(Account::pause_after(300, 1000, 1000 + 20000) == 280000);
    CHECK(Account::pause_after(300, 1000, 1000 + 400000) == 0);
    CHECK(Account::pause_after(300, 0, 300000) == 0);
    // The 32-bit tick count wrapped during a 20 s check.
    CHECK(Account::pause_after(300, 0xFFFFFFFFu - 5000, 15000) == 280000 - 1);
    CHECK(Account::pause_after(0, 0, 0) == 0);
    CHECK(Account::pause_after(-5, 0, 0) == 0);
    CHECK(Account::pause_after(5000000, 0, 0) == kInfinite - 1);  // no overflow on a huge interval
}

TEST_CASE("cycle: a successful check swaps the list, counts, and tells the window in order")
{
    Rig rig;
    rig.server.add_message(mail("ann@x", "hello", "<1@x>"));
    rig.server.add_message(mail("bob@x", "again", "<2@x>"));
    rig.account.set_sound_file("new.wav");
    rig.account.set_check_mailbox_size(true);
    rig.account.set_mailbox_bound(10);
    rig.account.set_launch_file("cleanup.exe");
    rig.start();
    REQUIRE(rig.account.check_once());
    CHECK(rig.account.total_messages() == 2);
    CHECK(rig.account.new_messages() == 2);
    CHECK(rig.account.state() == kivo::MSG_STATE_SLEEPING);
    CHECK(rig.host.events == std::vector<std::string>{"state connecting", "state checking", "state sleeping",
                                                      "run cleanup.exe", "sound new.wav", "mailer"});

    // Seen messages stay seen at the next check, and no sound is played.
    rig.account.mark_all_seen();
    rig.host.events.clear();
    rig.account.set_check_mailbox_size(false);
    REQUIRE(rig.account.check_once());
    CHECK(rig.account.new_messages() == 0);
    CHECK_FALSE(rig.host.has("sound new.wav"));
}

TEST_CASE("cycle: a marked message is deleted at the next check in automatic mode")
{
    Rig rig;
    rig.account.set_deletion_mode(kivo::MSG_DELETION_AUTOMATIC);
    rig.server.add_message(mail("ann@x", "keep", "<1@x>"));
    rig.server.add_message(mail("spam@x", "spam offer", "<2@x>"));
    rig.start();
    REQUIRE(rig.account.check_once());  // the filter marks it
    CHECK(rig.account.count_marked() == 1);
    CHECK(rig.count("DELE") == 0);
    REQUIRE(rig.account.check_once());  // and now it goes
    CHECK(rig.count("DELE") == 1);
    CHECK(rig.server.message_count() == 1);
    CHECK(rig.subjects() == std::vector<std::string>{" keep"});
}

TEST_CASE("cycle: in mode \"To not delete\" a marked message stays with its mark")
{
    Rig rig;
    rig.account.set_deletion_mode(kivo::MSG_DELETION_NEVER);
    rig.server.add_message(mail("spam@x", "spam offer", "<2@x>"));
    rig.start();
    REQUIRE(rig.account.check_once());
    REQUIRE(rig.account.check_once());
    CHECK(rig.count("DELE") == 0);
    CHECK(rig.account.count_marked() == 1);
    CHECK(rig.server.message_count() == 1);
}

TEST_CASE("cycle: confirmation is asked only when something is marked, and a refusal keeps everything")
{
    Rig rig;
    rig.account.set_deletion_mode(kivo::MSG_DELETION_CONFIRM);
    rig.server.add_message(mail("ann@x", "plain", "<1@x>"));
    rig.start();
    REQUIRE(rig.account.check_once());
    REQUIRE(rig.account.check_once());
    CHECK(rig.host.confirmations == 0);  // nothing marked

    rig.account.messages()[0]->mark_deleted();  // the user marks it in the list
    rig.host.agree = false;
    REQUIRE(rig.account.check_once());
    CHECK(rig.host.confirmations == 1);
    CHECK(rig.count("DELE") == 0);
    CHECK(rig.account.count_marked() == 1);  // the mark was carried over

    rig.host.agree = true;
    REQUIRE(rig.account.check_once());
    CHECK(rig.host.confirmations == 2);
    CHECK(rig.count("DELE") == 1);
    CHECK(rig.account.total_messages() == 0);
}

TEST_CASE("cycle: a refused DELE keeps the message and its mark, and is tried again")
{
    Rig rig;
    rig.account.set_deletion_mode(kivo::MSG_DELETION_AUTOMATIC);
    rig.server.add_message(mail("spam@x", "spam", "<9@x>"));
    rig.server.add_fault("DELE:err");
    rig.start();
    REQUIRE(rig.account.check_once());
    REQUIRE(rig.account.check_once());
    CHECK(rig.count("DELE") == 1);
    CHECK(rig.account.total_messages() == 1);
    CHECK(rig.account.count_marked() == 1);
    REQUIRE(rig.account.check_once());
    CHECK(rig.count("DELE") == 2);
}

TEST_CASE("cycle: two messages with one key both inherit the first old one's flags")
{
    Rig rig;
    rig.server.add_message(mail("a@x", "copy one", "<same@x>"));
    rig.server.add_message(mail("a@x", "copy two", "<same@x>"));
    rig.start();
    REQUIRE(rig.account.check_once());
    REQUIRE(rig.account.messages().size() == 2);
    rig.account.messages()[0]->set_seen();  // only the first old one
    rig.account.messages()[0]->mark_deleted();
    REQUIRE(rig.account.check_once());      // mode: with confirmation, and the host agrees...
    // ...but first the flags: the deletion went through for both copies.
    CHECK(rig.count("DELE") == 2);

    Rig second;
    second.account.set_deletion_mode(kivo::MSG_DELETION_NEVER);
    second.server.add_message(mail("a@x", "copy one", "<same@x>"));
    second.server.add_message(mail("a@x", "copy two", "<same@x>"));
    second.start();
    REQUIRE(second.account.check_once());
    second.account.messages()[0]->set_seen();
    second.account.messages()[0]->mark_deleted();
    REQUIRE(second.account.check_once());
    REQUIRE(second.account.messages().size() == 2);
    for (const auto& m : second.account.messages()) {
        CHECK(m->seen());
        CHECK(m->deleted());
    }
    CHECK(second.account.new_messages() == 0);
}

TEST_CASE("cycle: a failed check keeps the old list and counts, and the next one looks the name up again")
{
    Rig rig;
    rig.server.add_message(mail("ann@x", "one", "<1@x>"));
    rig.server.add_message(mail("bob@x", "two", "<2@x>"));
    rig.start();
    kivo::app_log().set_capacity(1000000);  // so no line of this test leaves the ring
    auto lookups = [] {
        int n = 0;
        for (const std::string& line : kivo::app_log().recent_lines())
            n += line.find("Lookup: account=cycle") != std::string::npos ? 1 : 0;
        return n;
    };
    REQUIRE(rig.account.check_once());
    REQUIRE(rig.account.total_messages() == 2);
    CHECK(rig.account.resolved());
    int before = lookups();
    REQUIRE(rig.account.check_once());
    CHECK(lookups() == before);  // the resolved address is reused

    rig.server.add_fault("LIST:close-mid");  // the connection is lost while listing
    CHECK_FALSE(rig.account.check_once());
    CHECK(rig.account.state() == kivo::MSG_STATE_FAILED);
    CHECK(rig.account.total_messages() == 2);
    CHECK(rig.account.messages().size() == 2);
    CHECK_FALSE(rig.account.resolved());
    CHECK_FALSE(rig.account.socket_open());
    CHECK_FALSE(rig.account.last_error().empty());
    CHECK(lookups() == before);

    // The next check looks the name up again.
    CHECK_FALSE(rig.account.check_once());
    CHECK(lookups() == before + 1);
    kivo::app_log().set_capacity(kivo::Log::kDefaultCapacity);
}

TEST_CASE("cycle: a silent server is stopped time-out seconds after its last step; a fresh thread starts")
{
    std::uint64_t kills = Thread::kill_count();
    Rig rig;
    SUBCASE("answers pipelined") {}
    SUBCASE("one command at a time") { rig.server.set_capa("plain"); }
    rig.server.add_message(mail("ann@x", "one", "<1@x>"));
    rig.server.add_message(mail("bob@x", "two", "<2@x>"));
    rig.server.add_message(mail("cy@x", "three", "<3@x>"));
    rig.account.set_timeout(1);
    rig.account.set_check_interval(600);
    rig.start();
    REQUIRE(rig.account.check_once());
    rig.server.add_fault("TOP 2:silence");
    rig.account.set_state(kivo::MSG_STATE_NOT_STARTED);  // as "check now" leaves it
    REQUIRE(rig.manager.start());
    REQUIRE(eventually([&] { return rig.manager.timeouts() == 1; }));
    // The restart happens under the manager's lock: once it is free again,
    // the fresh thread runs.
    REQUIRE(rig.manager.lock());
    rig.manager.unlock();
    CHECK(rig.account.thread_held());
    // The stopped check changed nothing; the fresh thread waits one interval
    // because the account was left "checking".
    CHECK(rig.account.state() == kivo::MSG_STATE_CHECKING);
    CHECK(rig.account.total_messages() == 3);
    CHECK(Thread::kill_count() == kills);
}

TEST_CASE("cycle: exit while a read waits ends the account thread within the grace, without a kill")
{
    std::uint64_t kills = Thread::kill_count();
    Rig rig;
    SUBCASE("answers pipelined") {}
    SUBCASE("one command at a time") { rig.server.set_capa("plain"); }
    for (int n = 1; n <= 4; ++n)
        rig.server.add_message(mail("ann@x", "one " + std::to_string(n), "<" + std::to_string(n) + "@x>"));
    rig.server.add_fault("TOP 2:silence");
    rig.account.set_timeout(600);
    rig.start();
    REQUIRE(rig.manager.start());
    REQUIRE(rig.server.wait_for_command("TOP 2 99"));
    auto before = std::chrono::steady_clock::now();
    rig.manager.stop_all();
    rig.manager.stop();
    CHECK(std::chrono::steady_clock::now() - before < std::chrono::milliseconds(Account::kThreadGraceMs));
    CHECK_FALSE(rig.account.thread_held());
    CHECK(Thread::kill_count() == kills);
}

TEST_CASE("cycle: the window's list lock nests, and an unmatched unlock is harmless")
{
    Account account;
    CHECK(account.lock_list());
    CHECK(account.lock_list());
    CHECK(account.lock_depth() == 2);
    account.unlock_list();
    account.unlock_list();
    account.unlock_list();
    CHECK(account.lock_depth() == 0);
    CHECK(account.list_lock().acquire(0));  // free again, exactly once
    CHECK_FALSE(account.list_lock().acquire(0));
    account.list_lock().release();
}
