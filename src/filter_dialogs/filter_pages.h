#pragma once
// The pages of the Email Filter sheet. Each works on its own copy of its
// list and applies it on OK, only when it changed (the Friends and Spammers
// pages always store their check box).
#include <windows.h>

#include <string>
#include <vector>

#include "filter/email_filter.h"
#include "filter_dialogs/dialog_context.h"
#include "ui/image_list.h"
#include "ui/list_view.h"
#include "ui/tabbed_sheet.h"

namespace kivo::filter_dialogs {

// A page with a list view and Add, Edit and Delete buttons.
class ListPage : public ui::SheetPage {
public:
    ListPage(filter::EmailFilter& filters, const DialogContext& context) : filters_(filters), context_(context) {}
    bool changed() const { return changed_; }

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_notify(NMHDR* header, LRESULT& result) override;
    bool on_apply() override;

    virtual void add_columns() = 0;
    virtual int row_count() const = 0;
    virtual void draw_row(int row) = 0;
    virtual bool add_entry() = 0;
    virtual bool edit_entry(int row) = 0;
    virtual void remove_entry(int row) = 0;
    virtual bool apply() = 0;
    virtual std::string title() const = 0;
    virtual DWORD list_style() const { return LVS_EX_FULLROWSELECT; }

    void fill();
    ui::ListView list() const { return ui::ListView(hwnd(), 1088); }
    int mark_image(bool uncertain) const { return uncertain ? 0 : 1; }

    filter::EmailFilter& filters_;
    const DialogContext& context_;
    bool changed_ = false;
    bool filling_ = false;

private:
    ui::ImageList icons_;
};

class WordPage : public ListPage {
public:
    WordPage(filter::EmailFilter& filters, const DialogContext& context, filter::WordList which);
    const std::vector<filter::WordFilter>& entries() const { return entries_; }

protected:
    void add_columns() override;
    int row_count() const override { return static_cast<int>(entries_.size()); }
    void draw_row(int row) override;
    bool add_entry() override;
    bool edit_entry(int row) override;
    void remove_entry(int row) override { entries_.erase(entries_.begin() + row); }
    bool apply() override;
    std::string title() const override;

private:
    filter::WordList which_;
    std::vector<filter::WordFilter> entries_;
};

class SizePage : public ListPage {
public:
    SizePage(filter::EmailFilter& filters, const DialogContext& context)
        : ListPage(filters, context), entries_(filters.sizeList())
    {
    }

protected:
    void add_columns() override;
    int row_count() const override { return static_cast<int>(entries_.size()); }
    void draw_row(int row) override;
    bool add_entry() override;
    bool edit_entry(int row) override;
    void remove_entry(int row) override { entries_.erase(entries_.begin() + row); }
    bool apply() override { return filters_.ApplySizePage(entries_); }
    std::string title() const override;

private:
    std::vector<filter::SizeFilter> entries_;
};

// The power filters, with a check box per row for "enabled".
class PowerPage : public ListPage {
public:
    PowerPage(filter::EmailFilter& filters, const DialogContext& context)
        : ListPage(filters, context), entries_(filters.powerList())
    {
    }

protected:
    bool on_notify(NMHDR* header, LRESULT& result) override;
    DWORD list_style() const override { return LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES; }
    void add_columns() override;
    int row_count() const override { return static_cast<int>(entries_.size()); }
    void draw_row(int row) override;
    bool add_entry() override;
    bool edit_entry(int row) override;
    void remove_entry(int row) override { entries_.erase(entries_.begin() + row); }
    bool apply() override { return filters_.ApplyPowerPage(entries_); }
    std::string title() const override;

private:
    std::vector<filter::PowerFilter> entries_;
};

// The Friends or Spammers page: the addresses of friends.dat or spammers.dat
// in a sorted list box and the check box that turns the list on.
class AddressPage : public ui::SheetPage {
public:
    AddressPage(filter::EmailFilter& filters, const DialogContext& context, filter::AddressList which);

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_apply() override;

private:
    bool friends() const { return which_ == filter::AddressList::friends; }
    int id(int friends_id, int spammers_id) const { return friends() ? friends_id : spammers_id; }
    void refill(const std::string& select);

    filter::EmailFilter& filters_;
    const DialogContext& context_;
    filter::AddressList which_;
    std::vector<std::string> addresses_;
    bool check_ = false;
    bool addresses_changed_ = false;
};

}  // namespace kivo::filter_dialogs
