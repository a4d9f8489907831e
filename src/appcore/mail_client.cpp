#include "appcore/mail_client.h"

#include "platform/registry.h"
#include "platform/text.h"

namespace kivo {

std::string DefaultMailClient::lookup()
{
    using platform::RegKey;
    using platform::RegRoot;
    const std::string clients = "SOFTWARE\\Clients\\Mail";
    RegKey key = RegKey::open_read(RegRoot::local_machine, clients);
    std::string program;
    if (!key || !key.read_string("", program) || program.empty() || program.find('\\') != std::string::npos)
        return found_;
    RegKey command_key = RegKey::open_read(RegRoot::local_machine, clients + "\\" + program + "\\shell\\open\\command");
    std::string command;
    if (!command_key || !command_key.read_string("", command) || command.empty())
        return found_;
    found_ = platform::expand_environment(command);
    return found_;
}

std::string mail_client_command(const std::string& setting, DefaultMailClient& default_client)
{
    return setting.empty() ? default_client.lookup() : setting;
}

}  // namespace kivo
