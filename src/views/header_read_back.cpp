#include "views/header_read_back.h"

#include <algorithm>
#include <vector>

#include "ui/header_control.h"

namespace kivo::views {

void read_back_header(const ui::ListView& list, ColumnLayout& layout)
{
    ui::HeaderControl header = list.header();
    std::vector<ColumnLayout::HeaderItem> items;
    auto& records = layout.records();
    for (int i = 0; i < header.count(); ++i) {
        auto kind = static_cast<std::uint32_t>(header.item_data(i));
        auto found = std::find_if(records.begin(), records.end(),
                                  [&](const ColumnRecord& r) { return r.kind == kind; });
        if (found != records.end())
            items.push_back({static_cast<std::size_t>(found - records.begin()), header.item_width(i),
                             header.item_order(i)});
    }
    layout.read_back(items);
}

}  // namespace kivo::views
