#include "dialogs/account_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "dialogs/account_security_choice.h"
#include "dialogs/dialog_ids.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/tls.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/common_dialogs.h"
#include "ui/dialog.h"
#include "ui/edit.h"
#include "ui/up_down.h"

namespace kivo::dialogs {
namespace {

constexpr int kPathLimit = 260;
constexpr std::uint32_t kModes[] = {MSG_DELETION_AUTOMATIC, MSG_DELETION_CONFIRM, MSG_DELETION_NEVER};

class AccountDialog : public ui::Dialog {
public:
    AccountDialog(const AccountDialogArgs& args, const AccountSettings& settings)
        : args_(args), base_(settings)
    {
    }
    AccountSettings result;

protected:
    bool on_init() override
    {
        ui::ComboBox modes;
        modes.attach(item(IDC_ACCOUNT_DELETION));
        int selected = 0;
        for (int i = 0; i < 3; ++i) {
            modes.add(platform::message_text(kModes[i]));
            if (base_.deletion_mode == kModes[i])
                selected = i;
        }
        modes.select(selected);
        fill_security_choice(item(IDC_ACCOUNT_SECURITY), base_.security);
        trusted_ = base_.trusted_fingerprint;
        untrusted_ = platform::normalise_fingerprint(args_.untrusted_fingerprint);
        show_certificates();

        AccountFormTexts t = form_of(base_);
        CheckDlgButton(hwnd(), IDC_ACCOUNT_SECURE, base_.secure_auth ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(hwnd(), IDC_ACCOUNT_CHECK_SIZE, t.check_mailbox_size ? BST_CHECKED : BST_UNCHECKED);
        ui::UpDown kb;
        kb.attach(item(IDC_ACCOUNT_KB_UPDOWN));
        kb.set_buddy(item(IDC_ACCOUNT_KB));
        kb.set_range(0, static_cast<int>(kMailboxKbLimit));
        const std::pair<int, int> limits[] = {{IDC_ACCOUNT_NAME, static_cast<int>(kAccountNameLimit) + 1},
                                              {IDC_ACCOUNT_HOST, kPathLimit},
                                              {IDC_ACCOUNT_USER, kPathLimit},
                                              {IDC_ACCOUNT_PASSWORD, kPathLimit},
                                              {IDC_ACCOUNT_PORT, 10},
                                              {IDC_ACCOUNT_INTERVAL, 10},
                                              {IDC_ACCOUNT_TIMEOUT, 10},
                                              {IDC_ACCOUNT_LINES, 10},
                                              {IDC_ACCOUNT_KB, 10},
                                              {IDC_ACCOUNT_LAUNCH_FILE, kPathLimit}};
        for (auto [id, limit] : limits)
            SendDlgItemMessageA(hwnd(), id, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
        filling_ = true;
        set(IDC_ACCOUNT_KB, t.mailbox_kb);
        set(IDC_ACCOUNT_LAUNCH_FILE, t.launch_file);
        set(IDC_ACCOUNT_NAME, t.name);
        set(IDC_ACCOUNT_HOST, t.host);
        set(IDC_ACCOUNT_USER, t.user);
        set(IDC_ACCOUNT_PASSWORD, t.password);
        set(IDC_ACCOUNT_PORT, t.port);
        set(IDC_ACCOUNT_INTERVAL, t.interval);
        set(IDC_ACCOUNT_TIMEOUT, t.timeout);
        set(IDC_ACCOUNT_LINES, t.preview_lines);
        filling_ = false;
        enable_size_controls();
        validate();
        return true;
    }

    bool on_command(int id, int code, HWND) override
    {
        if (code == EN_CHANGE || code == EN_KILLFOCUS) {
            if (!filling_)
                validate();
            return true;
        }
        if (id == IDC_ACCOUNT_SECURITY && code == CBN_SELCHANGE) {
            set(IDC_ACCOUNT_PORT, port_for_security(get(IDC_ACCOUNT_PORT), chosen_security(item(id))));
            return true;
        }
        if (code != BN_CLICKED)
            return false;
        switch (id) {
        case IDC_ACCOUNT_CHECK_SIZE:
            enable_size_controls();
            validate();
            return true;
        case IDC_ACCOUNT_BROWSE:
            browse();
            return true;
        case IDC_ACCOUNT_TEST:
            test();
            return true;
        case IDC_ACCOUNT_FORGET:
            trusted_.clear();
            show_certificates();
            return true;
        case IDC_ACCOUNT_TRUST:
            trusted_ = untrusted_;
            show_certificates();
            return true;
        default:
            return false;
        }
    }

    void on_ok() override
    {
        std::optional<AccountSettings> read = read_form(texts(), args_.other_names, base_);
        if (!read) {
            validate();  // OK was pressed by a key while disabled: show why
            return;
        }
        ui::ComboBox modes;
        modes.attach(item(IDC_ACCOUNT_DELETION));
        int selected = modes.selection();
        read->deletion_mode = kModes[selected >= 0 && selected < 3 ? selected : 0];
        read->secure_auth = IsDlgButtonChecked(hwnd(), IDC_ACCOUNT_SECURE) == BST_CHECKED;
        read->security = chosen_security(item(IDC_ACCOUNT_SECURITY));
        read->trusted_fingerprint = trusted_;
        result = *read;
        end(IDOK);
    }

private:
    void set(int id, const std::string& text) { SetDlgItemTextA(hwnd(), id, text.c_str()); }
    std::string get(int id) const
    {
        ui::Control c;
        c.attach(item(id));
        return c.text();
    }
    bool size_checked() const { return IsDlgButtonChecked(hwnd(), IDC_ACCOUNT_CHECK_SIZE) == BST_CHECKED; }

    AccountFormTexts texts() const
    {
        AccountFormTexts t;
        t.name = get(IDC_ACCOUNT_NAME);
        t.host = get(IDC_ACCOUNT_HOST);
        t.user = get(IDC_ACCOUNT_USER);
        t.password = get(IDC_ACCOUNT_PASSWORD);
        t.port = get(IDC_ACCOUNT_PORT);
        t.interval = get(IDC_ACCOUNT_INTERVAL);
        t.timeout = get(IDC_ACCOUNT_TIMEOUT);
        t.preview_lines = get(IDC_ACCOUNT_LINES);
        t.check_mailbox_size = size_checked();
        t.mailbox_kb = get(IDC_ACCOUNT_KB);
        t.launch_file = get(IDC_ACCOUNT_LAUNCH_FILE);
        return t;
    }

    void enable_size_controls()
    {
        bool on = size_checked();
        for (int id : {IDC_ACCOUNT_SIZE_LABEL, IDC_ACCOUNT_KB, IDC_ACCOUNT_KB_UPDOWN, IDC_ACCOUNT_KB_LABEL,
                       IDC_ACCOUNT_THEN_LABEL, IDC_ACCOUNT_RUN_LABEL, IDC_ACCOUNT_LAUNCH_FILE, IDC_ACCOUNT_BROWSE,
                       IDC_ACCOUNT_TEST})
            EnableWindow(item(id), on ? TRUE : FALSE);
    }

    // Forget while a certificate is trusted; Trust while the one refused
    // at the last check is not (yet) the trusted one. A button that turns
    // grey under the focus would leave the keyboard nowhere.
    void show_certificates()
    {
        bool offer = !untrusted_.empty() && untrusted_ != platform::normalise_fingerprint(trusted_);
        set(IDC_ACCOUNT_TRUSTED, grouped_fingerprint(trusted_));
        set(IDC_ACCOUNT_UNTRUSTED, offer ? grouped_fingerprint(untrusted_) : std::string());
        HWND focus = GetFocus();
        EnableWindow(item(IDC_ACCOUNT_FORGET), trusted_.empty() ? FALSE : TRUE);
        EnableWindow(item(IDC_ACCOUNT_TRUST), offer ? TRUE : FALSE);
        if (focus && !IsWindowEnabled(focus))
            SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_ACCOUNT_SECURITY)), TRUE);
    }

