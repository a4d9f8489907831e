#include "ui/dialog.h"

#include <system_error>

#include "ui/callback_guard.h"
#include "ui/modeless_registry.h"

namespace kivo::ui {
namespace {
// Marks a window as one of our dialogs, so from_handle never takes another
// dialog's DWLP_USER for an object.
constexpr const char* kBoundProperty = "Kivo.Dialog";

// The messages whose answer is the dialog procedure's return value itself
// rather than DWLP_MSGRESULT.
bool returns_directly(UINT message)
{
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}
}  // namespace

Dialog::~Dialog()
{
    destroy();
}

INT_PTR Dialog::run_modal(const CreateArgs& args)
{
    modal_ = true;
    INT_PTR result = DialogBoxParamA(args.module, MAKEINTRESOURCEA(args.template_id), args.owner,
                                     &Dialog::dialog_proc, reinterpret_cast<LPARAM>(this));
    DWORD error = GetLastError();
    modal_ = false;
    rethrow_parked_exception();
    if (result == -1)
        throw std::system_error(static_cast<int>(error), std::system_category(), "DialogBoxParam");
    return result;
}

void Dialog::create_modeless(const CreateArgs& args)
{
    modal_ = false;
    HWND hwnd = CreateDialogParamA(args.module, MAKEINTRESOURCEA(args.template_id), args.owner,
                                   &Dialog::dialog_proc, reinterpret_cast<LPARAM>(this));
    DWORD error = GetLastError();
    if (has_parked_exception()) {
        // Half made: no window is left behind a failed initialisation.
        if (hwnd)
            DestroyWindow(hwnd);
        rethrow_parked_exception();
    }
    if (!hwnd)
        throw std::system_error(static_cast<int>(error), std::system_category(), "CreateDialogParam");
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD))
        register_modeless(hwnd, ModelessKind::dialog);
}

void Dialog::destroy()
{
    if (hwnd_ && !modal_)
        DestroyWindow(hwnd_);
}

void Dialog::end(INT_PTR result)
{
    if (!hwnd_)
        return;
    if (modal_)
        EndDialog(hwnd_, result);
    else
        DestroyWindow(hwnd_);
}

Dialog* Dialog::from_handle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    return static_cast<Dialog*>(GetPropA(hwnd, kBoundProperty));
}

bool Dialog::on_command(int, int, HWND)
{
    return false;
}

bool Dialog::on_notify(NMHDR*, LRESULT&)
{
    return false;
}

void Dialog::on_timer(UINT_PTR) {}

bool Dialog::on_message(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

bool Dialog::framework_message(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

void Dialog::abandon()
{
    if (modal_ && hwnd_)
        EndDialog(hwnd_, -1);
}

LRESULT Dialog::result_after_failure(UINT, WPARAM, LPARAM)
{
    return 0;
}

Dialog* Dialog::bound(HWND hwnd)
{
    return reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
}

void Dialog::bind(Dialog* self, HWND hwnd)
{
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    SetPropA(hwnd, kBoundProperty, self);
}

LRESULT Dialog::route(UINT message, WPARAM wparam, LPARAM lparam, bool& handled)
{
    LRESULT result = 0;
    handled = true;
    if (framework_message(message, wparam, lparam, result) || on_message(message, wparam, lparam, result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        return on_init() ? TRUE : FALSE;
    case WM_COMMAND: {
        int id = LOWORD(wparam);
        if (on_command(id, HIWORD(wparam), reinterpret_cast<HWND>(lparam)))
            return 0;
        if (id == IDOK) {
            on_ok();
            return 0;
        }
        if (id == IDCANCEL) {
            on_cancel();
            return 0;
        }
        break;
    }
    case WM_NOTIFY:
        if (on_notify(reinterpret_cast<NMHDR*>(lparam), result))
            return result;
        break;
    case WM_TIMER:
        on_timer(wparam);
        return 0;
    default:
        break;
    }
    handled = false;
    return 0;
}

INT_PTR Dialog::dispatch(Dialog* self, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG && self)
        bind(self, hwnd);
    else
        self = bound(hwnd);
    // WM_SETFONT and a few others come before WM_INITDIALOG, when no object
    // is bound yet: the dialog manager's defaults serve them.
    if (!self)
        return FALSE;

    INT_PTR answer = FALSE;
    try {
        bool handled = false;
        LRESULT result = self->route(message, wparam, lparam, handled);
        if (returns_directly(message)) {
            answer = handled ? static_cast<INT_PTR>(result) : (message == WM_INITDIALOG ? TRUE : FALSE);
        } else if (handled) {
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
            answer = TRUE;
        }
    } catch (...) {
        park_exception(std::current_exception());
        self->abandon();
        answer = message == WM_INITDIALOG ? FALSE : TRUE;
        if (!returns_directly(message))
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, self->result_after_failure(message, wparam, lparam));
    }
    if (message == WM_NCDESTROY) {
        unregister_modeless(hwnd);
        RemovePropA(hwnd, kBoundProperty);
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return answer;
}

INT_PTR CALLBACK Dialog::dialog_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    Dialog* self = message == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lparam) : nullptr;
    return dispatch(self, hwnd, message, wparam, lparam);
}

}  // namespace kivo::ui
