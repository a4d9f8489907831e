#include "views/columns_dialog.h"

#include <algorithm>

#include "app/resource_ids.h"
#include "appcore/pane_texts.h"
#include "message_ids.h"
#include "platform/message_text.h"

namespace kivo::views {

ColumnsDialog::ColumnsDialog(ColumnLayout& layout) : layout_(layout), columns_(layout.records()) {}

std::string ColumnsDialog::row_text(const ColumnRecord& record) const
{
    return record.name + (record.show ? " - shown" : " - hidden");
}

bool ColumnsDialog::on_init()
{
    fill(0);
    SetFocus(item(IDC_COLUMN_LIST));
    return false;
}

void ColumnsDialog::fill(int select)
{
    filling_ = true;
    HWND list = item(IDC_COLUMN_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const ColumnRecord& record : columns_)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row_text(record).c_str()));
    selected_ = columns_.empty() ? -1 : std::clamp(select, 0, static_cast<int>(columns_.size()) - 1);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
    if (selected_ >= 0)
        SetDlgItemInt(hwnd(), IDC_COLUMN_WIDTH, static_cast<UINT>(std::max(columns_[static_cast<std::size_t>(selected_)].cx, 0)), FALSE);
    filling_ = false;
    update_buttons();
}

void ColumnsDialog::update_buttons()
{
    const int last = static_cast<int>(columns_.size()) - 1;
    const bool any = selected_ >= 0;
    const bool shown = any && columns_[static_cast<std::size_t>(selected_)].show;
    EnableWindow(item(IDC_COLUMN_MOVE_UP), any && selected_ > 0);
    EnableWindow(item(IDC_COLUMN_MOVE_DOWN), any && selected_ < last);
    EnableWindow(item(IDC_COLUMN_SHOW), any && !shown);
    EnableWindow(item(IDC_COLUMN_HIDE), any && shown);
    EnableWindow(item(IDC_COLUMN_WIDTH), any);
}

void ColumnsDialog::take_width()
{
    if (selected_ < 0 || filling_)
        return;
    char text[64] = {};
    GetDlgItemTextA(hwnd(), IDC_COLUMN_WIDTH, text, sizeof text);
    // The whole field must be a width in range: a pasted huge number would
    // otherwise wrap to a negative or absurd one.
    if (auto width = parse_column_width(text))
        columns_[static_cast<std::size_t>(selected_)].cx = *width;
}

bool ColumnsDialog::on_command(int id, int code, HWND control)
{
    const auto at = static_cast<std::size_t>(selected_);
    switch (id) {
    case IDC_COLUMN_LIST:
        if (code == LBN_SELCHANGE) {
            int chosen = static_cast<int>(SendMessageA(control, LB_GETCURSEL, 0, 0));
            if (chosen >= 0)
                fill(chosen);
        }
        return true;
    case IDC_COLUMN_MOVE_UP:
        if (selected_ > 0) {
            std::swap(columns_[at], columns_[at - 1]);
            fill(selected_ - 1);
        }
        return true;
    case IDC_COLUMN_MOVE_DOWN:
        if (selected_ >= 0 && at + 1 < columns_.size()) {
            std::swap(columns_[at], columns_[at + 1]);
            fill(selected_ + 1);
        }
        return true;
    case IDC_COLUMN_SHOW:
    case IDC_COLUMN_HIDE:
        if (selected_ >= 0) {
            columns_[at].show = id == IDC_COLUMN_SHOW;
            fill(selected_);
        }
        return true;
    case IDC_COLUMN_RESET: {
        ColumnLayout defaults = layout_;
        defaults.fill_defaults();
        columns_ = defaults.records();
        fill(0);
        SetFocus(item(IDC_COLUMN_LIST));
        return true;
    }
    case IDC_COLUMN_WIDTH:
        if (code == EN_CHANGE || code == EN_KILLFOCUS)
            take_width();
        return true;
    default:
        return false;
    }
}

void ColumnsDialog::on_ok()
{
    take_width();
    layout_.records() = columns_;
    layout_.renumber();
    end(IDOK);
}

bool run_columns_dialog(HINSTANCE module, HWND owner, ColumnLayout& layout)
{
    ColumnsDialog dialog(layout);
    return dialog.run_modal({module, IDD_COLUMNS, owner}) == IDOK;
}

}  // namespace kivo::views
