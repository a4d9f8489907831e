#include "appcore/column_layout.h"

#include <algorithm>

#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

namespace kivo {

using platform::RegKey;
using platform::RegRoot;

namespace {
// A stored width beyond any screen is damage, not a choice.
constexpr std::uint32_t kMaxWidth = 10000;
// Far more places than any list has columns; above it (or negative) is damage.
constexpr std::uint32_t kMaxOrder = 1000;
}  // namespace

ColumnLayout::ColumnLayout(std::string key, std::vector<Default> defaults)
    : key_(std::move(key)), defaults_(std::move(defaults))
{
    fill_defaults();
}

ColumnLayout ColumnLayout::accounts() { return accounts(std::string(kRegistryRoot) + "\\CustomizeControls"); }

ColumnLayout ColumnLayout::messages() { return messages(std::string(kRegistryRoot) + "\\CustomizeControls"); }

ColumnLayout ColumnLayout::accounts(const std::string& controls_key)
{
    return ColumnLayout(controls_key + "\\CustomizeAccountsList\\Columns",
                        {{MSG_COL_ACCOUNT, 92},
                         {MSG_COL_SERVER, 92},
                         {MSG_COL_USER, 92},
                         {MSG_COL_TOTAL_MSGS, 92},
                         {MSG_COL_NEW_MESSAGES, 92},
                         {MSG_COL_STATE, 94},
                         {MSG_COL_LAST_CHECK, 94},
                         {MSG_COL_MAILBOX_SIZE, 94}});
}

ColumnLayout ColumnLayout::messages(const std::string& controls_key)
{
    return ColumnLayout(controls_key + "\\CustomizeMessagesList\\Columns",
                        {{MSG_COL_FROM, 180},
                         {MSG_COL_SUBJECT, 190},
                         {MSG_COL_PRIORITY, 20},
                         {MSG_COL_DATE, 94},
                         {MSG_COL_ATTACH, 20},
                         {MSG_COL_SIZE, 94}});
}

void ColumnLayout::fill_defaults()
{
    records_.clear();
    std::int32_t order = 0;
    for (const Default& column : defaults_)
        records_.push_back(ColumnRecord{platform::message_text(column.kind), true, column.kind, column.cx, order++});
}

void ColumnLayout::sort_by_order()
{
    std::stable_sort(records_.begin(), records_.end(),
                     [](const ColumnRecord& a, const ColumnRecord& b) { return a.order < b.order; });
}

void ColumnLayout::renumber()
{
    std::int32_t order = 0;
    for (ColumnRecord& record : records_)
        record.order = order++;
}

void ColumnLayout::load()
{
    fill_defaults();
    RegKey key = RegKey::open_or_create(RegRoot::current_user, key_);
    if (key) {
        for (const std::string& name : key.subkeys()) {
            auto known = std::find_if(records_.begin(), records_.end(),
                                      [&](const ColumnRecord& r) { return r.name == name; });
            if (known == records_.end())
                continue;
            RegKey column = RegKey::open_read(RegRoot::current_user, key_ + "\\" + name);
            std::uint32_t show = 0, kind = 0, cx = 0, order = 0;
            if (!column || !column.read_dword("Show", show) || !column.read_dword("Kind", kind) ||
                !column.read_dword("cx", cx) || !column.read_dword("order", order))
                continue;
            // A subkey that claims another column's kind, or holds a width
            // or place beyond any real one, is damage: it is ignored whole,
            // so the column keeps its default rather than half a record.
            if (kind != known->kind || cx > kMaxWidth || order > kMaxOrder)
                continue;
            known->show = show == 1;
            known->cx = static_cast<std::int32_t>(cx);
            known->order = static_cast<std::int32_t>(order);
        }
    }
    sort_by_order();
    renumber();  // whatever numbers were stored, positions from here on
}

void ColumnLayout::save() const
{
    if (!RegKey::open_or_create(RegRoot::current_user, key_))
        return;
    for (const ColumnRecord& record : records_) {
        RegKey column = RegKey::open_or_create(RegRoot::current_user, key_ + "\\" + record.name);
        if (!column)
            continue;
        column.write_dword("Show", record.show ? 1 : 0);
        column.write_dword("Kind", record.kind);
        column.write_dword("cx", static_cast<std::uint32_t>(record.cx));
        column.write_dword("order", static_cast<std::uint32_t>(record.order));
    }
}

void ColumnLayout::read_back(const std::vector<HeaderItem>& header)
{
    std::vector<bool> seen(records_.size(), false);
    std::int32_t shown_count = 0;
    for (const HeaderItem& item : header) {
        if (item.record >= records_.size() || seen[item.record])
            continue;
        seen[item.record] = true;
        records_[item.record].cx = item.cx;
        records_[item.record].order = item.order;
        ++shown_count;
    }
    // Hidden (and unreported) columns go after the shown ones, keeping their sequence.
    std::int32_t next = shown_count;
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (!seen[i])
            records_[i].order = next++;
    sort_by_order();
}

std::vector<const ColumnRecord*> ColumnLayout::shown() const
{
    std::vector<const ColumnRecord*> out;
    for (const ColumnRecord& record : records_)
        if (record.show)
            out.push_back(&record);
    return out;
}

}  // namespace kivo
