#include "app/log_viewer.h"

#include <commctrl.h>

#include "app/resource_ids.h"

namespace kivo::app {

bool LogViewer::on_init()
{
    HWND list = item(IDC_LOG_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = kColumnWidth;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    refresh();
    SetTimer(hwnd(), kRefreshTimer, kRefreshMs, nullptr);
    return true;
}

void LogViewer::on_timer(UINT_PTR id)
{
    if (id == kRefreshTimer)
        refresh();
}

bool LogViewer::on_message(UINT message, WPARAM, LPARAM, LRESULT&)
{
    if (message == WM_DESTROY)
        KillTimer(hwnd(), kRefreshTimer);
    return false;
}

void LogViewer::refresh()
{
    HWND list = item(IDC_LOG_LIST);
    std::vector<std::string> rows = follower_.new_rows(log_.recent_numbered());
    if (rows.empty())
        return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (std::string& row : rows) {
        LVITEMA entry{};
        entry.mask = LVIF_TEXT;
        entry.iItem = row_count();
        entry.pszText = row.data();
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ListView_EnsureVisible(list, row_count() - 1, FALSE);
}

int LogViewer::row_count() const { return static_cast<int>(SendMessageA(item(IDC_LOG_LIST), LVM_GETITEMCOUNT, 0, 0)); }

}  // namespace kivo::app
