#include "ui/property_sheet.h"

#include <stdexcept>
#include <system_error>

#include "ui/callback_guard.h"
#include "ui/modeless_registry.h"

namespace kivo::ui {
namespace {
// The sheet whose window is being made: the sheet callback gets no
// parameter of ours, and a sheet is made in one call on one thread.
thread_local PropertySheetDialog* sheet_being_made = nullptr;
}  // namespace

void PropertyPage::set_wizard_buttons(DWORD buttons)
{
    if (HWND sheet = sheet_hwnd())
        PropSheet_SetWizButtons(sheet, buttons);
}

void PropertyPage::mark_changed()
{
    if (HWND sheet = sheet_hwnd())
        PropSheet_Changed(sheet, hwnd());
}

bool PropertyPage::framework_message(UINT message, WPARAM, LPARAM lparam, LRESULT& result)
{
    if (message != WM_NOTIFY)
        return false;
    return handle_sheet_notify(reinterpret_cast<NMHDR*>(lparam), result);
}

bool PropertyPage::handle_sheet_notify(NMHDR* header, LRESULT& result)
{
    if (!header || header->hwndFrom != sheet_hwnd())
        return false;
    switch (header->code) {
    case PSN_SETACTIVE:
        result = on_set_active() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        result = on_kill_active() ? FALSE : TRUE;
        return true;
    case PSN_APPLY: {
        bool accepted = on_apply();
        if (accepted && sheet_)
            sheet_->accepted_ = true;
        result = accepted ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    }
    case PSN_RESET:
        if (sheet_)
            sheet_->accepted_ = false;
        on_reset();
        result = 0;
        return true;
    case PSN_QUERYCANCEL:
        result = on_query_cancel() ? FALSE : TRUE;
        return true;
    case PSN_WIZBACK:
        result = on_wizard_back();
        return true;
    case PSN_WIZNEXT:
        result = on_wizard_next();
        return true;
    case PSN_WIZFINISH: {
        bool accepted = on_wizard_finish();
        if (accepted && sheet_)
            sheet_->accepted_ = true;
        result = accepted ? FALSE : TRUE;
        return true;
    }
    default:
        return false;
    }
}

void PropertyPage::abandon()
{
    // Cancel the modal sheet from its own loop, once this message is over.
    HWND sheet = sheet_hwnd();
    if (sheet_ && sheet_->modal_ && sheet)
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

LRESULT PropertyPage::result_after_failure(UINT message, WPARAM, LPARAM lparam)
{
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (message != WM_NOTIFY || !header || header->hwndFrom != sheet_hwnd())
        return 0;
    switch (header->code) {
    case PSN_APPLY:
        return PSNRET_INVALID_NOCHANGEPAGE;
    case PSN_KILLACTIVE:
    case PSN_WIZFINISH:
        return TRUE;
    case PSN_WIZBACK:
    case PSN_WIZNEXT:
        return -1;
    default:
        // PSN_QUERYCANCEL included: the cancel that follows must go ahead.
        return 0;
    }
}

INT_PTR CALLBACK PropertyPage::page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    PropertyPage* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<PropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lparam)->lParam);
        self->shown_ = true;
    }
    return dispatch(self, hwnd, message, wparam, lparam);
}

PropertySheetDialog::~PropertySheetDialog()
{
    destroy();
}

void PropertySheetDialog::add_page(PropertyPage& page, const PageArgs& args)
{
    pages_.push_back(Entry{&page, args});
}

void PropertySheetDialog::destroy()
{
    if (hwnd() && !modal_) {
        unregister_modeless(hwnd_);
        DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

int CALLBACK PropertySheetDialog::sheet_callback(HWND hwnd, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED && sheet_being_made) {
        sheet_being_made->hwnd_ = hwnd;
    }
    return 0;
}

INT_PTR PropertySheetDialog::create(const Args& args, bool modeless)
{
    if (pages_.empty())
        throw std::invalid_argument("a property sheet needs a page");
    std::vector<PROPSHEETPAGEA> descriptors;
    descriptors.reserve(pages_.size());
    for (Entry& entry : pages_) {
        entry.page->sheet_ = this;
        entry.page->shown_ = false;
        PROPSHEETPAGEA page{};
        page.dwSize = sizeof(page);
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = entry.args.module;
        page.pszTemplate = MAKEINTRESOURCEA(entry.args.template_id);
        page.pfnDlgProc = &PropertyPage::page_proc;
        page.lParam = reinterpret_cast<LPARAM>(entry.page);
        if (!entry.args.title.empty()) {
            page.dwFlags |= PSP_USETITLE;
            page.pszTitle = entry.args.title.c_str();
        }
        if (args.wizard) {
            if (entry.args.hide_header) {
                page.dwFlags |= PSP_HIDEHEADER;
            } else {
                if (!entry.args.header_title.empty()) {
                    page.dwFlags |= PSP_USEHEADERTITLE;
                    page.pszHeaderTitle = entry.args.header_title.c_str();
                }
                if (!entry.args.header_subtitle.empty()) {
                    page.dwFlags |= PSP_USEHEADERSUBTITLE;
                    page.pszHeaderSubTitle = entry.args.header_subtitle.c_str();
                }
            }
        }
        descriptors.push_back(page);
    }

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hwndParent = args.owner;
    header.hInstance = args.module;
    header.pszCaption = args.caption.c_str();
    header.nPages = static_cast<UINT>(descriptors.size());
    header.nStartPage = args.start_page < descriptors.size() ? args.start_page : 0;
    header.ppsp = descriptors.data();
    header.pfnCallback = &PropertySheetDialog::sheet_callback;
    if (args.wizard) {
        header.dwFlags |= PSH_WIZARD97;
        // The header band, with the pages' titles and subtitles, is drawn
        // only with PSH_HEADER, whether or not there is a bitmap for it.
        bool titled = false;
        for (const Entry& entry : pages_)
            titled = titled || !entry.args.header_title.empty() || !entry.args.header_subtitle.empty();
        if (args.header_bitmap || titled)
            header.dwFlags |= PSH_HEADER;
        if (args.header_bitmap)
            header.pszbmHeader = MAKEINTRESOURCEA(args.header_bitmap);
        if (args.watermark_bitmap) {
            header.dwFlags |= PSH_WATERMARK;
            header.pszbmWatermark = MAKEINTRESOURCEA(args.watermark_bitmap);
        }
    } else if (!args.apply_button) {
        header.dwFlags |= PSH_NOAPPLYNOW;
    }
    if (modeless)
        header.dwFlags |= PSH_MODELESS;

    hwnd_ = nullptr;
    accepted_ = false;
    modal_ = !modeless;
    PropertySheetDialog* outer = sheet_being_made;
    sheet_being_made = this;
    INT_PTR result = PropertySheetA(&header);
    DWORD error = GetLastError();
    sheet_being_made = outer;
    if (result == -1 && !has_parked_exception()) {
        modal_ = false;
        throw std::system_error(static_cast<int>(error), std::system_category(), "PropertySheetDialog");
    }
    return result;
}

bool PropertySheetDialog::run_modal(const Args& args)
{
    create(args, false);
    modal_ = false;
    hwnd_ = nullptr;
    rethrow_parked_exception();
    return accepted_;
}

void PropertySheetDialog::create_modeless(const Args& args)
{
    INT_PTR result = create(args, true);
    if (!hwnd_)
        hwnd_ = reinterpret_cast<HWND>(result);
    if (has_parked_exception()) {
        destroy();
        rethrow_parked_exception();
    }
    register_modeless(hwnd_, ModelessKind::property_sheet);
}

}  // namespace kivo::ui
