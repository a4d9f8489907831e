#include "appcore/sound_player.h"

#include "log/log.h"

namespace kivo {
namespace {

const SoundAccount* find_by_name(const std::vector<SoundAccount>& accounts, const std::string& name)
{
    for (const SoundAccount& account : accounts)
        if (account.name == name)
            return &account;
    return nullptr;
}

}  // namespace

bool SoundPlayer::try_start(const std::string& path, bool& busy)
{
    SoundStart result = output_.start(path);
    busy = result == SoundStart::busy;
    if (result == SoundStart::started)
        failures_.erase(path);
    if (result != SoundStart::failed)
        return result == SoundStart::started;
    if (++failures_[path] >= kTriesPerFile && unplayable_.insert(path).second)
        app_log().write_line("Cannot play the sound file %s; it is skipped from now on.\n", path.c_str());
    return false;
}

void SoundPlayer::queue(const std::string& path)
{
    if (!path.empty() && !given_up(path))
        queue_.insert(path);
}

void SoundPlayer::arm(const SoundRules& rules, bool at_startup)
{
    if (at_startup)
        queue_.clear();
    if (rules.play_sound && !active_)
        active_ = true;
}

void SoundPlayer::quiet(const SoundRules& rules)
{
    if (rules.repeat_when_window_is_open)
        return;
    output_.stop();
    queue_.clear();
}

void SoundPlayer::stop()
{
    queue_.clear();
    output_.stop();
    active_ = false;
}

void SoundPlayer::rotate(const std::vector<SoundAccount>& accounts)
{
    std::int64_t unseen = 0;
    for (const SoundAccount& account : accounts)
        unseen += account.unseen;
    if (unseen == 0) {
        rotation_name_.clear();
        rotation_path_.clear();
        return;
    }
    rotation_path_.clear();  // stays empty when only unplayable files are left
    // Start after the current account (from the first when there is none),
    // wrapping, until one with unseen mail; there is one, since the total is not 0.
    std::size_t start = 0;
    for (std::size_t i = 0; i < accounts.size(); ++i)
        if (!rotation_name_.empty() && accounts[i].name == rotation_name_) {
            start = i + 1;
            break;
        }
    for (std::size_t step = 0; step < accounts.size(); ++step) {
        const SoundAccount& candidate = accounts[(start + step) % accounts.size()];
        if (candidate.unseen != 0 && !given_up(candidate.sound_file)) {
            rotation_name_ = candidate.name;
            rotation_path_ = candidate.sound_file;
            return;
        }
    }
}

void SoundPlayer::tick(const SoundRules& rules, bool window_visible, const std::vector<SoundAccount>& accounts)
{
    if (!rules.play_sound)
        return;
    if (window_visible && !rules.repeat_when_window_is_open)
        return;
    if (!active_ || accounts.empty())
        return;
    if (rules.repeat) {
        if (last_start_)
            rotate(accounts);
        const SoundAccount* current = find_by_name(accounts, rotation_name_);
        if (!rotation_path_.empty() && current && current->unseen != 0 && !given_up(rotation_path_)) {
            bool busy = false;
            // Refused while another sound plays: the same account is tried
            // again. A file that cannot be played lets the next one have a turn.
            last_start_ = try_start(rotation_path_, busy) || !busy;
            return;
        }
        last_start_ = true;
        return;
    }
    if (queue_.empty())
        return;
    std::string first = *queue_.begin();
    bool busy = false;
    if (try_start(first, busy) || given_up(first))
        queue_.erase(first);
}

}  // namespace kivo
