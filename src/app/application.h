#pragma once
#include <windows.h>

namespace kivo::app {

// The program from the single-instance check to the end of the message loop;
// returns the process exit code. OLE is the caller's.
int run_application(HINSTANCE module);

}  // namespace kivo::app
