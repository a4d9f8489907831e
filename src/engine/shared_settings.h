#pragma once
#include <atomic>

#include "engine/internet_connection.h"

namespace kivo {

// The few settings that account threads read while the window thread may
// change them (the Settings sheet, a load from the registry). Each is one
// atomic, so a reader sees the old value or the new one, never a torn one.
struct SharedSettings {
    // Start the mail client after new mail ("RunMailerAfterNewMail").
    std::atomic<bool> run_mailer_after_new_mail{false};
    // How the computer reaches the Internet ("ConnectionType").
    std::atomic<ConnectionType> connection_type{ConnectionType::lan};
};

}  // namespace kivo
