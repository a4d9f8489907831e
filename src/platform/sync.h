#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

namespace kivo::platform {

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

// A Win32-style event. Manual-reset events stay set until reset; auto-reset
// events release one waiter and reset themselves.
class Event {
public:
    explicit Event(bool manual_reset = true, bool initially_set = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    bool is_set() const;  // never consumes an auto-reset event
    // True when the event was (or became) set within the time-out.
    bool wait(std::uint32_t timeout_ms);

    // Windows: the event's HANDLE. POSIX: a file descriptor that polls
    // readable while the event is set (for waiting on it with a socket).
    std::intptr_t native_handle() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    friend int wait_any(std::initializer_list<Event*> events, std::uint32_t timeout_ms);
};

// Waits until one of the events is set. Returns its index in the list
// (the first set one when several are), or -1 on time-out.
int wait_any(std::initializer_list<Event*> events, std::uint32_t timeout_ms);

// A counting semaphore with timed waits.
class Semaphore {
public:
    Semaphore(int initial, int maximum);
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    bool acquire(std::uint32_t timeout_ms);
    // False when the count would pass the maximum.
    bool release();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A thread that can be waited for with a time-out. The body must not throw
// (anything that escapes is swallowed, so no exception leaves a thread entry).
// Killing is a last resort: Windows terminates the thread; POSIX cannot, so
// there it waits for the thread to end by itself. Every kill is counted.
class Thread {
public:
    Thread();
    ~Thread();  // joins without limit if still running and not abandoned
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool start(std::function<void()> body);
    bool running() const;
    // True when the thread has ended (or was never started) within the time-out.
    bool join(std::uint32_t timeout_ms);
    void kill();

    static std::uint64_t kill_count();

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;  // shared with the running body
};

// While one of these lives on a thread, that thread's waits on events,
// semaphores and threads also handle the messages other threads send to its
// windows (Windows; elsewhere there are none to handle). The window thread
// holds one for its whole life: a thread that sends to a window while the
// window thread waits for it then cannot deadlock the two. Nests.
class SentMessageService {
public:
    SentMessageService();
    ~SentMessageService();
    SentMessageService(const SentMessageService&) = delete;
    SentMessageService& operator=(const SentMessageService&) = delete;

    // True on a thread that holds one.
    static bool active();
};

}  // namespace kivo::platform
