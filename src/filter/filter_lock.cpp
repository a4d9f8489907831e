#include "filter/filter_lock.h"

namespace kivo::filter {

FilterLock::FilterLock(std::uint32_t timeout_ms) : timeout_ms_(timeout_ms) {}

void FilterLock::add_reader()
{
    std::lock_guard<std::mutex> guard(state_guard_);
    readers_.fetch_add(1);
    no_readers_.reset();
}

void FilterLock::drop_reader()
{
    std::lock_guard<std::mutex> guard(state_guard_);
    if (readers_.fetch_sub(1) == 1)
        no_readers_.set();
}

bool FilterLock::enter_reader()
{
    if (!no_writer_.wait(timeout_ms_))
        return false;
    // Counted before the re-check, so a writer that comes now sees us.
    add_reader();
    if (!no_writer_.wait(kRecheckMs)) {
        drop_reader();
        return false;
    }
    // A writer may have left during the re-check; see what it wrote.
    std::lock_guard<std::mutex> guard(state_guard_);
    return true;
}

void FilterLock::leave_reader()
{
    drop_reader();
}

bool FilterLock::enter_writer()
{
    if (!no_readers_.wait(timeout_ms_))
        return false;
    no_writer_.reset();
    if (!no_readers_.wait(kRecheckMs)) {
        no_writer_.set();
        return false;
    }
    std::lock_guard<std::mutex> guard(state_guard_);  // see the last reader's leave
    return true;
}

void FilterLock::leave_writer()
{
    std::lock_guard<std::mutex> guard(state_guard_);
    no_writer_.set();
}

}  // namespace kivo::filter
