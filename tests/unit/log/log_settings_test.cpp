#include <doctest/doctest.h>

#include "log/log.h"
#include "log/log_settings.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

using kivo::Log;
using kivo::platform::RegKey;
using kivo::platform::RegRoot;

TEST_CASE("log settings: load from and save to the registry")
{
    RegKey::delete_tree(RegRoot::current_user, kivo::kSettingsKey);
    {
        Log log;
        kivo::load_log_settings(log);  // a missing key is created and the defaults stay
        CHECK_FALSE(log.write_to_file());
        CHECK(log.log_file() == "kivo.log");
        CHECK(RegKey::open_read(RegRoot::current_user, kivo::kSettingsKey));
    }
    RegKey key = RegKey::open_or_create(RegRoot::current_user, kivo::kSettingsKey);
    SUBCASE("exactly 1 is on, and a file name is taken")
    {
        key.write_dword("WriteLog", 1);
        key.write_string("LogFile", "mail.log");
        Log log;
        kivo::load_log_settings(log);
        CHECK(log.write_to_file());
        CHECK(log.log_file() == "mail.log");
    }
    SUBCASE("other values are off, an empty name is the default, a wrong type keeps it")
    {
        key.write_dword("WriteLog", 2);
        key.write_string("LogFile", "");
        Log log;
        kivo::load_log_settings(log);
        CHECK_FALSE(log.write_to_file());
        CHECK(log.log_file() == "kivo.log");

        key.write_string("WriteLog", "1");
        key.write_dword("LogFile", 5);
        kivo::load_log_settings(log);
        CHECK_FALSE(log.write_to_file());
        CHECK(log.log_file() == "kivo.log");
    }
    SUBCASE("an expandable string is read as it is stored")
    {
        key.write_expand_string("LogFile", "%TEMP%\\k.log");
        Log log;
        kivo::load_log_settings(log);
        CHECK(log.log_file() == "%TEMP%\\k.log");
    }
    SUBCASE("saving writes both values")
    {
        Log log;
        log.set_write_to_file(true);
        log.set_log_file("x.log");
        kivo::save_log_settings(log);
        std::uint32_t flag = 0;
        std::string name;
        RegKey reader = RegKey::open_read(RegRoot::current_user, kivo::kSettingsKey);
        CHECK(reader.read_dword("WriteLog", flag));
        CHECK(flag == 1);
        CHECK(reader.read_string("LogFile", name));
        CHECK(name == "x.log");
    }
}
