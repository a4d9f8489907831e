#pragma once
// The Power Filter Edit dialog 219. Its sound and URL "Test" buttons run
// the action on a worker thread with the button disabled, so a long sound
// or a slow server never freezes the window; the worker posts its end back.
#include <windows.h>

#include "filter/power_filter.h"
#include "filter_dialogs/dialog_context.h"
#include "platform/sync.h"
#include "ui/dialog.h"

namespace kivo::filter_dialogs {

class PowerEditDialog : public ui::Dialog {
public:
    PowerEditDialog(const DialogContext& context, filter::PowerFilter& filter) : context_(context), filter_(filter) {}
    // A test still running is waited for: its action uses the dialog's actions.
    ~PowerEditDialog() override;

    // Waits for the running tests to end (their end is then queued); for tests.
    void join_tests();

protected:
    bool on_init() override;
    bool on_command(int id, int code, HWND control) override;
    bool on_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    void on_ok() override;

private:
    static constexpr UINT kTestDone = WM_APP + 0x46;
    void update();
    void show_mark_icon();
    void browse(int edit, bool program);
    void run_test(int button, platform::Thread& worker, std::string argument, bool url);

    const DialogContext& context_;
    filter::PowerFilter& filter_;
    platform::Thread sound_worker_;
    platform::Thread url_worker_;
};

}  // namespace kivo::filter_dialogs
