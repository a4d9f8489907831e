#include "platform/clock.h"

#include <windows.h>

namespace kivo::platform {

std::uint32_t tick_count() { return GetTickCount(); }

bool local_time(LocalTime& out)
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    if (st.wYear == 0)
        return false;
    out = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    return true;
}

}  // namespace kivo::platform
