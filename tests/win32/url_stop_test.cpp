// A power filter's web address that never answers, on a real account thread
// against the fake POP3 server: stopping the account (as Exit does) ends the
// request and the thread within the grace, without a kill.
#include <doctest/doctest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/account.h"
#include "engine/checking_cycle.h"
#include "engine/connection_manager.h"
#include "engine/filter_classifier.h"
#include "engine/host_bridge.h"
#include "engine/shared_settings.h"
#include "filter/email_filter.h"
#include "filter/power_file.h"
#include "log/log.h"
#include "notify/system_filter_actions.h"
#include "platform/sync.h"
#include "support/fake_modem.h"
#include "support/fake_pop3.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"

#include "silent_http_server.h"

using kivo::Account;
using kivo::platform::Thread;
using namespace kivo::filter;

namespace {

struct Rig {
    kivo::platform::NetworkStartup net;
    kivo::test::FakePop3 server;
    kivo::test::SilentHttpServer http;
    kivo::test::TempDir dir;
    kivo::test::RecordingReporter reporter;
    kivo::test::RecordingActions unused;
    kivo::SharedSettings shared;
    kivo::HostBridge bridge{shared};
    std::unique_ptr<EmailFilter> filter;
    std::unique_ptr<kivo::CheckingCycle> cycle;
    std::vector<kivo::TimedAccount*> accounts;
    kivo::ConnectionManager manager{[this] { return accounts; }, kivo::test::no_modem(),
                                    [] { return kivo::ConnectionType::lan; }};
    Account account{&manager};

    Rig()
    {
        PowerFilter f;
        f.name = "Hook";
        f.fromEnabled = true;
        f.from = "news";
        f.sendMsgToUrl = true;
        f.urlForSending = "http://127.0.0.1:" + std::to_string(http.port()) + "/hook";
        SavePowerFilters(dir.folder(), {f}, reporter);
        EmailFilterConfig config;
        config.folder = dir.folder();
        config.useRegistry = false;
        filter = std::make_unique<EmailFilter>(unused, reporter, config);
        cycle = std::make_unique<kivo::CheckingCycle>(
            nullptr, kivo::filter_classifier(*filter, [this](Account& owner) -> std::unique_ptr<FilterActions> {
                return std::make_unique<kivo::notify::SystemFilterActions>(bridge, owner);
            }));
        server.add_user("bob", "secret");
        server.add_message("From: news@x\r\nSubject: hello\r\nMessage-ID: <1@x>\r\n\r\nbody\r\n");
        account.set_name("hook");
        account.set_server(kivo::Url("pop3", "bob", "secret", "127.0.0.1", "/"));
        account.set_check_cycle(cycle.get());
        account.set_timeout(600);
        accounts.push_back(&account);
        account.set_port(server.start());
    }
    ~Rig()
    {
        manager.stop_all();
        manager.stop();
    }
};

}  // namespace

TEST_CASE("url action: stopping the account ends a request that never gets an answer, without a kill")
{
    std::uint64_t kills = Thread::kill_count();
    Rig rig;
    REQUIRE(rig.manager.start());
    // The check is over and its action waits for the web server's answer.
    REQUIRE(rig.http.accepted.wait(20000));
    CHECK(rig.server.wait_for_command("QUIT"));
    auto before = std::chrono::steady_clock::now();
    rig.manager.stop_all();
    rig.manager.stop();
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before);
    MESSAGE("stopped in " << took.count() << " ms");
    CHECK(took.count() < Account::kThreadGraceMs);
    CHECK_FALSE(rig.account.thread_held());
    CHECK(Thread::kill_count() == kills);
    bool logged = false;
    for (const std::string& line : kivo::app_log().recent_lines())
        logged |= line.find("/hook?to=") != std::string::npos && line.find("was stopped") != std::string::npos;
    CHECK(logged);
}
