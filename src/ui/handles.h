#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace kivo::ui {

// Owning handles for the Win32 objects the windows create. Each one frees its
// object once, when it goes out of scope.

struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

template <typename Object>
struct GdiObjectDeleter {
    void operator()(Object object) const noexcept { DeleteObject(object); }
};
template <typename Object>
using GdiHandle = std::unique_ptr<std::remove_pointer_t<Object>, GdiObjectDeleter<Object>>;
using FontHandle = GdiHandle<HFONT>;
using BrushHandle = GdiHandle<HBRUSH>;
using BitmapHandle = GdiHandle<HBITMAP>;

struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
// A menu that no window holds as its menu bar (a popup or a detached submenu).
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct ImageListDeleter {
    void operator()(HIMAGELIST list) const noexcept { ImageList_Destroy(list); }
};
using ImageListHandle = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

struct KernelHandleDeleter {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
// For handles whose failure value is null (events, mutexes, threads).
using KernelHandle = std::unique_ptr<void, KernelHandleDeleter>;

// An icon from the module's resources at one exact size (so the 16x16 image
// is used for the small icon rather than a shrunken 32x32 one).
IconHandle load_icon(HINSTANCE module, int resource_id, int width, int height);

}  // namespace kivo::ui
