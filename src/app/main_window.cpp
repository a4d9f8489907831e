#include "app/main_window.h"

#include "app/resource_ids.h"
#include "ui/dialog_units.h"

namespace kivo::app {
namespace {
// The window's size in dialog units, so it scales with the font and DPI as
// the dialog it will become.
constexpr int kWidthDlu = 375;
constexpr int kHeightDlu = 242;
}  // namespace

MainWindow::MainWindow(HINSTANCE module) : module_(module), class_(module) {}

MainWindow::~MainWindow()
{
    // Destroy the window while this object's handlers and icons still exist.
    destroy();
}

void MainWindow::create()
{
    SIZE client = ui::dialog_units_to_pixels(kWidthDlu, kHeightDlu);
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);

    CreateArgs args;
    args.title = kMainWindowTitle;
    args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    args.width = frame.right - frame.left;
    args.height = frame.bottom - frame.top;
    Window::create(class_, args);

    small_icon_ = ui::load_icon(module_, IDI_KIVO, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    large_icon_ = ui::load_icon(module_, IDI_KIVO, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon_.get()));
}

LRESULT MainWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return default_handling(message, wparam, lparam);
    }
}

}  // namespace kivo::app
