#pragma once
#include <chrono>
#include <thread>

namespace kivo::test {

// Polls `predicate` with short sleeps until it holds or `timeout` has passed,
// and returns its last value. For waiting on other threads; the default is
// generous, so a slow machine only slows a test down and never fails it.
template <typename Predicate>
bool eventually(Predicate predicate, std::chrono::milliseconds timeout = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (predicate())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return static_cast<bool>(predicate());
}

}  // namespace kivo::test
