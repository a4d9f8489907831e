#pragma once
#include <string>

namespace kivo {

class Account;

// How the engine tells the main window what happened. Account threads call
// it directly, so every operation must be safe to call from any thread.
// Tests plug a recording fake in.
class EngineHost {
public:
    virtual ~EngineHost() = default;
    // A state, a count or the message list of the account changed.
    virtual void account_changed(Account& account) = 0;
    // New mail: play the account's sound under the sound settings.
    virtual void play_sound(const std::string& sound_file) = 0;
    // New mail: start the mail client when the settings ask for it; returns
    // once the main window has handled it or the account is being stopped.
    virtual void run_mailer_if_enabled(Account& account) = 0;
    // "Deletion with confirmation": asks the user, on the account's thread;
    // true only when the user agreed.
    virtual bool confirm_deletion(Account& account) = 0;
    // Opens a file or program through the shell (the mailbox-size action).
    virtual void run_file(const std::string& file) = 0;
};

}  // namespace kivo
