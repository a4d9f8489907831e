#include "app/window_filter_actions.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "notify/system_filter_actions.h"

namespace kivo::app {

void WindowFilterActions::RunMailer()
{
    if (run_mailer_)
        run_mailer_();
}

void WindowFilterActions::LaunchProgram(const std::string& path)
{
    // The user pressed "Test": the shell may say itself why it cannot run it.
    ShellExecuteA(GetActiveWindow(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void WindowFilterActions::PlaySoundFile(const std::string& file)
{
    sndPlaySoundA(file.c_str(), SND_ASYNC | SND_NODEFAULT);
}

void WindowFilterActions::SendToUrl(const std::string& url) { notify::http_get(url); }

}  // namespace kivo::app
