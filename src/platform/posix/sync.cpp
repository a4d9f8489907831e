#include "platform/sync.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Events are eventfds so that a socket wait can poll() on a stop event too.
// An eventfd polls readable while its counter is non-zero: "set" is a
// counter of 1, "reset" drains it.
namespace kivo::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left of a time-out for poll(); -1 waits without limit.
int remaining_ms(std::uint32_t timeout_ms, Clock::time_point start)
{
    if (timeout_ms == kInfinite)
        return -1;
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    long long left = static_cast<long long>(timeout_ms) - elapsed;
    if (left <= 0)
        return 0;
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

std::atomic<std::uint64_t> g_kills{0};

}  // namespace

struct Event::Impl {
    int fd = -1;
    bool manual = true;
    std::mutex mutex;  // makes set/reset/consume atomic with the flag
    bool set = false;

    void signal()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!set) {
            std::uint64_t one = 1;
            while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
            }
            set = true;
        }
    }
    void drain_locked()
    {
        if (set) {
            std::uint64_t value = 0;
            while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
            }
            set = false;
        }
    }
    // After poll saw the event readable: a manual event counts as seen; an
    // auto-reset one must still be claimed, since another waiter may win.
    bool claim()
    {
        if (manual)
            return true;
        std::lock_guard<std::mutex> lock(mutex);
        if (!set)
            return false;
        drain_locked();
        return true;
    }
};

Event::Event(bool manual_reset, bool initially_set) : impl_(std::make_unique<Impl>())
{
    impl_->manual = manual_reset;
    impl_->fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (initially_set)
        impl_->signal();
}

Event::~Event()
{
    if (impl_->fd >= 0)
        ::close(impl_->fd);
}

void Event::set() { impl_->signal(); }

void Event::reset()
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->drain_locked();
}

bool Event::is_set() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->set;
}

bool Event::wait(std::uint32_t timeout_ms) { return wait_any({this}, timeout_ms) == 0; }

std::intptr_t Event::native_handle() const { return impl_->fd; }

int wait_any(std::initializer_list<Event*> events, std::uint32_t timeout_ms)
{
    std::vector<pollfd> fds;
    for (Event* e : events)
        fds.push_back(pollfd{e->impl_->fd, POLLIN, 0});
    auto start = Clock::now();
    for (;;) {
        int timeout = remaining_ms(timeout_ms, start);
        int n = ::poll(fds.data(), fds.size(), timeout);
        if (n < 0 && errno != EINTR)
            return -1;
        if (n > 0) {
            int index = 0;
            for (Event* e : events) {
                if ((fds[static_cast<std::size_t>(index)].revents & POLLIN) && e->impl_->claim())
                    return index;
                ++index;
            }
        }
        if (n == 0 && timeout == 0)
            return -1;
    }
}

struct Semaphore::Impl {
    std::mutex mutex;
    std::condition_variable cv;
    int count = 0;
    int maximum = 1;
};

Semaphore::Semaphore(int initial, int maximum) : impl_(std::make_unique<Impl>())
{
    impl_->count = initial;
    impl_->maximum = maximum;
}

Semaphore::~Semaphore() = default;

bool Semaphore::acquire(std::uint32_t timeout_ms)
{
    std::unique_lock<std::mutex> lock(impl_->mutex);
    auto ready = [this] { return impl_->count > 0; };
    if (timeout_ms == kInfinite)
        impl_->cv.wait(lock, ready);
    else if (!impl_->cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready))
        return false;
    --impl_->count;
    return true;
}

bool Semaphore::release()
{
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        if (impl_->count >= impl_->maximum)
            return false;
        ++impl_->count;
    }
    impl_->cv.notify_one();
    return true;
}

struct Thread::Impl {
    std::thread thread;
    Event done{true, false};
};

Thread::Thread() : impl_(std::make_shared<Impl>()) {}

Thread::~Thread()
{
    if (impl_->thread.joinable())
        impl_->thread.join();
}

bool Thread::start(std::function<void()> body)
{
    if (impl_->thread.joinable())
        return false;
    impl_->done.reset();
    std::shared_ptr<Impl> impl = impl_;
    try {
        impl_->thread = std::thread([impl, body = std::move(body)] {
            try {
                body();
            } catch (...) {
                // Nothing may leave a thread entry; the body reports its own failures.
            }
            impl->done.set();
        });
    } catch (...) {
        return false;
    }
    return true;
}

bool Thread::running() const { return impl_->thread.joinable() && !impl_->done.is_set(); }

bool Thread::join(std::uint32_t timeout_ms)
{
    if (!impl_->thread.joinable())
        return true;
    if (!impl_->done.wait(timeout_ms))
        return false;
    impl_->thread.join();
    return true;
}

void Thread::kill()
{
    if (!impl_->thread.joinable())
        return;
    ++g_kills;
    // POSIX cannot end another thread from outside. Abandoning it would let
    // it go on using objects that its owner is about to destroy, so the
    // "kill" waits for it to end by itself; it is counted all the same.
    impl_->thread.join();
}

std::uint64_t Thread::kill_count() { return g_kills.load(); }

}  // namespace kivo::platform
