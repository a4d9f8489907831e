// Filter actions around a real check against the fake server: collected
// while the session runs, fired after it, once per message, never for a
// stopped account.
#include <doctest/doctest.h>

#include <memory>

#include "engine/account.h"
#include "engine/checking_cycle.h"
#include "engine/filter_classifier.h"
#include "filter/collected_actions.h"
#include "filter/email_filter.h"
#include "filter/power_file.h"
#include "message/message.h"
#include "support/fake_pop3.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"

using kivo::Account;
using kivo::CheckingCycle;
using namespace kivo::filter;

namespace {

std::string mail(const std::string& from, const std::string& subject, const std::string& id)
{
    return "From: " + from + "\r\nSubject: " + subject + "\r\nMessage-ID: " + id + "\r\n\r\nbody\r\n";
}

// Records each action, and whether the filter lock could be taken as a
// writer at that moment (it must be free: nothing fires inside Classify).
struct LockProbingActions : kivo::test::RecordingActions {
    EmailFilter* filter = nullptr;
    bool lock_was_free = true;
    void LaunchProgram(const std::string& path) override
    {
        kivo::test::RecordingActions::LaunchProgram(path);
        WriterSection section(filter->lock());
        lock_was_free &= section.held();
    }
};

// One account on the fake server with a power filter that marks mail from
// "news" uncertain and launches a program.
struct Rig {
    kivo::platform::NetworkStartup net;
    kivo::test::FakePop3 server;
    kivo::test::TempDir dir;
    kivo::test::RecordingReporter reporter;
    LockProbingActions actions;
    std::unique_ptr<EmailFilter> filter;
    std::unique_ptr<CheckingCycle> cycle;
    Account account;

    Rig()
    {
        PowerFilter f;
        f.name = "News";
        f.fromEnabled = true;
        f.from = "news";
        f.set_mark(PowerMark::uncertain);
        f.launchProgram = true;
        f.launchProgramPath = "C:\\tools\\note.exe";
        SavePowerFilters(dir.folder(), {f}, reporter);
        EmailFilterConfig config;
        config.folder = dir.folder();
        config.useRegistry = false;
        config.lockTimeoutMs = 100;
        filter = std::make_unique<EmailFilter>(actions, reporter, config);
        actions.filter = filter.get();
        cycle = std::make_unique<CheckingCycle>(nullptr, kivo::filter_classifier(*filter, actions));
        server.add_user("bob", "secret");
        account.set_name("actions");
        account.set_server(kivo::Url("pop3", "bob", "secret", "127.0.0.1", "/"));
        account.set_check_cycle(cycle.get());
        account.set_timeout(5);
    }
    void start() { account.set_port(server.start()); }
    int uncertain() const
    {
        int n = 0;
        for (const auto& m : account.messages())
            n += m->uncertain() ? 1 : 0;
        return n;
    }
};

}  // namespace

TEST_CASE("filter actions: collected during the check, fired after it, once per message")
{
    Rig rig;
    rig.server.add_message(mail("news@x", "first", "<1@x>"));
    rig.server.add_message(mail("ann@x", "plain", "<2@x>"));
    rig.start();

    REQUIRE(rig.account.check_once());
    CHECK(rig.actions.calls.empty());  // nothing ran during the session
    CHECK(rig.account.deferred_action_count() == 1);
    CHECK(rig.account.fire_deferred_actions() == 1);
    CHECK(rig.actions.calls == std::vector<std::string>{"launch C:\\tools\\note.exe"});
    CHECK(rig.actions.lock_was_free);
    CHECK(rig.uncertain() == 1);

    // The same message at the next check keeps its mark but fires nothing;
    // a newcomer fires.
    rig.server.add_message(mail("news@x", "second", "<3@x>"));
    REQUIRE(rig.account.check_once());
    CHECK(rig.account.deferred_action_count() == 1);
    rig.account.fire_deferred_actions();
    CHECK(rig.actions.calls.size() == 2);
    CHECK(rig.uncertain() == 2);

    REQUIRE(rig.account.check_once());
    CHECK(rig.account.deferred_action_count() == 0);
    CHECK(rig.uncertain() == 2);
}

TEST_CASE("filter actions: a stopped account fires nothing more")
{
    Rig rig;
    rig.server.add_message(mail("news@x", "one", "<1@x>"));
    rig.server.add_message(mail("news@x", "two", "<2@x>"));
    rig.start();
    REQUIRE(rig.account.check_once());
    CHECK(rig.account.deferred_action_count() == 2);
    rig.account.stop_event().set();
    CHECK(rig.account.fire_deferred_actions() == 0);
    CHECK(rig.actions.calls.empty());
    CHECK(rig.account.deferred_action_count() == 0);  // dropped, not kept for later
}

TEST_CASE("collected actions replay in order and stop when asked")
{
    CollectedActions collected;
    collected.RunMailer();
    collected.LaunchProgram("a.exe");
    collected.PlaySoundFile("b.wav");
    collected.SendToUrl("http://h/?to=");
    kivo::test::RecordingActions target;
    CHECK(collected.fire(target, {}) == 4);
    CHECK(target.calls == std::vector<std::string>{"mailer", "launch a.exe", "sound b.wav", "url http://h/?to="});

    kivo::test::RecordingActions cut;
    int asked = 0;
    CHECK(collected.fire(cut, [&] { return ++asked > 2; }) == 2);
    CHECK(cut.calls.size() == 2);
}
