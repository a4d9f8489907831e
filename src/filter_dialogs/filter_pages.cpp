#include "filter_dialogs/filter_pages.h"

#include "app/resource_ids.h"
#include "filter/address_file.h"
#include "filter_dialogs/edit_dialogs.h"
#include "filter_dialogs/entry_rules.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/button.h"
#include "ui/list_box.h"

#include <algorithm>

namespace kivo::filter_dialogs {

using platform::message_text;

bool ListPage::on_init()
{
    ui::ListView view = list();
    view.set_extended_style(list_style(), list_style());
    icons_ = ui::ImageList::small_icons(3);
    icons_.add_icon_resource(context_.module, IDI_MESSAGE_UNCERTAIN);
    icons_.add_icon_resource(context_.module, IDI_MESSAGE_DELETED);
    icons_.add_icon_resource(context_.module, IDI_MESSAGE_FRIEND);
    view.set_image_list(icons_.get());
    add_columns();
    fill();
    return true;
}

void ListPage::fill()
{
    filling_ = true;
    ui::ListView view = list();
    view.delete_all_items();
    for (int row = 0; row < row_count(); ++row) {
        view.add_item("");
        draw_row(row);
    }
    filling_ = false;
}

bool ListPage::on_command(int id, int code, HWND)
{
    if (code != BN_CLICKED)
        return false;
    ui::ListView view = list();
    int row = view.first_selected();
    switch (id) {
    case IDC_PAGE_ADD:
        if (add_entry()) {
            changed_ = true;
            fill();
            view.select(row_count() - 1);
            view.ensure_visible(row_count() - 1);
        }
        return true;
    case IDC_PAGE_EDIT:
        if (row >= 0 && row < row_count() && edit_entry(row)) {
            changed_ = true;
            filling_ = true;
            draw_row(row);
            filling_ = false;
        }
        return true;
    case IDC_PAGE_DELETE:
        if (row >= 0 && row < row_count() &&
            context_.ask(hwnd(), MSG_FD_DELETE_FILTER, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            remove_entry(row);
            changed_ = true;
            fill();
        }
        return true;
    default:
        return false;
    }
}

bool ListPage::on_notify(NMHDR* header, LRESULT&)
{
    if (header->idFrom == IDC_PAGE_LIST && header->code == NM_DBLCLK) {
        SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PAGE_EDIT, BN_CLICKED), 0);
        return true;
    }
    return false;
}

bool ListPage::on_apply()
{
    if (!changed_)
        return true;
    if (!apply()) {
        context_.ask(sheet() ? sheet()->hwnd() : hwnd(), MSG_FD_APPLY_FAILED, MB_OK | MB_ICONWARNING, {title()});
        return false;
    }
    changed_ = false;
    return true;
}

// ---- word pages

WordPage::WordPage(filter::EmailFilter& filters, const DialogContext& context, filter::WordList which)
    : ListPage(filters, context), which_(which)
{
    entries_ = which == filter::WordList::from      ? filters.fromList()
               : which == filter::WordList::subject ? filters.subjectList()
                                                    : filters.toCcList();
}

void WordPage::add_columns()
{
    ui::ListView view = list();
    view.insert_column(0, message_text(MSG_FD_COLUMN_ICON), 36);
    view.insert_column(1, message_text(MSG_FD_COLUMN_WORDS), 222);
    view.insert_column(2, message_text(MSG_FD_COLUMN_USE_CASE), 70);
}

void WordPage::draw_row(int row)
{
    ui::ListView view = list();
    const filter::WordFilter& entry = entries_[static_cast<std::size_t>(row)];
    view.set_item_image(row, 0, mark_image(entry.uncertain));
    view.set_item_text(row, 1, entry.text);
    view.set_item_text(row, 2, message_text(entry.useCase ? MSG_FD_YES : MSG_FD_NO));
}

