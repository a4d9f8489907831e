#include "app/single_instance.h"

namespace kivo::app {

SingleInstance::SingleInstance(const char* window_title, const char* mutex_name)
{
    mutex_.reset(CreateMutexA(nullptr, FALSE, mutex_name));
    // A mutex we cannot create does not stop the program: the window title
    // check below still stands.
    if (mutex_ && GetLastError() == ERROR_ALREADY_EXISTS)
        another_ = true;
    if (FindWindowA(nullptr, window_title))
        another_ = true;
}

}  // namespace kivo::app
