#pragma once
#include "appcore/column_layout.h"
#include "ui/list_view.h"

namespace kivo::views {

// Takes the widths and places the user gave the list's columns (each header
// item carries its column's kind) back into the layout.
void read_back_header(const ui::ListView& list, ColumnLayout& layout);

}  // namespace kivo::views
