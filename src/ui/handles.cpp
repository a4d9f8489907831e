#include "ui/handles.h"

namespace kivo::ui {

IconHandle load_icon(HINSTANCE module, int resource_id, int width, int height)
{
    return IconHandle(static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(resource_id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

}  // namespace kivo::ui
