#pragma once
#include "ui/handles.h"

namespace kivo::app {

// Decides whether this process may run as the program's one copy. Another
// copy is running when a top-level window with the main window's title
// exists. A named mutex, held for the life of this object, also covers the
// moments before that window exists and after it has gone: two copies started
// at once, or one started while the last one still saves its files, would
// otherwise both write the same files.
class SingleInstance {
public:
    SingleInstance(const char* window_title, const char* mutex_name);
    bool another_is_running() const { return another_; }

private:
    ui::KernelHandle mutex_;
    bool another_ = false;
};

}  // namespace kivo::app
