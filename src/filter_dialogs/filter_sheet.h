#pragma once
// The entry points the main window calls: the Email Filter sheet and the
// Add to commands of the messages list. Window thread only.
#include <windows.h>

#include <functional>
#include <cstdint>
#include <string>
#include <vector>

#include "filter/email_filter.h"
#include "filter/filter_actions.h"

namespace kivo {
class Message;
}
namespace kivo::ui {
class CommonDialogs;
}

namespace kivo::filter_dialogs {

// What the dialogs need besides the filters. Null members take the system's.
struct FilterDialogEnv {
    HINSTANCE module = nullptr;              // where the templates are; null: the executable
    ui::CommonDialogs* files = nullptr;      // the "..." buttons' Open dialog
    // Opens a topic of the help file ("::/email_filtration.htm#..."); empty: HTML Help on kivo.chm.
    std::function<void(HWND owner, const std::string& topic)> help;
    // Shows a numbered text (the delete questions, a page that could not be
    // saved) and returns the button pressed; empty: ui::report_message.
    std::function<int(HWND owner, std::uint32_t id, UINT style, const std::vector<std::string>& inserts)>
        message_box;
};

// The Email Filter sheet (dialog 173) over copies of the filters; OK applies
// the pages (Friends, From, Subject, Spammers, To/Cc, Size, Power), each only
// when it changed, and stays open naming the page whose apply failed. The
// power page's Test buttons go through `actions` (the sound and URL tests on
// a worker). True when the sheet was closed with OK.
bool run_filter_sheet(HWND owner, filter::EmailFilter& filters, filter::FilterActions& actions,
                      const FilterDialogEnv& env = {});

// The Add to commands on one message: CMD_ADD_TO_FROM (40030),
// CMD_ADD_TO_SUBJECT (40031), CMD_ADD_TO_SPAMMERS (40032), CMD_ADD_TO_POWER
// (40045), CMD_ADD_TO_FRIENDS (40048). The dialog is shown before the filter
// lock is taken, so account threads keep classifying meanwhile. True when an
// entry was added; false on Cancel, an unknown command or a message without
// a sender address (friends, spammers).
bool add_to_filter(HWND owner, filter::EmailFilter& filters, int command, const Message& message,
                   filter::FilterActions& actions, const FilterDialogEnv& env = {});

}  // namespace kivo::filter_dialogs
