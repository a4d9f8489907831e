#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ui/handles.h"

namespace kivo::ui {

// An owning image list. Controls that get it through a "set image list"
// message only borrow it (list views with LVS_SHAREIMAGELISTS, toolbars,
// tabs, headers), so the object must outlive them; a list view without that
// style destroys its lists itself, so hand it release() instead.
class ImageList {
public:
    ImageList() = default;
    // Throws std::system_error when the list cannot be made.
    ImageList(int width, int height, UINT flags = ILC_COLOR32 | ILC_MASK, int initial = 8, int grow = 8);
    explicit ImageList(HIMAGELIST owned) : list_(owned) {}

    // A list of the system's small-icon size (list view rows, menus).
    static ImageList small_icons(int initial = 8);
    // The images of a bitmap strip, each `image_width` wide, with `mask` as
    // the transparent colour; an empty list when the bitmap is missing.
    static ImageList from_bitmap_strip(HINSTANCE module, int bitmap_id, int image_width, COLORREF mask);

    HIMAGELIST get() const { return list_.get(); }
    HIMAGELIST release() { return list_.release(); }
    explicit operator bool() const { return static_cast<bool>(list_); }

    // Each returns the new image's index, or -1. The list copies what it is
    // given; the caller keeps its icon or bitmap.
    int add_icon(HICON icon) const { return ImageList_ReplaceIcon(get(), -1, icon); }
    // An icon resource at the list's own image size.
    int add_icon_resource(HINSTANCE module, int icon_id) const;
    int add_masked(HBITMAP bitmap, COLORREF mask) const { return ImageList_AddMasked(get(), bitmap, mask); }
    int add(HBITMAP bitmap, HBITMAP mask = nullptr) const { return ImageList_Add(get(), bitmap, mask); }

    int count() const { return ImageList_GetImageCount(get()); }
    SIZE image_size() const;
    bool draw(int index, HDC dc, int x, int y, UINT style = ILD_NORMAL) const
    {
        return ImageList_Draw(get(), index, dc, x, y, style) != FALSE;
    }
    IconHandle icon(int index, UINT style = ILD_NORMAL) const
    {
        return IconHandle(ImageList_GetIcon(get(), index, style));
    }

private:
    ImageListHandle list_;
};

}  // namespace kivo::ui
