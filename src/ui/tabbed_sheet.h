#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ui/dialog.h"

namespace kivo::ui {

class TabbedSheet;

// One page of a TabbedSheet: a child dialog (template style WS_CHILD |
// DS_CONTROL) that the sheet creates the first time its tab is chosen and
// then shows and hides with the tab.
class SheetPage : public Dialog {
public:
    // Whether the page's window was ever made (its tab was chosen).
    bool was_shown() const { return shown_; }
    TabbedSheet* sheet() const { return sheet_; }

protected:
    // Each time the page becomes the visible one.
    virtual void on_show() {}
    // Before another tab is chosen, and before OK applies the pages: false
    // keeps the user on this page.
    virtual bool on_leave() { return true; }
    // On OK, for each page that was shown: false keeps the sheet open with
    // this page chosen; the pages after it are not applied.
    virtual bool on_apply() { return true; }

    // OK and Cancel belong to the sheet.
    void on_ok() override {}
    void on_cancel() override {}
    // A failing page ends the sheet it is part of.
    void abandon() override;

private:
    friend class TabbedSheet;
    TabbedSheet* sheet_ = nullptr;
    bool shown_ = false;
};

// A dialog with a tab control whose tabs choose among child page dialogs.
// Pages are added before the dialog is run (or created); OK asks the current
// page to let go, applies every page that was shown, in the apply order, and
// ends the dialog with IDOK; Cancel ends it without applying anything.
// Ctrl+Tab and Ctrl+Shift+Tab turn to the next and previous page.
// The pages must outlive the dialog.
class TabbedSheet : public Dialog {
public:
    explicit TabbedSheet(int tab_control_id) : tab_id_(tab_control_id) {}

    struct PageArgs {
        HINSTANCE module = nullptr;
        int template_id = 0;
        std::string title;  // the tab's text
    };
    void add_page(SheetPage& page, const PageArgs& args);
    // Tab indexes in the order OK applies the pages; by default tab order.
    // Pages missing from the list are applied after it, in tab order.
    void set_apply_order(std::vector<std::size_t> order) { apply_order_ = std::move(order); }

    std::size_t page_count() const { return pages_.size(); }
    // The chosen tab, or -1 while the dialog does not exist.
    int current_page() const { return hwnd() ? current_ : -1; }
    // Chooses a tab as the user would (the current page may refuse).
    bool select_page(std::size_t index);
    HWND tab_control() const { return item(tab_id_); }

protected:
    // Lets the current page go and applies the shown pages; false when one
    // of them refused.
    bool apply_pages();
    void on_ok() override;
    bool framework_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    friend class SheetPage;
    void set_up();
    void show_page(std::size_t index);
    std::vector<std::size_t> apply_sequence() const;

    struct Entry {
        SheetPage* page;
        PageArgs args;
    };
    int tab_id_;
    std::vector<Entry> pages_;
    std::vector<std::size_t> apply_order_;
    int current_ = -1;
};

}  // namespace kivo::ui