    void validate()
    {
        AccountFormVerdict v = judge(texts(), args_.other_names);
        EnableWindow(item(IDOK), v.ok_enabled ? TRUE : FALSE);
        EnableWindow(item(IDC_ACCOUNT_TEST), v.test_enabled ? TRUE : FALSE);
        set(IDC_ACCOUNT_PROBLEM, v.problem ? platform::message_text(v.problem) : std::string());
    }

    void browse()
    {
        ui::SystemCommonDialogs system;
        ui::CommonDialogs& dialogs = args_.dialogs ? *args_.dialogs : system;
        ui::FileRequest request;
        request.filters = {{"BAT files", "*.bat"}, {"EXE files", "*.exe"}, {"All files", "*.*"}};
        request.initial_path = get(IDC_ACCOUNT_LAUNCH_FILE);
        if (std::optional<std::string> path = dialogs.open_file(hwnd(), request)) {
            if (path->size() <= static_cast<std::size_t>(kPathLimit))
                set(IDC_ACCOUNT_LAUNCH_FILE, *path);
        }
    }

    void test()
    {
        std::string file = get(IDC_ACCOUNT_LAUNCH_FILE);
        if (file.empty())
            return;
        if (args_.run_file)
            args_.run_file(file);
        else
            ShellExecuteA(args_.owner, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    const AccountDialogArgs& args_;
    const AccountSettings& base_;
    std::string trusted_;
    std::string untrusted_;
    bool filling_ = false;
};

}  // namespace

bool edit_account(const AccountDialogArgs& args, AccountSettings& settings)
{
    AccountDialog dialog(args, settings);
    if (dialog.run_modal({args.module, IDD_ACCOUNT_EDIT, args.owner}) != IDOK)
        return false;
    settings = dialog.result;
    return true;
}

}  // namespace kivo::dialogs
