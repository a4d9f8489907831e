#include "filter_dialogs/edit_dialogs.h"

#include "appcore/help_topics.h"
#include "filter_dialogs/entry_rules.h"
#include "filter_dialogs/filter_dialog_ids.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/button.h"
#include "ui/dialog.h"
#include "ui/edit.h"
#include "ui/up_down.h"

namespace kivo::filter_dialogs {
namespace {

std::string text_of(HWND dialog, int id)
{
    return ui::Control(dialog, id).text();
}

class WordEditDialog : public ui::Dialog {
public:
    WordEditDialog(const DialogContext& context, filter::WordList list, filter::WordFilter& entry)
        : context_(context), list_(list), entry_(entry)
    {
    }

protected:
    bool on_init() override
    {
        std::uint32_t explanation = list_ == filter::WordList::from      ? MSG_FD_EXPLAIN_FROM
                                    : list_ == filter::WordList::subject ? MSG_FD_EXPLAIN_SUBJECT
                                                                         : MSG_FD_EXPLAIN_TOCC;
        ui::Control(hwnd(), IDC_EXPLANATION).set_text(platform::message_text(explanation));
        ui::Edit edit(hwnd(), IDC_WORD_TEXT);
        edit.set_limit(kMaxEntryText);
        edit.set_text(entry_.text.substr(0, kMaxEntryText));
        ui::CheckBox(hwnd(), entry_.uncertain ? IDC_MARK_UNCERTAIN : IDC_MARK_DELETED).set_checked(true);
        ui::CheckBox(hwnd(), IDC_WORD_CASE).set_checked(entry_.useCase);
        update();
        return true;
    }
    bool on_command(int id, int code, HWND) override
    {
        if (id == IDC_WORD_TEXT && (code == EN_CHANGE || code == EN_KILLFOCUS)) {
            update();
            return true;
        }
        if (id == IDC_WORD_HELP && code == BN_CLICKED) {
            context_.open_help(hwnd(), help::kFiltration);
            return true;
        }
        return false;
    }
    void on_ok() override
    {
        std::string text = text_of(hwnd(), IDC_WORD_TEXT);
        if (text.empty())
            return;
        entry_.text = text.substr(0, kMaxEntryText);
        entry_.uncertain = ui::CheckBox(hwnd(), IDC_MARK_UNCERTAIN).is_checked();
        entry_.useCase = ui::CheckBox(hwnd(), IDC_WORD_CASE).is_checked();
        end(IDOK);
    }

private:
    void update() { ui::Control(hwnd(), IDOK).enable(!text_of(hwnd(), IDC_WORD_TEXT).empty()); }

