#include "app/application.h"

#include "app/main_window.h"
#include "app/single_instance.h"
#include "log/log.h"
#include "log/log_settings.h"
#include "platform/sync.h"
#include "ui/framework.h"
#include "ui/message_loop.h"

namespace kivo::app {
namespace {
constexpr const char* kInstanceMutex = "Local\\Kivo Email Checker.instance";
}

int run_application(HINSTANCE module)
{
    // This is the window thread: its waits for other threads handle
    // messages sent to its windows meanwhile.
    platform::SentMessageService sent_messages;
    ui::initialise_framework();

    SingleInstance instance(kMainWindowTitle, kInstanceMutex);
    if (instance.another_is_running())
        return 0;

    load_log_settings(app_log());

    ui::MessageLoop loop;
    // With no account yet, the wizard asks for the first one; its thread
    // starts with the others.
    MainWindow window({module, &loop, [](MainWindow& main) { main.run_wizard(false); }});
    window.create();
    loop.set_idle_hook([&window] { window.update_command_states(); });
    if (window.hide_start()) {
        ShowWindow(window.hwnd(), SW_HIDE);
    } else {
        ShowWindow(window.hwnd(), SW_SHOW);
        SetForegroundWindow(window.hwnd());
    }

    loop.run();
    return 0;
}

}  // namespace kivo::app
