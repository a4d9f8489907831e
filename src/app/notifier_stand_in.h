#pragma once
// A stand-in for the tray icon and sound player until they are merged: the
// same calls, with the notification state kept and nothing shown.
#include <string>
#include <vector>

#include "engine/account.h"

namespace kivo::app::stand_in {

class Notifier {
public:
    void put_up(const std::vector<Account*>&) { up_ = true; }
    void take_down() { up_ = false; }
    void accounts_changed(const std::vector<Account*>&) {}
    void tick(const std::vector<Account*>&) {}
    void queue_sound(const std::string& file) { queued_.push_back(file); }
    void set_notification_off(bool off) { off_ = off; }
    bool notification_off() const { return off_; }
    bool is_up() const { return up_; }
    const std::vector<std::string>& queued() const { return queued_; }

private:
    bool up_ = false;
    bool off_ = false;
    std::vector<std::string> queued_;
};

}  // namespace kivo::app::stand_in
