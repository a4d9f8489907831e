#include "notify/http_get.h"

#include <windows.h>
#include <wininet.h>

#include <map>

#include "log/log.h"
#include "platform/critical_section.h"
#include "platform/sync.h"

namespace kivo::notify {
namespace {

constexpr DWORD kOpenFlags =
    INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_COOKIES;

// One request in flight, as the status callback sees it.
struct Pending {
    platform::Event done{true, false};
    std::uint32_t timeout_ms = kUrlTimeoutMs;
    HINTERNET created = nullptr;  // the request's handle, once WinINet made it
    HINTERNET request = nullptr;  // the completion's answer
    DWORD error = 0;
};

// WinINet calls back on threads of its own, and may do so after the caller
// gave a request up. Requests are therefore known to the callback by a
// number, looked up in a table the caller leaves before its Pending goes:
// a late call finds nothing and does nothing.
class PendingTable {
public:
    static PendingTable& instance()
    {
        static PendingTable table;
        return table;
    }
    DWORD_PTR add(Pending& pending)
    {
        platform::CriticalSectionLock hold(lock_);
        DWORD_PTR id = ++last_id_;
        entries_[id] = &pending;
        return id;
    }
    void remove(DWORD_PTR id)
    {
        platform::CriticalSectionLock hold(lock_);
        entries_.erase(id);
    }
    template <class F>
    void with(DWORD_PTR id, F&& f)
    {
        platform::CriticalSectionLock hold(lock_);
        auto found = entries_.find(id);
        if (found != entries_.end())
            f(*found->second);
    }

private:
    platform::CriticalSection lock_;
    std::map<DWORD_PTR, Pending*> entries_;
    DWORD_PTR last_id_ = 0;
};

void set_timeouts(HINTERNET handle, std::uint32_t timeout_ms)
{
    DWORD timeout = timeout_ms;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(handle, option, &timeout, sizeof timeout);
}

void CALLBACK on_status(HINTERNET, DWORD_PTR id, DWORD status, LPVOID info, DWORD)
{
    if (id == 0 || !info)
        return;
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    if (status == INTERNET_STATUS_HANDLE_CREATED) {
        // Some WinINets give the request none of the session's time-outs;
        // set on the request itself they hold everywhere, so even a request
        // that was given up ends by itself.
        HINTERNET created = reinterpret_cast<HINTERNET>(result->dwResult);
        std::uint32_t timeout_ms = kUrlTimeoutMs;
        PendingTable::instance().with(id, [&](Pending& pending) {
            timeout_ms = pending.timeout_ms;
            pending.created = created;
        });
        set_timeouts(created, timeout_ms);
    } else if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        PendingTable::instance().with(id, [&](Pending& pending) {
            pending.request = reinterpret_cast<HINTERNET>(result->dwResult);
            pending.error = pending.request ? 0 : (result->dwError ? result->dwError : ERROR_INTERNET_INTERNAL_ERROR);
            pending.done.set();
        });
    }
}

struct InternetHandle {
    HINTERNET handle = nullptr;
    explicit InternetHandle(HINTERNET h) : handle(h) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle()
    {
        if (handle)
            InternetCloseHandle(handle);
    }
};

// Leaves the table before the Pending it names goes away.
struct TableEntry {
    DWORD_PTR id;
    explicit TableEntry(Pending& pending) : id(PendingTable::instance().add(pending)) {}
    TableEntry(const TableEntry&) = delete;
    TableEntry& operator=(const TableEntry&) = delete;
    ~TableEntry() { PendingTable::instance().remove(id); }
};

}  // namespace

bool http_get(const std::string& url, std::uint32_t timeout_ms, platform::Event* stop)
{
    if (stop && stop->is_set())
        return false;
    InternetHandle session(
        InternetOpenA("Kivo Email Checker", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (!session.handle) {
        app_log().write_line("Cannot send to %s: no Internet session (error %lu).\n", url.c_str(), GetLastError());
        return false;
    }
    set_timeouts(session.handle, timeout_ms);
    if (InternetSetStatusCallbackA(session.handle, &on_status) == INTERNET_INVALID_STATUS_CALLBACK) {
        app_log().write_line("Cannot send to %s: error %lu.\n", url.c_str(), GetLastError());
        return false;
    }

    enum class End { answered, failed, stopped, timed_out } end = End::failed;
    Pending pending;
    pending.timeout_ms = timeout_ms;
    HINTERNET request = nullptr;
    DWORD error = 0;
    {
        TableEntry entry(pending);
        request = InternetOpenUrlA(session.handle, url.c_str(), nullptr, 0, kOpenFlags, entry.id);
        if (request) {
            end = End::answered;
        } else if ((error = GetLastError()) == ERROR_IO_PENDING) {
            int which = stop ? platform::wait_any({&pending.done, stop}, timeout_ms)
                             : platform::wait_any({&pending.done}, timeout_ms);
            end = which == 0 ? End::answered : which == 1 ? End::stopped : End::timed_out;
        }
    }
    // Out of the table: nothing writes to `pending` any more. Each handle
    // is closed once, by whoever owns it: a completion's answer (taken even
    // if it came after the wait ended) and a synchronous one are ours; after
    // a failed completion WinINet has closed the request itself; a request
    // given up while WinINet still waits on it is closed here, which drops
    // its connection.
    if (pending.done.is_set()) {
        error = pending.error;
        if (end == End::answered && !pending.request)
            end = End::failed;
        if (pending.request)
            InternetCloseHandle(pending.request);
    } else if (request) {
        InternetCloseHandle(request);
    } else if ((end == End::stopped || end == End::timed_out) && pending.created) {
        InternetCloseHandle(pending.created);
    }

    switch (end) {
    case End::answered:
        return true;
    case End::stopped:
        app_log().write_line("Sending to %s was stopped.\n", url.c_str());
        break;
    case End::timed_out:
        app_log().write_line("Cannot send to %s: no answer within %lu ms.\n", url.c_str(),
                             static_cast<unsigned long>(timeout_ms));
        break;
    case End::failed:
        app_log().write_line("Cannot send to %s: error %lu.\n", url.c_str(), error);
        break;
    }
    return false;
}

}  // namespace kivo::notify
