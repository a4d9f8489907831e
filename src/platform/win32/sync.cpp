#include "platform/sync.h"

#include <atomic>
#include <vector>
#include <windows.h>

namespace kivo::platform {
namespace {
std::atomic<std::uint64_t> g_kills{0};

// Every wait of this layer. On a thread that services sent messages, the
// wait also wakes for a message another thread sends to one of its windows,
// handles it and waits on for the rest of the time.
DWORD wait_handles(DWORD count, const HANDLE* handles, std::uint32_t timeout_ms)
{
    if (!SentMessageService::active())
        return WaitForMultipleObjects(count, handles, FALSE, timeout_ms);
    if (count >= MAXIMUM_WAIT_OBJECTS)
        return WAIT_FAILED;
    ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD left = timeout_ms;
        if (timeout_ms != INFINITE) {
            ULONGLONG spent = GetTickCount64() - start;
            left = spent >= timeout_ms ? 0 : static_cast<DWORD>(timeout_ms - spent);
        }
        // MWMO_INPUTAVAILABLE: a message sent before the wait began counts too.
        DWORD rc = MsgWaitForMultipleObjectsEx(count, handles, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (rc != WAIT_OBJECT_0 + count)
            return rc;
        // Peeking handles every sent message; posted ones stay queued.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (left == 0)
            return WAIT_TIMEOUT;
    }
}

DWORD wait_handle(HANDLE handle, std::uint32_t timeout_ms) { return wait_handles(1, &handle, timeout_ms); }
}  // namespace

struct Event::Impl {
    HANDLE handle = nullptr;
};

Event::Event(bool manual_reset, bool initially_set) : impl_(std::make_unique<Impl>())
{
    impl_->handle = CreateEventA(nullptr, manual_reset ? TRUE : FALSE, initially_set ? TRUE : FALSE, nullptr);
}

Event::~Event()
{
    if (impl_->handle)
        CloseHandle(impl_->handle);
}

void Event::set() { SetEvent(impl_->handle); }
void Event::reset() { ResetEvent(impl_->handle); }

bool Event::is_set() const
{
    // A zero wait would consume an auto-reset event; put it back.
    if (WaitForSingleObject(impl_->handle, 0) != WAIT_OBJECT_0)
        return false;
    SetEvent(impl_->handle);  // harmless on a manual-reset event, restores an auto-reset one
    return true;
}

bool Event::wait(std::uint32_t timeout_ms) { return wait_handle(impl_->handle, timeout_ms) == WAIT_OBJECT_0; }

std::intptr_t Event::native_handle() const { return reinterpret_cast<std::intptr_t>(impl_->handle); }

int wait_any(std::initializer_list<Event*> events, std::uint32_t timeout_ms)
{
    std::vector<HANDLE> handles;
    for (Event* e : events)
        handles.push_back(e->impl_->handle);
    if (handles.empty() || handles.size() > MAXIMUM_WAIT_OBJECTS)
        return -1;
    DWORD rc = wait_handles(static_cast<DWORD>(handles.size()), handles.data(), timeout_ms);
    if (rc >= WAIT_OBJECT_0 && rc < WAIT_OBJECT_0 + handles.size())
        return static_cast<int>(rc - WAIT_OBJECT_0);
    return -1;
}

struct Semaphore::Impl {
    HANDLE handle = nullptr;
};

Semaphore::Semaphore(int initial, int maximum) : impl_(std::make_unique<Impl>())
{
    impl_->handle = CreateSemaphoreA(nullptr, initial, maximum, nullptr);
}

Semaphore::~Semaphore()
{
    if (impl_->handle)
        CloseHandle(impl_->handle);
}

bool Semaphore::acquire(std::uint32_t timeout_ms)
{
    return wait_handle(impl_->handle, timeout_ms) == WAIT_OBJECT_0;
}

bool Semaphore::release() { return ReleaseSemaphore(impl_->handle, 1, nullptr) != FALSE; }

struct Thread::Impl {
    HANDLE handle = nullptr;
};

namespace {
DWORD WINAPI thread_entry(LPVOID parameter)
{
    auto* body = static_cast<std::function<void()>*>(parameter);
    try {
        (*body)();
    } catch (...) {
        // Nothing may leave a thread entry; the body reports its own failures.
    }
    delete body;
    return 0;
}
}  // namespace

Thread::Thread() : impl_(std::make_shared<Impl>()) {}

Thread::~Thread()
{
    if (impl_->handle) {
        WaitForSingleObject(impl_->handle, INFINITE);
        CloseHandle(impl_->handle);
    }
}

bool Thread::start(std::function<void()> body)
{
    if (impl_->handle)
        return false;
    auto* copy = new std::function<void()>(std::move(body));
    impl_->handle = CreateThread(nullptr, 0, thread_entry, copy, 0, nullptr);
    if (!impl_->handle) {
        delete copy;
        return false;
    }
    return true;
}

bool Thread::running() const { return impl_->handle && WaitForSingleObject(impl_->handle, 0) == WAIT_TIMEOUT; }

bool Thread::join(std::uint32_t timeout_ms)
{
    if (!impl_->handle)
        return true;
    if (wait_handle(impl_->handle, timeout_ms) != WAIT_OBJECT_0)
        return false;
    CloseHandle(impl_->handle);
    impl_->handle = nullptr;
    return true;
}

void Thread::kill()
{
    if (!impl_->handle)
        return;
    ++g_kills;
    TerminateThread(impl_->handle, 1);
    CloseHandle(impl_->handle);
    impl_->handle = nullptr;
}

std::uint64_t Thread::kill_count() { return g_kills.load(); }

}  // namespace kivo::platform
