#include "log/log_settings.h"

#include <cstdint>
#include <string>

#include "log/log.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

namespace kivo {
namespace {
constexpr const char* kDefaultLogFile = "kivo.log";
}

void load_log_settings(Log& log)
{
    using platform::RegKey;
    RegKey key = RegKey::open_read(platform::RegRoot::current_user, kSettingsKey);
    if (!key)
        key = RegKey::open_or_create(platform::RegRoot::current_user, kSettingsKey);
    if (!key)
        return;
    std::uint32_t flag = 0;
    log.set_write_to_file(key.read_dword("WriteLog", flag) && flag == 1);
    // A value that is missing or of another type keeps the current name.
    std::string name = log.log_file();
    std::string stored;
    if (key.read_string("LogFile", stored))
        name = stored;
    log.set_log_file(name.empty() ? kDefaultLogFile : name);
}

void save_log_settings(const Log& log)
{
    platform::RegKey key = platform::RegKey::open_or_create(platform::RegRoot::current_user, kSettingsKey);
    if (!key)
        return;
    key.write_dword("WriteLog", log.write_to_file() ? 1 : 0);
    key.write_string("LogFile", log.log_file());
}

}  // namespace kivo
