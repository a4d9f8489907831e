// The Log page: whether the log is written to a file, and which.
#include "dialogs/settings_ids.h"
#include "dialogs/settings_pages.h"
#include "dialogs/settings_rules.h"
#include "log/log.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/common_dialogs.h"

namespace kivo::dialogs {

bool LogPage::on_init()
{
    set_checked(hwnd(), IDC_LOG_PAGE_WRITE, context_.log->write_to_file());
    limit_text(hwnd(), IDC_LOG_PAGE_PATH, kSettingsTextLimit);
    std::string file = context_.log->log_file();
    if (!file.empty())
        set_text(hwnd(), IDC_LOG_PAGE_PATH, file);
    update_enabled();
    return true;
}

void LogPage::update_enabled()
{
    bool on = is_checked(hwnd(), IDC_LOG_PAGE_WRITE);
    enable(hwnd(), IDC_LOG_PAGE_PATH, on);
    enable(hwnd(), IDC_LOG_PAGE_BROWSE, on);
}

bool LogPage::on_command(int id, int code, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_LOG_PAGE_WRITE:
        update_enabled();
        return true;
    case IDC_LOG_PAGE_BROWSE: {
        ui::FileRequest request;
        request.filters = {{platform::message_text(MSG_SET_LOG_FILES), "*.log"},
                           {platform::message_text(MSG_SET_ALL_FILES), "*.*"}};
        request.default_extension = "log";
        request.initial_path = text_of(hwnd(), IDC_LOG_PAGE_PATH);
        if (auto chosen = context_.dialogs->save_file(hwnd(), request))
            set_text(hwnd(), IDC_LOG_PAGE_PATH, *chosen);
        return true;
    }
    default:
        return false;
    }
}

bool LogPage::on_apply()
{
    context_.log->set_write_to_file(is_checked(hwnd(), IDC_LOG_PAGE_WRITE));
    context_.log->set_log_file(text_of(hwnd(), IDC_LOG_PAGE_PATH));
    return true;
}

}  // namespace kivo::dialogs
