// The Email Filter sheet and the Add to commands.
#include "filter_dialogs/filter_sheet.h"

#include "appcore/command_ids.h"
#include "filter/text_match.h"
#include "filter_dialogs/edit_dialogs.h"
#include "filter_dialogs/entry_rules.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "filter_dialogs/filter_pages.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/message_text.h"

namespace kivo::filter_dialogs {
namespace {

class FilterSheet : public ui::TabbedSheet {
public:
    explicit FilterSheet(const DialogContext& context) : TabbedSheet(IDC_FILTER_TABS), context_(context) {}

protected:
    bool on_command(int id, int code, HWND) override
    {
        if (id == IDC_FILTER_HELP && code == BN_CLICKED) {
            context_.open_help(hwnd(), help_topic_for_tab(current_page()));
            return true;
        }
        return false;
    }

private:
    const DialogContext& context_;
};

// The engine's dialog step when the user has already answered.
class AnsweredAddress : public filter::FilterDialogs {
public:
    explicit AnsweredAddress(std::string address) : address_(std::move(address)) {}
    bool EditWordFilter(filter::WordList, filter::WordFilter&) override { return false; }
    bool EditAddress(filter::AddressList, std::string& address) override
    {
        address = address_;
        return true;
    }
    bool EditPowerFilter(filter::PowerFilter&) override { return false; }

private:
    std::string address_;
};

}  // namespace

bool run_filter_sheet(HWND owner, filter::EmailFilter& filters, filter::FilterActions& actions,
                      const FilterDialogEnv& env)
{
    DialogContext context = make_context(env, &actions);
    PowerPage power(filters, context);
    AddressPage friends(filters, context, filter::AddressList::friends);
    WordPage from(filters, context, filter::WordList::from);
    WordPage subject(filters, context, filter::WordList::subject);
    WordPage to_cc(filters, context, filter::WordList::toCc);
    AddressPage spammers(filters, context, filter::AddressList::spammers);
    SizePage size(filters, context);

    FilterSheet sheet(context);
    using platform::message_text;
    sheet.add_page(power, {context.module, IDD_POWER_PAGE, message_text(MSG_FD_TAB_POWER)});
    sheet.add_page(friends, {context.module, IDD_FRIENDS_PAGE, message_text(MSG_FD_TAB_FRIENDS)});
    sheet.add_page(from, {context.module, IDD_FROM_PAGE, message_text(MSG_FD_TAB_FROM)});
    sheet.add_page(subject, {context.module, IDD_SUBJECT_PAGE, message_text(MSG_FD_TAB_SUBJECT)});
    sheet.add_page(to_cc, {context.module, IDD_TOCC_PAGE, message_text(MSG_FD_TAB_TOCC)});
    sheet.add_page(spammers, {context.module, IDD_SPAMMERS_PAGE, message_text(MSG_FD_TAB_SPAMMERS)});
    sheet.add_page(size, {context.module, IDD_SIZE_PAGE, message_text(MSG_FD_TAB_SIZE)});
    // Friends, From, Subject, Spammers, To/Cc, Size, Power.
    sheet.set_apply_order({1, 2, 3, 5, 4, 6, 0});
    return sheet.run_modal({context.module, IDD_FILTER_SHEET, owner}) == IDOK;
}

bool add_to_filter(HWND owner, filter::EmailFilter& filters, int command, const Message& message,
                   filter::FilterActions& actions, const FilterDialogEnv& env)
{
    DialogContext context = make_context(env, &actions);
    DialogRunner dialogs(owner, context);
    switch (command) {
    case CMD_ADD_TO_FROM:
        return filters.AddToFromFilter(message, dialogs);
    case CMD_ADD_TO_SUBJECT:
        return filters.AddToSubjectFilter(message, dialogs);
    case CMD_ADD_TO_POWER:
        return filters.AddPowerFilter(message, dialogs);
    case CMD_ADD_TO_FRIENDS:
    case CMD_ADD_TO_SPAMMERS: {
        // Asked first, so the lock is held only for the insertion and the
        // account threads go on classifying while the dialog is open.
        auto which = command == CMD_ADD_TO_FRIENDS ? filter::AddressList::friends : filter::AddressList::spammers;
        std::string address = filter::ExtractAddress(message.from());
        if (address.empty() || !edit_address(owner, context, which, address) || address.empty())
            return false;
        AnsweredAddress answered(address);
        return which == filter::AddressList::friends ? filters.AddToFriends(message, answered)
                                                     : filters.AddToSpammers(message, answered);
    }
    default:
        return false;
    }
}

}  // namespace kivo::filter_dialogs
