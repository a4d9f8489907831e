#pragma once
// The small editing dialogs: word entry 179, size entry 198, Spammer Edit
// 178 and Friend's Edit 240, and the power filter's 219 (power_edit_dialog.h).
// Each edits the entry it is given and changes it only on OK.
#include <windows.h>

#include <string>

#include "filter/filter_dialogs.h"
#include "filter/power_filter.h"
#include "filter/size_filter.h"
#include "filter/word_filter.h"
#include "filter_dialogs/dialog_context.h"

namespace kivo::filter_dialogs {

// The longest text an entry's edit takes.
inline constexpr int kMaxEntryText = 260;

bool edit_word(HWND owner, const DialogContext& context, filter::WordList list, filter::WordFilter& entry);
bool edit_size(HWND owner, const DialogContext& context, filter::SizeFilter& entry);
bool edit_address(HWND owner, const DialogContext& context, filter::AddressList list, std::string& address);
bool edit_power(HWND owner, const DialogContext& context, filter::PowerFilter& filter);

// The engine's dialog step answered with these dialogs over one owner.
class DialogRunner : public filter::FilterDialogs {
public:
    DialogRunner(HWND owner, const DialogContext& context) : owner_(owner), context_(context) {}
    bool EditWordFilter(filter::WordList list, filter::WordFilter& entry) override
    {
        return edit_word(owner_, context_, list, entry);
    }
    bool EditAddress(filter::AddressList list, std::string& address) override
    {
        return edit_address(owner_, context_, list, address);
    }
    bool EditPowerFilter(filter::PowerFilter& filter) override { return edit_power(owner_, context_, filter); }

private:
    HWND owner_;
    const DialogContext& context_;
};

}  // namespace kivo::filter_dialogs
