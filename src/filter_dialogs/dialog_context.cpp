#include "filter_dialogs/dialog_context.h"

#include "appcore/help_topics.h"
#include "platform/program_folder.h"
#include "ui/error_box.h"

namespace kivo::filter_dialogs {

DialogContext make_context(const FilterDialogEnv& env, filter::FilterActions* actions)
{
    static ui::SystemCommonDialogs system_files;
    DialogContext context;
    context.env = env;
    context.module = env.module ? env.module : GetModuleHandleA(nullptr);
    context.files = env.files ? env.files : &system_files;
    context.actions = actions;
    return context;
}

void DialogContext::open_help(HWND owner, const char* topic) const
{
    if (!topic)
        return;
    if (env.help)
        env.help(owner, topic);
    else
        open_help_file(owner, topic);
}

int DialogContext::ask(HWND owner, std::uint32_t id, UINT style, const std::vector<std::string>& inserts) const
{
    if (env.message_box)
        return env.message_box(owner, id, style, inserts);
    return ui::report_message(id, style, owner, inserts);
}

void open_help_file(HWND owner, const std::string& topic)
{
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    if (!library)
        return;
    auto html_help = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
    if (!html_help)
        return;
    std::string path = platform::program_folder() + help::kFile + topic;
    html_help(owner, path.c_str(), 0 /* HH_DISPLAY_TOPIC */, 0);
}

}  // namespace kivo::filter_dialogs
