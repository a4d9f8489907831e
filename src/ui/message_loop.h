#pragma once
#include <windows.h>

#include <functional>

#include "ui/accelerators.h"

namespace kivo::ui {

// The thread's message loop. Each message goes, in this order, through
//  1. the accelerator tables chosen by the keyboard focus (AcceleratorRouting),
//  2. the registered modeless dialogs and property sheets
//     (ui/modeless_registry.h: IsDialogMessage, PropSheet_IsDialogMessage),
//  3. TranslateMessage and DispatchMessage.
// An exception that a window or dialog procedure parked is re-raised right
// after the message that caused it. The idle hook runs each time the queue
// has emptied after some message (paint messages aside); what it throws ends
// the loop.
class MessageLoop {
public:
    AcceleratorRouting& accelerators() { return accelerators_; }
    void set_idle_hook(std::function<void()> hook) { idle_ = std::move(hook); }

    // Runs until WM_QUIT and returns its exit code.
    int run();
    // Puts one message through the chain above (for loops of one's own and
    // for tests); re-raises a parked exception.
    void process(MSG& msg);

private:
    AcceleratorRouting accelerators_;
    std::function<void()> idle_;
};

// A loop with no accelerators and no idle hook (modeless dialogs still get
// their keys).
int run_message_loop();

}  // namespace kivo::ui
