// The Email Filter sheet and the Add to commands.
#include "filter_dialogs/filter_sheet.h"

namespace kivo::filter_dialogs {

bool run_filter_sheet(HWND, filter::EmailFilter&, filter::FilterActions&, const FilterDialogEnv&)
{
    return false;
}

bool add_to_filter(HWND, filter::EmailFilter&, int, const Message&, filter::FilterActions&, const FilterDialogEnv&)
{
    return false;
}

}  // namespace kivo::filter_dialogs
