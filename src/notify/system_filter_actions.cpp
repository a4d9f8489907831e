#include "notify/system_filter_actions.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "engine/account.h"
#include "engine/host_bridge.h"
#include "log/log.h"

namespace kivo::notify {

void SystemFilterActions::RunMailer() { bridge_.request_run_mailer(account_); }

void SystemFilterActions::LaunchProgram(const std::string& path)
{
    SHELLEXECUTEINFOA run{};
    run.cbSize = sizeof run;
    // No message boxes from an account thread; the call returns once started.
    run.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    run.lpVerb = "open";
    run.lpFile = path.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run))
        app_log().write_line("Cannot launch %s: error %lu.\n", path.c_str(), GetLastError());
}

void SystemFilterActions::PlaySoundFile(const std::string& file)
{
    // Asynchronous: a long sound must not keep the account's thread.
    sndPlaySoundA(file.c_str(), SND_ASYNC | SND_NODEFAULT);
}

void SystemFilterActions::SendToUrl(const std::string& url)
{
    http_get(url, kUrlTimeoutMs, &account_.stop_event());
}

}  // namespace kivo::notify
