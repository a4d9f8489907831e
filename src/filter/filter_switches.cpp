#include "filter/filter_switches.h"

#include <cstdint>

#include "platform/registry.h"
#include "platform/registry_paths.h"

namespace kivo::filter {

using platform::RegKey;
using platform::RegRoot;

void LoadSwitches(FilterSwitches& switches)
{
    RegKey key = RegKey::open_read(RegRoot::current_user, kFilterKey);
    if (!key)
        return;
    std::uint32_t value = 0;
    if (key.read_dword("CheckSpammers", value))
        switches.checkSpammers = value != 0;
    if (key.read_dword("CheckFriends", value))
        switches.checkFriends = value != 0;
}

void SaveSwitches(const FilterSwitches& switches)
{
    RegKey key = RegKey::open_or_create(RegRoot::current_user, kFilterKey);
    if (!key)
        return;
    key.write_dword("CheckSpammers", switches.checkSpammers ? 1 : 0);
    key.write_dword("CheckFriends", switches.checkFriends ? 1 : 0);
}

}  // namespace kivo::filter