    const DialogContext& context_;
    filter::WordList list_;
    filter::WordFilter& entry_;
};

class SizeEditDialog : public ui::Dialog {
public:
    explicit SizeEditDialog(filter::SizeFilter& entry) : entry_(entry) {}

protected:
    bool on_init() override
    {
        set_up_bound(IDC_SIZE_LARGER, IDC_SIZE_LARGER_KB, IDC_SIZE_LARGER_SPIN, 0, entry_.upperBound);
        set_up_bound(IDC_SIZE_SMALLER, IDC_SIZE_SMALLER_KB, IDC_SIZE_SMALLER_SPIN, 1, entry_.lowerBound);
        ui::CheckBox(hwnd(), entry_.uncertain ? IDC_MARK_UNCERTAIN : IDC_MARK_DELETED).set_checked(true);
        update();
        return true;
    }
    bool on_command(int id, int code, HWND) override
    {
        if ((id == IDC_SIZE_LARGER || id == IDC_SIZE_SMALLER) && code == BN_CLICKED) {
            update();
            return true;
        }
        if ((id == IDC_SIZE_LARGER_KB || id == IDC_SIZE_SMALLER_KB) && (code == EN_CHANGE || code == EN_KILLFOCUS)) {
            update();
            return true;
        }
        return false;
    }
    void on_ok() override
    {
        BoundField larger = field(IDC_SIZE_LARGER, IDC_SIZE_LARGER_KB);
        BoundField smaller = field(IDC_SIZE_SMALLER, IDC_SIZE_SMALLER_KB);
        if (!bounds_acceptable(larger, smaller, true))
            return;
        Bounds bounds = bounds_from(larger, smaller);
        entry_.upperBound = bounds.upper;
        entry_.lowerBound = bounds.lower;
        entry_.uncertain = ui::CheckBox(hwnd(), IDC_MARK_UNCERTAIN).is_checked();
        end(IDOK);
    }

private:
    void set_up_bound(int check, int edit, int spin, int low, std::int32_t bytes)
    {
        ui::Edit(hwnd(), edit).set_limit(7);
        ui::UpDown(hwnd(), spin).set_range(low, kMaxKb);
        ui::Control(hwnd(), edit).set_text(bytes >= 0 ? kb_text(bytes) : std::to_string(low));
        ui::CheckBox(hwnd(), check).set_checked(check == IDC_SIZE_SMALLER ? entry_.lower_set() : entry_.upper_set());
    }
    BoundField field(int check, int edit) const
    {
        return {ui::CheckBox(hwnd(), check).is_checked(), text_of(hwnd(), edit)};
    }
    void update()
    {
        bool larger = ui::CheckBox(hwnd(), IDC_SIZE_LARGER).is_checked();
        bool smaller = ui::CheckBox(hwnd(), IDC_SIZE_SMALLER).is_checked();
        ui::Control(hwnd(), IDC_SIZE_LARGER_KB).enable(larger);
        ui::Control(hwnd(), IDC_SIZE_LARGER_SPIN).enable(larger);
        ui::Control(hwnd(), IDC_SIZE_SMALLER_KB).enable(smaller);
        ui::Control(hwnd(), IDC_SIZE_SMALLER_SPIN).enable(smaller);
        ui::Control(hwnd(), IDOK).enable(bounds_acceptable(field(IDC_SIZE_LARGER, IDC_SIZE_LARGER_KB),
                                                           field(IDC_SIZE_SMALLER, IDC_SIZE_SMALLER_KB), true));
    }

    filter::SizeFilter& entry_;
};

class AddressEditDialog : public ui::Dialog {
public:
    AddressEditDialog(int edit_id, std::string& address) : edit_id_(edit_id), address_(address) {}

protected:
    bool on_init() override
    {
        ui::Edit edit(hwnd(), edit_id_);
        edit.set_limit(kMaxEntryText);
        edit.set_text(address_.substr(0, kMaxEntryText));
        update();
        return true;
    }
    bool on_command(int id, int code, HWND) override
    {
        if (id == edit_id_ && (code == EN_CHANGE || code == EN_KILLFOCUS)) {
            update();
            return true;
        }
        return false;
    }
    void on_ok() override
    {
        std::string text = text_of(hwnd(), edit_id_);
        if (text.empty())
            return;
        address_ = text.substr(0, kMaxEntryText);
        end(IDOK);
    }

private:
    void update() { ui::Control(hwnd(), IDOK).enable(!text_of(hwnd(), edit_id_).empty()); }

    int edit_id_;
    std::string& address_;
};

}  // namespace

bool edit_word(HWND owner, const DialogContext& context, filter::WordList list, filter::WordFilter& entry)
{
    WordEditDialog dialog(context, list, entry);
    return dialog.run_modal({context.module, IDD_WORD_EDIT, owner}) == IDOK;
}

bool edit_size(HWND owner, const DialogContext& context, filter::SizeFilter& entry)
{
    SizeEditDialog dialog(entry);
    return dialog.run_modal({context.module, IDD_SIZE_EDIT, owner}) == IDOK;
}

bool edit_address(HWND owner, const DialogContext& context, filter::AddressList list, std::string& address)
{
    bool friends = list == filter::AddressList::friends;
    AddressEditDialog dialog(friends ? IDC_FRIEND_ADDRESS : IDC_SPAMMER_ADDRESS, address);
    return dialog.run_modal({context.module, friends ? IDD_FRIEND_EDIT : IDD_SPAMMER_EDIT, owner}) == IDOK;
}

}  // namespace kivo::filter_dialogs
