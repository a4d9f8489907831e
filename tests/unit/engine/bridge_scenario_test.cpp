// The bridge under real account threads, with this test's thread as the
// window thread: it drains whenever the bridge wakes it.
#include <doctest/doctest.h>

#include <chrono>

#include "support/bridge_scenario.h"

namespace {

class DrainingThread : public kivo::test::WindowThread {
public:
    explicit DrainingThread(kivo::test::BridgeScenario& scenario) : scenario_(scenario)
    {
        scenario_.bridge.set_wake([this] {
            woken_.set();
            return true;
        });
    }
    void pump(std::uint32_t ms) override
    {
        using Clock = std::chrono::steady_clock;
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
            if (woken_.wait(static_cast<std::uint32_t>(left) + 1)) {
                woken_.reset();
                scenario_.bridge.drain(scenario_);
            }
        }
    }

private:
    kivo::test::BridgeScenario& scenario_;
    kivo::platform::Event woken_;
};

}  // namespace

TEST_CASE("bridge: 20 accounts checking every second while the window stops, removes and adds them")
{
    kivo::test::BridgeScenario scenario;
    DrainingThread window(scenario);
    kivo::test::check_bridge_counts(scenario.run(window));
}
