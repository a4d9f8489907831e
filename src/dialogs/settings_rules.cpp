#include "dialogs/settings_rules.h"

#include "appcore/help_topics.h"

namespace kivo::dialogs {

std::vector<std::size_t> settings_apply_order()
{
    return {customize_tab, sound_tab, system_tab, visual_tab, log_tab};
}

const char* settings_help_topic(int tab)
{
    constexpr int topics = static_cast<int>(sizeof help::kSettingsTabs / sizeof help::kSettingsTabs[0]);
    if (tab < 0 || tab >= topics)
        return nullptr;
    return help::kSettingsTabs[tab];
}

std::string quoted_program(const std::string& path)
{
    if (path.empty() || path.front() == '"')
        return path;
    return '"' + path + '"';
}

bool run_mailer_choice(const std::string& mail_client, bool checked, bool stored)
{
    return mail_client.empty() ? stored : checked;
}

}  // namespace kivo::dialogs
