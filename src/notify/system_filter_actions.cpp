#include "notify/system_filter_actions.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

#include "engine/host_bridge.h"
#include "log/log.h"

namespace kivo::notify {
namespace {

struct InternetHandleDeleter {
    void operator()(HINTERNET handle) const noexcept { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetHandleDeleter>;

}  // namespace

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

void SystemFilterActions::SendToUrl(const std::string& url) { http_get(url, kUrlTimeoutMs); }

bool http_get(const std::string& url, std::uint32_t timeout_ms)
{
    InternetHandle session(InternetOpenA("Kivo Email Checker", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) {
        app_log().write_line("Cannot send to %s: no Internet session (error %lu).\n", url.c_str(), GetLastError());
        return false;
    }
    DWORD timeout = timeout_ms;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(session.get(), option, &timeout, sizeof timeout);
    InternetHandle request(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0,
                                            INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD |
                                                INTERNET_FLAG_NO_COOKIES,
                                            0));
    if (!request) {
        app_log().write_line("Cannot send to %s: error %lu.\n", url.c_str(), GetLastError());
        return false;
    }
    char chunk[4096];
    DWORD got = 0;
    while (InternetReadFile(request.get(), chunk, sizeof chunk, &got) && got > 0) {
    }
    return true;
}

}  // namespace kivo::notify
