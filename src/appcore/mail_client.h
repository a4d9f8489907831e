#pragma once
#include <string>

namespace kivo {

// The command line of the system's default mail client: the program named
// by "SOFTWARE\Clients\Mail" under HKEY_LOCAL_MACHINE, its
// "shell\open\command", with environment variables expanded. The last
// command found is remembered: when a later look-up fails, it is returned.
class DefaultMailClient {
public:
    std::string lookup();

private:
    std::string found_;
};

// The command to run for "run mail client": the user's setting, else the
// system's default; empty when there is neither.
std::string mail_client_command(const std::string& setting, DefaultMailClient& default_client);

}  // namespace kivo
