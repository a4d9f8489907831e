#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/sync.h"

namespace kivo::filter {

// The readers-writer lock of the filter lists: two manual-reset events, both
// created set ("no writer", "no readers"), and a reader count. Account
// threads classify as readers; the window thread edits as the writer. Each
// side waits at most the time-out, announces itself, then re-checks the
// other side with a 1 ms wait and backs out if it lost the race; a failed
// attempt leaves the lock as it was.
class FilterLock {
public:
    static constexpr std::uint32_t kDefaultTimeoutMs = 10000;
    static constexpr std::uint32_t kRecheckMs = 1;

    explicit FilterLock(std::uint32_t timeout_ms = kDefaultTimeoutMs);
    FilterLock(const FilterLock&) = delete;
    FilterLock& operator=(const FilterLock&) = delete;

    bool enter_reader();
    void leave_reader();
    bool enter_writer();
    void leave_writer();

    long readers() const { return readers_.load(); }

private:
    void add_reader();
    void drop_reader();

    std::uint32_t timeout_ms_;
    platform::Event no_writer_{true, true};
    platform::Event no_readers_{true, true};
    std::atomic<long> readers_{0};
    // The last reader out sets "no readers" while a newcomer resets it; the
    // pair (count, event) changes under this guard so the event never says
    // "no readers" while one is inside. Every hand-over between the two sides
    // also passes through it, which orders the lists' memory between threads
    // whatever the events are made of.
    std::mutex state_guard_;
};

// Holds the lock as reader for a scope, if it could be taken.
class ReaderSection {
public:
    explicit ReaderSection(FilterLock& lock) : lock_(lock), held_(lock.enter_reader()) {}
    ~ReaderSection()
    {
        if (held_)
            lock_.leave_reader();
    }
    ReaderSection(const ReaderSection&) = delete;
    ReaderSection& operator=(const ReaderSection&) = delete;
    bool held() const { return held_; }

private:
    FilterLock& lock_;
    bool held_;
};

// Holds the lock as writer for a scope, if it could be taken.
class WriterSection {
public:
    explicit WriterSection(FilterLock& lock) : lock_(lock), held_(lock.enter_writer()) {}
    ~WriterSection()
    {
        if (held_)
            lock_.leave_writer();
    }
    WriterSection(const WriterSection&) = delete;
    WriterSection& operator=(const WriterSection&) = delete;
    bool held() const { return held_; }

private:
    FilterLock& lock_;
    bool held_;
};

}  // namespace kivo::filter