bool WordPage::add_entry()
{
    filter::WordFilter entry;
    if (!edit_word(hwnd(), context_, which_, entry))
        return false;
    entries_.push_back(std::move(entry));
    return true;
}

bool WordPage::edit_entry(int row)
{
    return edit_word(hwnd(), context_, which_, entries_[static_cast<std::size_t>(row)]);
}

bool WordPage::apply()
{
    switch (which_) {
    case filter::WordList::from:
        return filters_.ApplyFromPage(entries_);
    case filter::WordList::subject:
        return filters_.ApplySubjectPage(entries_);
    default:
        return filters_.ApplyToCcPage(entries_);
    }
}

std::string WordPage::title() const
{
    return message_text(which_ == filter::WordList::from      ? MSG_FD_TAB_FROM
                        : which_ == filter::WordList::subject ? MSG_FD_TAB_SUBJECT
                                                              : MSG_FD_TAB_TOCC);
}

// ---- size page

void SizePage::add_columns()
{
    ui::ListView view = list();
    view.insert_column(0, message_text(MSG_FD_COLUMN_ICON), 36);
    view.insert_column(1, message_text(MSG_FD_COLUMN_SMALLER), 145);
    view.insert_column(2, message_text(MSG_FD_COLUMN_LARGER), 145);
}

void SizePage::draw_row(int row)
{
    ui::ListView view = list();
    const filter::SizeFilter& entry = entries_[static_cast<std::size_t>(row)];
    view.set_item_image(row, 0, mark_image(entry.uncertain));
    view.set_item_text(row, 1, entry.lower_set() ? kb_text(entry.lowerBound) : "");
    view.set_item_text(row, 2, entry.upper_set() ? kb_text(entry.upperBound) : "");
}

bool SizePage::add_entry()
{
    filter::SizeFilter entry;
    if (!edit_size(hwnd(), context_, entry))
        return false;
    entries_.push_back(entry);
    return true;
}

bool SizePage::edit_entry(int row)
{
    return edit_size(hwnd(), context_, entries_[static_cast<std::size_t>(row)]);
}

std::string SizePage::title() const
{
    return message_text(MSG_FD_TAB_SIZE);
}

// ---- power page

void PowerPage::add_columns()
{
    ui::ListView view = list();
    view.insert_column(0, "", 40);  // the check box and the mark side by side
    view.insert_column(1, "", 216);
}

void PowerPage::draw_row(int row)
{
    ui::ListView view = list();
    const filter::PowerFilter& entry = entries_[static_cast<std::size_t>(row)];
    view.set_item_image(row, 0, entry.mark() == filter::PowerMark::uncertain ? 0 : 1);
    view.set_item_text(row, 1, entry.name);
    ListView_SetCheckState(view.hwnd(), row, entry.state == 0);
}

bool PowerPage::on_notify(NMHDR* header, LRESULT& result)
{
    if (header->idFrom == IDC_PAGE_LIST && header->code == LVN_ITEMCHANGED && !filling_) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        // The state image is the check box: 1 unchecked, 2 checked.
        if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) &&
            change->iItem >= 0 && change->iItem < row_count() && (change->uOldState & LVIS_STATEIMAGEMASK)) {
            bool on = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
            std::int32_t state = on ? 0 : 1;
            filter::PowerFilter& entry = entries_[static_cast<std::size_t>(change->iItem)];
            if (entry.state != state) {
                entry.state = state;
                changed_ = true;
            }
        }
        return true;
    }
    return ListPage::on_notify(header, result);
}

bool PowerPage::add_entry()
{
    filter::PowerFilter entry;
    if (!edit_power(hwnd(), context_, entry))
        return false;
    entries_.push_back(std::move(entry));
    return true;
}

bool PowerPage::edit_entry(int row)
{
    return edit_power(hwnd(), context_, entries_[static_cast<std::size_t>(row)]);
}

std::string PowerPage::title() const
{
    return message_text(MSG_FD_TAB_POWER);
}

// ---- friends and spammers

