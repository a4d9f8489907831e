#include "ui/image_list.h"

#include <system_error>

namespace kivo::ui {

ImageList::ImageList(int width, int height, UINT flags, int initial, int grow)
    : list_(ImageList_Create(width, height, flags, initial, grow))
{
    if (!list_)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "ImageList_Create");
}

ImageList ImageList::small_icons(int initial)
{
    return ImageList(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, initial,
                     8);
}

ImageList ImageList::from_bitmap_strip(HINSTANCE module, int bitmap_id, int image_width, COLORREF mask)
{
    return ImageList(ImageList_LoadImageA(module, MAKEINTRESOURCEA(bitmap_id), image_width, 8, mask, IMAGE_BITMAP,
                                          LR_CREATEDIBSECTION));
}

int ImageList::add_icon_resource(HINSTANCE module, int icon_id) const
{
    SIZE size = image_size();
    IconHandle icon = load_icon(module, icon_id, size.cx, size.cy);
    return icon ? add_icon(icon.get()) : -1;
}

SIZE ImageList::image_size() const
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(get(), &cx, &cy);
    return SIZE{cx, cy};
}

}  // namespace kivo::ui
