// The new-mail sounds: the queue without Repeat, the rotation with it, and
// the mail client's command.
#include <doctest/doctest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "appcore/command_line.h"
#include "appcore/mail_client.h"
#include "appcore/sound_player.h"
#include "platform/registry.h"

using namespace kivo;

namespace {

// Plays nothing; refuses to start while "playing", as the platform does,
// and fails for the files named missing.
struct FakeOutput : SoundOutput {
    bool playing = false;
    std::vector<std::string> started;
    std::vector<std::string> missing;
    int failures = 0;
    int stops = 0;
    SoundStart start(const std::string& path) override
    {
        if (playing)
            return SoundStart::busy;
        if (std::find(missing.begin(), missing.end(), path) != missing.end()) {
            ++failures;
            return SoundStart::failed;
        }
        playing = true;
        started.push_back(path);
        return SoundStart::started;
    }
    void stop() override
    {
        playing = false;
        ++stops;
    }
};

SoundRules rules(bool play, bool repeat, bool when_open = false) { return SoundRules{play, repeat, when_open}; }

}  // namespace

TEST_CASE("sounds: without Repeat each file queued plays once, after the one playing has ended")
{
    FakeOutput out;
    SoundPlayer player(out);
    std::vector<SoundAccount> accounts{{"a", 1, "a.wav"}};
    player.arm(rules(true, false), true);
    player.queue("same.wav");
    player.queue("same.wav");
    player.queue("other.wav");
    player.queue("");
    CHECK(player.queued().size() == 2);
    player.tick(rules(true, false), false, accounts);
    player.tick(rules(true, false), false, accounts);  // still playing: refused, kept
    out.playing = false;
    player.tick(rules(true, false), false, accounts);
    out.playing = false;
    player.tick(rules(true, false), false, accounts);
    CHECK(out.started == std::vector<std::string>{"other.wav", "same.wav"});
    CHECK(player.queued().empty());
}

TEST_CASE("sounds: nothing plays with PlaySound off, before arming, or while the window is shown")
{
    FakeOutput out;
    SoundPlayer player(out);
    std::vector<SoundAccount> accounts{{"a", 1, "a.wav"}};
    player.queue("a.wav");
    player.tick(rules(true, false), false, accounts);  // not armed yet
    player.arm(rules(false, true), false);
    CHECK_FALSE(player.active());
    player.arm(rules(true, false), false);
    player.tick(rules(false, true), false, accounts);
    player.tick(rules(true, false), true, accounts);  // window shown
    CHECK(out.started.empty());
    player.tick(rules(true, false, true), true, accounts);  // unless asked to play then too
    CHECK(out.started == std::vector<std::string>{"a.wav"});
    player.quiet(rules(true, false, false));
    CHECK(out.stops == 1);
    player.stop();
    CHECK_FALSE(player.active());
}

TEST_CASE("sounds: with Repeat the accounts with unseen mail take turns, each after the last has ended")
{
    FakeOutput out;
    SoundPlayer player(out);
    std::vector<SoundAccount> accounts{{"a", 2, "a.wav"}, {"b", 0, "b.wav"}, {"c", 1, "c.wav"}};
    player.arm(rules(true, true), true);
    auto tick = [&] {
        out.playing = false;  // the last sound ended
        player.tick(rules(true, true), false, accounts);
    };
    tick();
    tick();
    tick();
    CHECK(out.started == std::vector<std::string>{"a.wav", "c.wav", "a.wav"});

    // A sound still playing: the same account is tried again, not skipped.
    player.tick(rules(true, true), false, accounts);
    CHECK(out.started.size() == 3);
    tick();
    CHECK(out.started.back() == "c.wav");

    // Mail seen: the rotation stops and forgets its account.
    accounts[0].unseen = 0;
    accounts[2].unseen = 0;
    tick();
    CHECK(out.started.size() == 4);
    CHECK(player.rotation_account().empty());

    // An account removed from the list: the rotation starts from the first.
    accounts = {{"z", 1, "z.wav"}};
    tick();
    CHECK(out.started.back() == "z.wav");
}

