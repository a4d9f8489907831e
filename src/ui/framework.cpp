#include "ui/framework.h"

#include <windows.h>
#include <commctrl.h>

namespace kivo::ui {

void initialise_framework()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES;
    // Without it the controls would simply fail to appear later; nothing to
    // do about it here.
    InitCommonControlsEx(&controls);
}

}  // namespace kivo::ui
