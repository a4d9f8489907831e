#include "ui/modeless_registry.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace kivo::ui {
namespace {
struct Entry {
    HWND window;
    ModelessKind kind;
};
thread_local std::vector<Entry> entries;

bool contains(HWND root, HWND window)
{
    return window == root || IsChild(root, window);
}
}  // namespace

void register_modeless(HWND window, ModelessKind kind)
{
    unregister_modeless(window);
    entries.push_back(Entry{window, kind});
}

void unregister_modeless(HWND window)
{
    std::erase_if(entries, [window](const Entry& entry) { return entry.window == window; });
}

bool translate_modeless_message(MSG& msg)
{
    bool consumed = false;
    // A copy: handling the message may create or destroy modeless windows.
    std::vector<Entry> now = entries;
    for (const Entry& entry : now) {
        if (!IsWindow(entry.window)) {
            unregister_modeless(entry.window);
            continue;
        }
        if (!consumed && msg.hwnd && contains(entry.window, msg.hwnd)) {
            consumed = entry.kind == ModelessKind::property_sheet
                           ? PropSheet_IsDialogMessage(entry.window, &msg) != FALSE
                           : IsDialogMessageA(entry.window, &msg) != FALSE;
        }
        if (entry.kind == ModelessKind::property_sheet && IsWindow(entry.window) &&
            !PropSheet_GetCurrentPageHwnd(entry.window)) {
            unregister_modeless(entry.window);
            DestroyWindow(entry.window);
        }
    }
    return consumed;
}

}  // namespace kivo::ui
