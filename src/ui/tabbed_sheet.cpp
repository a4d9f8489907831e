#include "ui/tabbed_sheet.h"

#include <commctrl.h>

#include <algorithm>

namespace kivo::ui {
namespace {
// A message of the sheet's own, registered so it can never collide with the
// messages of a dialog built on the sheet.
UINT resync_message()
{
    static const UINT message = RegisterWindowMessageA("Kivo.TabbedSheet.Resync");
    return message;
}
}  // namespace

void SheetPage::abandon()
{
    if (sheet_)
        sheet_->abandon();
}

void TabbedSheet::add_page(SheetPage& page, const PageArgs& args)
{
    page.sheet_ = this;
    pages_.push_back(Entry{&page, args});
}

void TabbedSheet::set_up()
{
    current_ = -1;
    HWND tab = tab_control();
    if (!tab)
        return;
    // The pages lie over the tab control's body: without clipping it would
    // paint over them.
    SetWindowLongPtrA(tab, GWL_STYLE, GetWindowLongPtrA(tab, GWL_STYLE) | WS_CLIPSIBLINGS);
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i].page->shown_ = false;
        TCITEMA tab_item{};
        tab_item.mask = TCIF_TEXT;
        tab_item.pszText = pages_[i].args.title.data();
        TabCtrl_InsertItem(tab, static_cast<int>(i), &tab_item);
    }
    if (!pages_.empty()) {
        TabCtrl_SetCurSel(tab, 0);
        show_page(0);
    }
}

void TabbedSheet::show_page(std::size_t index)
{
    if (index >= pages_.size())
        return;
    HWND tab = tab_control();
    SheetPage& page = *pages_[index].page;
    if (!page.hwnd()) {
        page.create_modeless(Dialog::CreateArgs{pages_[index].args.module, pages_[index].args.template_id, hwnd()});
        page.shown_ = true;
        RECT area{};
        GetWindowRect(tab, &area);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
        TabCtrl_AdjustRect(tab, FALSE, &area);
        // Right after the tab control in the Z order, so Tab walks from the
        // tabs into the page and on to the dialog's buttons.
        SetWindowPos(page.hwnd(), tab, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
    }
    if (current_ >= 0 && static_cast<std::size_t>(current_) != index) {
        HWND old = pages_[current_].page->hwnd();
        HWND focus = GetFocus();
        if (old && focus && (focus == old || IsChild(old, focus)))
            SetFocus(tab);
        if (old)
            ShowWindow(old, SW_HIDE);
    }
    current_ = static_cast<int>(index);
    ShowWindow(page.hwnd(), SW_SHOW);
    page.on_show();
}

bool TabbedSheet::select_page(std::size_t index)
{
    if (!hwnd() || index >= pages_.size())
        return false;
    if (current_ >= 0 && static_cast<std::size_t>(current_) == index)
        return true;
    if (current_ >= 0 && !pages_[current_].page->on_leave())
        return false;
    TabCtrl_SetCurSel(tab_control(), static_cast<int>(index));
    show_page(index);
    return true;
}

std::vector<std::size_t> TabbedSheet::apply_sequence() const
{
    std::vector<std::size_t> sequence;
    for (std::size_t index : apply_order_)
        if (index < pages_.size() && std::find(sequence.begin(), sequence.end(), index) == sequence.end())
            sequence.push_back(index);
    for (std::size_t index = 0; index < pages_.size(); ++index)
        if (std::find(sequence.begin(), sequence.end(), index) == sequence.end())
            sequence.push_back(index);
    return sequence;
}

bool TabbedSheet::apply_pages()
{
    if (current_ >= 0 && !pages_[current_].page->on_leave())
        return false;
    for (std::size_t index : apply_sequence()) {
        SheetPage& page = *pages_[index].page;
        if (!page.was_shown())
            continue;
        if (!page.on_apply()) {
            if (static_cast<std::size_t>(current_) != index) {
                TabCtrl_SetCurSel(tab_control(), static_cast<int>(index));
                show_page(index);
            }
            return false;
        }
    }
    return true;
}

void TabbedSheet::on_ok()
{
    if (apply_pages())
        end(IDOK);
}

bool TabbedSheet::framework_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)
{
    if (message == WM_INITDIALOG) {
        // Before on_init, so the derived sheet finds its first page made.
        set_up();
        return false;
    }
    if (message == WM_NEXTDLGCTL && LOWORD(lparam) == 0 && GetKeyState(VK_CONTROL) < 0 && pages_.size() > 1) {
        // Ctrl+Tab and Ctrl+Shift+Tab reach the dialog as "next control"
        // (the dialog manager treats them as Tab); they turn the pages
        // instead, as in the system's property sheets.
        std::size_t count = pages_.size();
        std::size_t from = current_ < 0 ? 0 : static_cast<std::size_t>(current_);
        select_page(wparam ? (from + count - 1) % count : (from + 1) % count);
        result = 0;
        return true;
    }
    if (message == resync_message()) {
        if (current_ >= 0 && TabCtrl_GetCurSel(tab_control()) != current_)
            TabCtrl_SetCurSel(tab_control(), current_);
        result = 0;
        return true;
    }
    if (message != WM_NOTIFY)
        return false;
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (!header || header->hwndFrom != tab_control())
        return false;
    switch (header->code) {
    case TCN_SELCHANGING:
        // TRUE keeps the current tab.
        result = (current_ >= 0 && !pages_[current_].page->on_leave()) ? TRUE : FALSE;
        // Some tab controls (Wine's, when the selection moves with the
        // focus) select the new tab even so; put the selection back once
        // the control is done, so the tabs never show another page's name.
        if (result)
            PostMessageA(hwnd(), resync_message(), 0, 0);
        return true;
    case TCN_SELCHANGE: {
        int chosen = TabCtrl_GetCurSel(tab_control());
        if (chosen >= 0)
            show_page(static_cast<std::size_t>(chosen));
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace kivo::ui
