#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "ui/window.h"
#include "ui/window_class.h"

namespace kivo::test {

// Drives a modal dialog the way a user would, from inside its own loop: each
// step runs in the handler of a message posted to a hidden window, and posts
// the next step behind whatever the previous one posted, so every step sees
// the effects of the ones before it. No step waits on the clock.
class DialogScript : public ui::Window {
public:
    DialogScript();
    ~DialogScript() override;

    DialogScript& then(std::function<void()> step);
    // Posts the first step; the steps run once a loop picks them up.
    void start();
    std::size_t steps_run() const { return next_; }
    bool all_run() const { return next_ == steps_.size(); }
    // A step that threw (a failed REQUIRE, say); later steps still run, so
    // the last one can still close the dialog.
    bool step_failed() const { return failed_; }

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    ui::WindowClass class_;
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    bool failed_ = false;
};

// Runs the messages waiting in the thread's queue through `process` until
// the queue is empty.
void pump(const std::function<void(MSG&)>& process);

}  // namespace kivo::test
