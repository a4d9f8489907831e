#include "ui/window_class.h"

#include <atomic>
#include <system_error>

#include "ui/window.h"

namespace kivo::ui {
namespace {
std::atomic<unsigned> class_counter{0};
}

WindowClass::WindowClass(HINSTANCE module) : WindowClass(module, Options{}) {}

WindowClass::WindowClass(HINSTANCE module, const Options& options)
    : module_(module), name_("Kivo:" + std::to_string(++class_counter))
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = options.style;
    wc.lpfnWndProc = Window::procedure();
    wc.cbWndExtra = Window::kExtraBytes;
    wc.hInstance = module;
    wc.hCursor = options.cursor ? options.cursor : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    // A system colour index + 1 stands for that colour's brush.
    wc.hbrBackground = options.background ? options.background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name_.c_str();
    if (!RegisterClassExA(&wc))
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "RegisterClassEx");
}

WindowClass::~WindowClass()
{
    UnregisterClassA(name_.c_str(), module_);
}

}  // namespace kivo::ui
