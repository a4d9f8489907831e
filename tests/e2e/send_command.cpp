// Posts one command to the top-level window with the given title, the way a
// menu item would:  send_command.exe TITLE COMMAND
// Exit code 0 when the window was found and the message posted.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    HWND window = FindWindowA(nullptr, argv[1]);
    if (!window)
        return 1;
    WPARAM command = static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10));
    return PostMessageA(window, WM_COMMAND, command, 0) ? 0 : 1;
}
