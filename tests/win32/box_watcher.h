#pragma once
#include <windows.h>

#include <string>

namespace kivo::test {

// What a user saw in a message box.
struct SeenBox {
    bool seen = false;
    std::string caption;
    std::string text;
    HICON icon = nullptr;
    HWND owner = nullptr;
};

// Watches the calling thread for the next message box (through a CBT hook),
// records what it shows and presses one of its buttons, the way a user would.
// A watchdog closes a box that the hook somehow missed after 20 s, so a test
// fails instead of hanging.
class BoxWatcher {
public:
    explicit BoxWatcher(int button_to_press);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    const SeenBox& box() const;
};

}  // namespace kivo::test
