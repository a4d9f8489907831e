#include "app/entry_guard.h"

#include "message_ids.h"
#include "ui/error_box.h"

namespace kivo::app {

int run_reporting_failures(const std::function<int()>& body) noexcept
{
    try {
        return body();
    } catch (...) {
        ui::report_message(MSG_UNEXPECTED_ERROR);
        return 0;
    }
}

}  // namespace kivo::app
