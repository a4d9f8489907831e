#include "dialogs/account_wizard.h"

#include "dialogs/account_security_choice.h"
#include "dialogs/dialog_ids.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/program_folder.h"
#include "ui/control.h"
#include "ui/property_sheet.h"

namespace kivo::dialogs {
namespace {

constexpr int kFieldLimit = 260;

std::string text_of(HWND page, int id) { return ui::Control(GetDlgItem(page, id)).text(); }

// One step of the wizard: its fields, what makes it complete, and the
// words shown when a typed value cannot be kept.
class WizardStep : public ui::PropertyPage {
public:
    WizardStep(AccountSettings& settings, const std::vector<std::string>& names, int step)
        : settings_(settings), names_(names), step_(step)
    {
    }

protected:
    bool on_init() override
    {
        for (int id : {IDC_ACCOUNT_NAME, IDC_ACCOUNT_HOST, IDC_ACCOUNT_USER, IDC_ACCOUNT_PASSWORD})
            if (HWND field = item(id))
                SendMessageA(field, EM_SETLIMITTEXT, kFieldLimit, 0);
        if (step_ == 1)
            fill_security_choice(item(IDC_ACCOUNT_SECURITY), settings_.security);
        if (step_ == 2)
            CheckDlgButton(hwnd(), IDC_ACCOUNT_SECURE, settings_.secure_auth ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    bool on_set_active() override
    {
        update();
        return true;
    }
    bool on_command(int, int code, HWND) override
    {
        if (code == EN_CHANGE)
            update();
        return false;
    }
    int on_wizard_next() override
    {
        if (!complete())
            return -1;
        take();
        return 0;
    }
    bool on_wizard_finish() override
    {
        if (!complete())
            return false;
        take();
        finished = true;
        return true;
    }

public:
    bool finished = false;

private:
    std::uint32_t problem(bool& empty) const
    {
        switch (step_) {
        case 0: {
            std::string name = text_of(hwnd(), IDC_ACCOUNT_NAME);
            empty = name.empty();
            return empty ? 0 : name_problem(name, names_);
        }
        case 1: {
            std::string host = text_of(hwnd(), IDC_ACCOUNT_HOST);
            empty = host.empty();
            return empty ? 0 : host_problem(host);
        }
        default: {
            std::string user = text_of(hwnd(), IDC_ACCOUNT_USER);
            empty = user.empty() || text_of(hwnd(), IDC_ACCOUNT_PASSWORD).empty();
            return user.empty() ? 0 : user_problem(user);
        }
        }
    }
    bool complete() const
    {
        bool empty = true;
        return problem(empty) == 0 && !empty;
    }
    void update()
    {
        bool empty = true;
        std::uint32_t why = problem(empty);
        SetDlgItemTextA(hwnd(), IDC_ACCOUNT_PROBLEM, why ? platform::message_text(why).c_str() : "");
        bool ok = why == 0 && !empty;
        DWORD buttons = step_ == 0 ? 0 : PSWIZB_BACK;
        if (step_ == 2)
            buttons |= ok ? PSWIZB_FINISH : PSWIZB_DISABLEDFINISH;
        else if (ok)
            buttons |= PSWIZB_NEXT;
        set_wizard_buttons(buttons);
    }
    void take()
    {
        switch (step_) {
        case 0:
            settings_.name = text_of(hwnd(), IDC_ACCOUNT_NAME);
            break;
        case 1:
            settings_.host = text_of(hwnd(), IDC_ACCOUNT_HOST);
            settings_.security = chosen_security(item(IDC_ACCOUNT_SECURITY));
            // The wizard asks no port: TLS takes its usual one.
            settings_.port = std::stoi(port_for_security(std::to_string(settings_.port), settings_.security));
            break;
        default:
            settings_.user = text_of(hwnd(), IDC_ACCOUNT_USER);
            settings_.password = text_of(hwnd(), IDC_ACCOUNT_PASSWORD);
            settings_.secure_auth = IsDlgButtonChecked(hwnd(), IDC_ACCOUNT_SECURE) == BST_CHECKED;
            break;
        }
    }

    AccountSettings& settings_;
    const std::vector<std::string>& names_;
    int step_;
};

}  // namespace

std::optional<AccountSettings> run_account_wizard(const AccountWizardArgs& args)
{
    AccountSettings settings;
    settings.deletion_mode = MSG_DELETION_CONFIRM;
    // As a loaded account without a stored sound gets it.
    settings.sound_file = platform::program_folder() + "kivo.wav";
    WizardStep name(settings, args.existing_names, 0);
    WizardStep server(settings, args.existing_names, 1);
    WizardStep login(settings, args.existing_names, 2);
    std::string subtitle = platform::message_text(MSG_WIZARD_SUBTITLE);
    // A wizard's title bar shows the page's title: every page carries the wizard's.
    std::string title = platform::message_text(MSG_WIZARD_TITLE);
    ui::PropertySheetDialog wizard;
    wizard.add_page(name, {args.module, IDD_WIZARD_NAME, title, platform::message_text(MSG_WIZARD_NAME_TITLE), subtitle});
    wizard.add_page(server,
                    {args.module, IDD_WIZARD_SERVER, title, platform::message_text(MSG_WIZARD_SERVER_TITLE), subtitle});
    wizard.add_page(login, {args.module, IDD_WIZARD_LOGIN, title, platform::message_text(MSG_WIZARD_LOGIN_TITLE), subtitle});
    ui::PropertySheetDialog::Args sheet;
    sheet.module = args.module;
    sheet.caption = title;
    sheet.owner = args.owner;
    sheet.wizard = true;
    if (!wizard.run_modal(sheet) || !login.finished)
        return std::nullopt;
    return settings;
}

}  // namespace kivo::dialogs
