#include "ui/message_loop.h"

#include <windows.h>

#include <system_error>

#include "ui/callback_guard.h"

namespace kivo::ui {

int run_message_loop()
{
    MSG msg{};
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "GetMessage");
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        rethrow_parked_exception();
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace kivo::ui
