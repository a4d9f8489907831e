#include "appcore/sound_player.h"

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

void SoundPlayer::queue(const std::string& path)
{
    if (!path.empty())
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
        if (candidate.unseen != 0) {
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
        if (!rotation_path_.empty() && current && current->unseen != 0) {
            last_start_ = output_.start(rotation_path_);
            return;
        }
        last_start_ = true;
        return;
    }
    if (!queue_.empty() && output_.start(*queue_.begin()))
        queue_.erase(queue_.begin());
}

}  // namespace kivo