TEST_CASE("sounds: a file that cannot be played is given up after a few tries and holds back no other")
{
    FakeOutput out;
    out.missing = {"gone.wav"};
    SoundPlayer player(out);
    auto tick = [&](const SoundRules& r, const std::vector<SoundAccount>& accounts) {
        out.playing = false;
        player.tick(r, false, accounts);
    };
    SUBCASE("without Repeat")
    {
        std::vector<SoundAccount> accounts{{"a", 1, "gone.wav"}};
        player.arm(rules(true, false), true);
        player.queue("gone.wav");
        player.queue("ok.wav");
        for (int i = 0; i < 5; ++i)
            tick(rules(true, false), accounts);
        CHECK(out.failures == SoundPlayer::kTriesPerFile);
        CHECK(out.started == std::vector<std::string>{"ok.wav"});
        player.queue("gone.wav");  // given up: not queued again
        CHECK(player.queued().empty());
    }
    SUBCASE("with Repeat")
    {
        std::vector<SoundAccount> accounts{{"a", 1, "gone.wav"}, {"c", 1, "c.wav"}};
        player.arm(rules(true, true), true);
        for (int i = 0; i < 10; ++i)
            tick(rules(true, true), accounts);
        CHECK(out.failures == SoundPlayer::kTriesPerFile);
        // c has its turn every round, and every tick once a is given up.
        CHECK(std::count(out.started.begin(), out.started.end(), "c.wav") >= 6);
    }
}

TEST_CASE("mail client: the setting wins, else the registered default, remembered when it goes")
{
    using platform::RegKey;
    using platform::RegRoot;
    DefaultMailClient lookup;
    RegKey::delete_tree(RegRoot::local_machine, "SOFTWARE\\Clients\\Mail");
    CHECK(mail_client_command("", lookup).empty());
    CHECK(mail_client_command("my.exe", lookup) == "my.exe");

    RegKey mail = RegKey::open_or_create(RegRoot::local_machine, "SOFTWARE\\Clients\\Mail");
    REQUIRE(mail.write_string("", "Kivo Test Mailer"));
    RegKey command =
        RegKey::open_or_create(RegRoot::local_machine, "SOFTWARE\\Clients\\Mail\\Kivo Test Mailer\\shell\\open\\command");
    REQUIRE(command.write_string("", "\"C:\\Mailer\\mailer.exe\" /inbox"));
    CHECK(mail_client_command("", lookup) == "\"C:\\Mailer\\mailer.exe\" /inbox");

    // Gone from the registry: the last one found is used.
    RegKey::delete_tree(RegRoot::local_machine, "SOFTWARE\\Clients\\Mail");
    CHECK(lookup.lookup() == "\"C:\\Mailer\\mailer.exe\" /inbox");
}

TEST_CASE("mail client: the program of a command line is found exactly and quoted")
{
    // The files that "exist" for this case, as the system would find them.
    std::vector<std::string> files{"C:\\Program.exe", "C:\\Program Files\\Mail\\mail.exe", "C:\\Windows\\notepad.exe"};
    ProgramLookup find = [&](const std::string& name) -> std::optional<std::string> {
        for (const std::string& file : files)
            if (file == name || file == name + ".exe" || file == "C:\\Windows\\" + name ||
                file == "C:\\Windows\\" + name + ".exe")
                return file;
        return std::nullopt;
    };
    // The planted C:\Program.exe is never taken for the real program.
    CHECK(quote_program("C:\\Program Files\\Mail\\mail.exe /new  \"x y\"", find) ==
          "\"C:\\Program Files\\Mail\\mail.exe\" /new  \"x y\"");
    CHECK(quote_program("\"C:\\Program Files\\Mail\\mail.exe\" -compose", find) ==
          "\"C:\\Program Files\\Mail\\mail.exe\" -compose");
    CHECK(quote_program("  notepad %1", find) == "\"C:\\Windows\\notepad.exe\" %1");
    CHECK(quote_program("C:\\Program", find) == "\"C:\\Program.exe\"");  // only when it is all there is
    CHECK(quote_program("C:\\Nowhere\\mail.exe", find).empty());
    CHECK(quote_program("\"C:\\Program Files\\Mail\\mail.exe", find).empty());  // unclosed quote
    CHECK(quote_program("   ", find).empty());
}
