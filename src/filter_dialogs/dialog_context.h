#pragma once
// What every filter dialog is given: the environment with its defaults
// filled in, and the actions of the power filter's Test buttons.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "filter/filter_actions.h"
#include "filter_dialogs/filter_sheet.h"
#include "ui/common_dialogs.h"

namespace kivo::filter_dialogs {

struct DialogContext {
    HINSTANCE module = nullptr;
    ui::CommonDialogs* files = nullptr;
    filter::FilterActions* actions = nullptr;
    FilterDialogEnv env;

    void open_help(HWND owner, const char* topic) const;
    int ask(HWND owner, std::uint32_t id, UINT style, const std::vector<std::string>& inserts = {}) const;
};

DialogContext make_context(const FilterDialogEnv& env, filter::FilterActions* actions);

// Opens a topic of kivo.chm beside the executable with HTML Help (loaded
// when first needed); nothing when it is not there.
void open_help_file(HWND owner, const std::string& topic);

}  // namespace kivo::filter_dialogs
