#pragma once
#include <windows.h>

namespace kivo::ui {

// The base of every dialog of the program: one C++ object per dialog window,
// built from a dialog template. The object travels to the dialog procedure as
// the creation parameter and is kept in DWLP_USER from WM_INITDIALOG until
// WM_NCDESTROY; in between every message goes through the hooks below.
//
// Exceptions thrown by a hook never leave the dialog procedure: they are
// parked (ui/callback_guard.h), a modal dialog is ended at once, and the call
// that ran or created the dialog re-raises them. For a modeless dialog the
// message loop re-raises them after the message that failed.
class Dialog {
public:
    Dialog() = default;
    // Destroys a modeless dialog that still exists. By then the derived
    // object is gone and its hooks no longer run: a dialog whose hooks must
    // see WM_DESTROY calls destroy() in its own destructor.
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    struct CreateArgs {
        HINSTANCE module = nullptr;  // where the template lives
        int template_id = 0;
        HWND owner = nullptr;        // the owner, or the parent of a child dialog
    };

    // Runs the dialog modally and returns the value it ended with.
    INT_PTR run_modal(const CreateArgs& args);
    // Creates the dialog modelessly (shown only if its template says
    // WS_VISIBLE). A top-level one is registered with the thread's message
    // loops for dialog-key translation (Tab, Enter, Esc, mnemonics) until it
    // is destroyed.
    void create_modeless(const CreateArgs& args);
    void destroy();

    // Ends the dialog: a modal one returns `result` from run_modal, a
    // modeless one is destroyed.
    void end(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    bool is_modal() const { return modal_; }

    // The object bound to a dialog window, or null for any other window.
    static Dialog* from_handle(HWND hwnd);

protected:
    // WM_INITDIALOG. Return true to let the dialog manager give the focus to
    // the first control; false when the hook set the focus itself.
    virtual bool on_init() { return true; }
    // WM_COMMAND, first. Return true when handled; otherwise IDOK and
    // IDCANCEL go on to on_ok and on_cancel.
    virtual bool on_command(int id, int code, HWND control);
    // WM_NOTIFY. Return true when handled; `result` becomes the message's
    // result (DWLP_MSGRESULT).
    virtual bool on_notify(NMHDR* header, LRESULT& result);
    virtual void on_ok() { end(IDOK); }
    virtual void on_cancel() { end(IDCANCEL); }
    virtual void on_timer(UINT_PTR id);
    // Every message, before the typed hooks (WM_SIZE, WM_TIMER, application
    // messages, ...). Return true when handled, with its result. The result
    // of the few messages whose answer is the procedure's return value
    // (WM_CTLCOLOR..., WM_QUERYDRAGICON, ...) is returned as such; every
    // other one goes through DWLP_MSGRESULT.
    virtual bool on_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // For framework classes built on Dialog (pages, sheets): runs before
    // on_message, with the same contract.
    virtual bool framework_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    // Called after a hook threw, to stop whatever modal loop the dialog is
    // part of; the default ends a modal dialog.
    virtual void abandon();
    // The answer given for a message whose hook threw; the default, 0, is
    // "handled, nothing more".
    virtual LRESULT result_after_failure(UINT message, WPARAM wparam, LPARAM lparam);

    // For the dialog procedures of framework classes: binds `self` to the
    // window and hands it every message from then on.
    static INT_PTR dispatch(Dialog* self, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    static Dialog* bound(HWND hwnd);
    static void bind(Dialog* self, HWND hwnd);

private:
    static INT_PTR CALLBACK dialog_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT route(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

}  // namespace kivo::ui
