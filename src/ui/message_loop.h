#pragma once

namespace kivo::ui {

// Runs the thread's message loop until WM_QUIT and returns its exit code.
// An exception that a window procedure parked is re-raised here, right after
// the message that caused it.
int run_message_loop();

}  // namespace kivo::ui
