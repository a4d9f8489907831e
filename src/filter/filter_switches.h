#pragma once

namespace kivo::filter {

// The two switches of the filter set, kept under the "Filter" registry key.
struct FilterSwitches {
    bool checkSpammers = true;
    bool checkFriends = true;  // a friends list, once made, is meant to be used
};

// Reads CheckSpammers and CheckFriends; a missing key or value, or one of
// another type, leaves that switch as it is. Any non-zero value is on.
void LoadSwitches(FilterSwitches& switches);
// Writes both as DWORD 0 or 1, creating the key when needed; silent on failure.
void SaveSwitches(const FilterSwitches& switches);

}  // namespace kivo::filter