AddressPage::AddressPage(filter::EmailFilter& filters, const DialogContext& context, filter::AddressList which)
    : filters_(filters), context_(context), which_(which)
{
}

bool AddressPage::on_init()
{
    addresses_ = filter::ReadAddresses(
        filters_.file_path(friends() ? filter::kFriendsFileName : filter::kSpammersFileName));
    check_ = friends() ? filters_.checkFriends() : filters_.checkSpammers();
    ui::CheckBox(hwnd(), id(IDC_FRIENDS_CHECK, IDC_SPAMMERS_CHECK)).set_checked(check_);
    refill("");
    return true;
}

void AddressPage::refill(const std::string& select)
{
    ui::ListBox box(hwnd(), id(IDC_FRIENDS_LIST, IDC_SPAMMERS_LIST));
    box.clear();
    for (const std::string& address : addresses_)
        box.add(address);
    if (!select.empty())
        box.select(box.find_exact(select));
}

bool AddressPage::on_command(int control, int code, HWND)
{
    if (code != BN_CLICKED && code != LBN_DBLCLK)
        return false;
    ui::ListBox box(hwnd(), id(IDC_FRIENDS_LIST, IDC_SPAMMERS_LIST));
    int row = box.selection();
    if (control == id(IDC_FRIENDS_CHECK, IDC_SPAMMERS_CHECK)) {
        check_ = ui::CheckBox(hwnd(), control).is_checked();
        return true;
    }
    if (control == id(IDC_FRIENDS_ADD, IDC_SPAMMERS_ADD)) {
        std::string address;
        if (edit_address(hwnd(), context_, which_, address)) {
            addresses_.push_back(address);
            addresses_changed_ = true;
            refill(address);
        }
        return true;
    }
    bool edit = control == id(IDC_FRIENDS_EDIT, IDC_SPAMMERS_EDIT) ||
                (control == id(IDC_FRIENDS_LIST, IDC_SPAMMERS_LIST) && code == LBN_DBLCLK);
    bool remove = control == id(IDC_FRIENDS_DELETE, IDC_SPAMMERS_DELETE);
    if (!edit && !remove)
        return false;
    if (row < 0)
        return true;
    std::string old = box.item_text(row);
    auto where = std::find(addresses_.begin(), addresses_.end(), old);
    if (where == addresses_.end())
        return true;
    if (edit) {
        std::string address = old;
        if (edit_address(hwnd(), context_, which_, address)) {
            *where = address;
            addresses_changed_ = true;
            refill(address);
        }
    } else if (context_.ask(hwnd(), friends() ? MSG_FD_DELETE_FRIEND : MSG_FD_DELETE_SPAMMER,
                            MB_YESNO | MB_ICONQUESTION) == IDYES) {
        // A deletion alone is a change of the list too, and must be saved.
        addresses_.erase(where);
        addresses_changed_ = true;
        refill("");
    }
    return true;
}

bool AddressPage::on_apply()
{
    // The file keeps the order the page shows: sorted.
    std::vector<std::string> sorted;
    ui::ListBox box(hwnd(), id(IDC_FRIENDS_LIST, IDC_SPAMMERS_LIST));
    for (int row = 0; row < box.count(); ++row)
        sorted.push_back(box.item_text(row));
    bool ok = friends() ? filters_.ApplyFriendsPage(check_, addresses_changed_ ? &sorted : nullptr)
                        : filters_.ApplySpammersPage(check_, addresses_changed_ ? &sorted : nullptr);
    if (!ok) {
        context_.ask(sheet() ? sheet()->hwnd() : hwnd(), MSG_FD_APPLY_FAILED, MB_OK | MB_ICONWARNING,
                     {message_text(friends() ? MSG_FD_TAB_FRIENDS : MSG_FD_TAB_SPAMMERS)});
        return false;
    }
    addresses_changed_ = false;
    return true;
}

}  // namespace kivo::filter_dialogs
