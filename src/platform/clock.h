#pragma once
#include <cstdint>

namespace kivo::platform {

struct LocalTime {
    int year = 0;    // four digits
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
};

// Milliseconds since an arbitrary start; wraps around at 2^32 like GetTickCount.
std::uint32_t tick_count();

// The current local time; false when the system cannot give it.
bool local_time(LocalTime& out);

}  // namespace kivo::platform
