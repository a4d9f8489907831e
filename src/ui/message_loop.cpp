#include "ui/message_loop.h"

#include <system_error>

#include "ui/callback_guard.h"
#include "ui/modeless_registry.h"

namespace kivo::ui {

void MessageLoop::process(MSG& msg)
{
    if (!accelerators_.translate(msg) && !translate_modeless_message(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    rethrow_parked_exception();
}

int MessageLoop::run()
{
    MSG msg{};
    bool idle_due = true;
    for (;;) {
        if (idle_ && idle_due && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            idle_due = false;
            idle_();
            // The hook may have posted work (or the quit message).
            continue;
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1)
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "GetMessage");
        // Painting changes nothing the idle hook looks at.
        if (msg.message != WM_PAINT)
            idle_due = true;
        process(msg);
    }
    return static_cast<int>(msg.wParam);
}

int run_message_loop()
{
    MessageLoop loop;
    return loop.run();
}

}  // namespace kivo::ui
