#pragma once
#include <exception>

namespace kivo::ui {

// No exception may unwind through a window procedure or another callback that
// Windows calls: the system's frames in between know nothing of C++. Callbacks
// catch what escapes and park it here (one slot per thread, the first one
// wins); the code that started the system call re-raises it afterwards, so the
// failure still reaches the entry's handler.
void park_exception(std::exception_ptr error) noexcept;

// Throws the parked exception, if any, and empties the slot.
void rethrow_parked_exception();

bool has_parked_exception() noexcept;

}  // namespace kivo::ui
