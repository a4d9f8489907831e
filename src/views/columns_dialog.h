#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "appcore/column_layout.h"
#include "ui/dialog.h"

namespace kivo::views {

// The Columns dialog (199) over a copy of a list's columns: their order,
// visibility and widths. On OK the layout takes the dialog's list (order =
// place in it); the caller saves and applies it.
class ColumnsDialog : public ui::Dialog {
public:
    explicit ColumnsDialog(ColumnLayout& layout);
    const std::vector<ColumnRecord>& columns() const { return columns_; }
    int selected() const { return selected_; }

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    void on_ok() override;

private:
    void fill(int select);
    void update_buttons();
    void take_width();
    std::string row_text(const ColumnRecord& record) const;

    ColumnLayout& layout_;
    std::vector<ColumnRecord> columns_;
    int selected_ = 0;
    bool filling_ = false;
};

// Runs the dialog modally; true when it ended with OK (the layout changed).
bool run_columns_dialog(HINSTANCE module, HWND owner, ColumnLayout& layout);

}  // namespace kivo::views
