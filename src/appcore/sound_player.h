#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kivo {

// Plays sounds without interrupting one that still plays: `busy` while
// another sound plays (the player tries again on a later tick), `failed`
// when the file cannot be played at all.
enum class SoundStart { started, busy, failed };
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual SoundStart start(const std::string& path) = 0;
    virtual void stop() = 0;
};

// The settings the player reads at every step.
struct SoundRules {
    bool play_sound = false;
    bool repeat = false;
    bool repeat_when_window_is_open = false;
};

// What the rotation needs of one account, in list order.
struct SoundAccount {
    std::string name;
    std::int32_t unseen = 0;
    std::string sound_file;
};

// The accounts' new-mail sounds. Without Repeat each new-mail event plays
// its account's sound once (events with the same file collapse); with
// Repeat the sounds of every account with unseen mail play in turn, each as
// soon as the previous one has ended. A file that cannot be played is
// given up after a few tries (and logged once), so it never holds back the
// other accounts' sounds. Used on the window thread only: the account
// threads' requests reach it through the window's bridge.
class SoundPlayer {
public:
    explicit SoundPlayer(SoundOutput& output) : output_(output) {}

    void queue(const std::string& path);
    // The timer started (at_startup: the queue is emptied) or notification
    // was turned on again.
    void arm(const SoundRules& rules, bool at_startup);
    // Notification was turned off (the window shown, or from the tray menu).
    void quiet(const SoundRules& rules);
    // At exit.
    void stop();
    // Every 500 ms.
    void tick(const SoundRules& rules, bool window_visible, const std::vector<SoundAccount>& accounts);

    bool active() const { return active_; }
    const std::set<std::string>& queued() const { return queue_; }
    const std::string& rotation_account() const { return rotation_name_; }

    static constexpr int kTriesPerFile = 3;

private:
    void rotate(const std::vector<SoundAccount>& accounts);
    // Starts the file; true when it started. Counts failures and gives the
    // file up after kTriesPerFile of them.
    bool try_start(const std::string& path, bool& busy);
    bool given_up(const std::string& path) const { return unplayable_.count(path) != 0; }

    SoundOutput& output_;
    std::set<std::string> queue_;
    bool active_ = false;
    std::string rotation_name_;
    std::string rotation_path_;
    bool last_start_ = true;
    std::map<std::string, int> failures_;
    std::set<std::string> unplayable_;
};

}  // namespace kivo
