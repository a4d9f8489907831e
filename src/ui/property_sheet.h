#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/dialog.h"

namespace kivo::ui {

class PropertySheetDialog;

// One page of a property sheet or wizard, a child dialog from a template. The
// sheet creates a page's window the first time the page is shown, so pages
// never shown get no on_init, no on_apply and no on_reset.
class PropertyPage : public Dialog {
public:
    // Whether the page's window was ever made (the page was shown).
    bool was_shown() const { return shown_; }
    HWND sheet_hwnd() const { return hwnd() ? GetParent(hwnd()) : nullptr; }

protected:
    // PSN_SETACTIVE: the page is about to be shown. False refuses it (the
    // sheet moves on to the next page in the direction of travel).
    virtual bool on_set_active() { return true; }
    // PSN_KILLACTIVE: the page is being left (another tab, OK, Next, Back).
    // False keeps the user on the page, e.g. after a validation message.
    virtual bool on_kill_active() { return true; }
    // PSN_APPLY, on every page that was shown. False keeps the sheet open
    // with this page current.
    virtual bool on_apply() { return true; }
    // PSN_RESET: the sheet is being cancelled.
    virtual void on_reset() {}
    // PSN_QUERYCANCEL: false refuses the cancel.
    virtual bool on_query_cancel() { return true; }
    // PSN_WIZBACK / PSN_WIZNEXT: 0 goes to the neighbouring page, -1 stays,
    // any other value is the template id of the page to go to.
    virtual int on_wizard_back() { return 0; }
    virtual int on_wizard_next() { return 0; }
    // PSN_WIZFINISH: false refuses to finish.
    virtual bool on_wizard_finish() { return true; }

    // PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH, PSWIZB_DISABLEDFINISH. The
    // sheet applies it after the current message (the call posts).
    void set_wizard_buttons(DWORD buttons);
    // Enables the sheet's Apply button.
    void mark_changed();

    // The sheet's own buttons end the sheet; a page's IDOK or IDCANCEL does
    // not end the page.
    void on_ok() override {}
    void on_cancel() override {}
    bool framework_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    void abandon() override;
    // A page that failed holds the sheet where it is: no further page is
    // applied and no page change or finish goes ahead before the cancel.
    LRESULT result_after_failure(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    friend class PropertySheetDialog;
    static INT_PTR CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    bool handle_sheet_notify(NMHDR* header, LRESULT& result);
    PropertySheetDialog* sheet_ = nullptr;
    bool shown_ = false;
};

// A property sheet, or a wizard, made of PropertyPage objects (which must
// outlive it). Exceptions thrown by a page's hooks end a modal sheet as if
// cancelled and are re-raised by run_modal.
class PropertySheetDialog {
public:
    struct PageArgs {
        HINSTANCE module = nullptr;
        int template_id = 0;
        std::string title;            // empty: the template's caption
        std::string header_title;     // Wizard97 header; empty: none
        std::string header_subtitle;
        bool hide_header = false;     // a Wizard97 exterior page (welcome, completion)
    };
    struct Args {
        HINSTANCE module = nullptr;   // for the bitmaps below
        std::string caption;
        HWND owner = nullptr;
        bool wizard = false;          // Wizard97 style
        int header_bitmap = 0;        // Wizard97 header bitmap resource; 0: none
        int watermark_bitmap = 0;     // Wizard97 watermark resource; 0: none
        unsigned start_page = 0;
        bool apply_button = false;    // property sheets only
    };

    PropertySheetDialog() = default;
    ~PropertySheetDialog();
    PropertySheetDialog(const PropertySheetDialog&) = delete;
    PropertySheetDialog& operator=(const PropertySheetDialog&) = delete;

    void add_page(PropertyPage& page, const PageArgs& args);

    // Runs the sheet modally: true when it ended with OK or Finish, false
    // when cancelled.
    bool run_modal(const Args& args);
    // Creates the sheet modelessly; it is registered with the thread's
    // message loops, which destroy it once OK or Cancel finished it.
    void create_modeless(const Args& args);
    void destroy();

    // The sheet's window while it exists.
    HWND hwnd() const { return hwnd_ && IsWindow(hwnd_) ? hwnd_ : nullptr; }
    bool is_modal() const { return modal_; }

private:
    friend class PropertyPage;
    INT_PTR create(const Args& args, bool modeless);
    static int CALLBACK sheet_callback(HWND hwnd, UINT message, LPARAM lparam);

    struct Entry {
        PropertyPage* page;
        PageArgs args;
    };
    std::vector<Entry> pages_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool accepted_ = false;  // a page applied, or the wizard finished
};

}  // namespace kivo::ui
