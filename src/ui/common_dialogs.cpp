#include "ui/common_dialogs.h"

#include <commdlg.h>

namespace kivo::ui {
namespace {

std::string up_to_nul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

using FileDialogCall = BOOL(WINAPI*)(LPOPENFILENAMEA);

bool names_folder(const std::string& path)
{
    if (path.empty())
        return false;
    if (path.back() == '\\' || path.back() == '/')
        return true;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> run_file_dialog(FileDialogCall call, HWND owner, const FileRequest& request,
                                           DWORD flags)
{
    const std::string filter = file_filter_string(request.filters);
    const std::string title = up_to_nul(request.title);
    const std::string extension = up_to_nul(request.default_extension);
    const std::string initial = up_to_nul(request.initial_path);
    // A folder is where the dialog starts; a file is its proposed name.
    const bool start_in_folder = names_folder(initial);

    // The longest path Windows has, so no choice is ever too long for it
    // (the dialog would otherwise fail and a second one would have to be
    // shown).
    constexpr std::size_t kLongestPath = 32768;
    std::string path(initial.size() + 1 > kLongestPath ? initial.size() + 1 : kLongestPath, '\0');
    if (!start_in_folder)
        path.replace(0, initial.size(), initial);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = filter.empty() ? 0 : 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = start_in_folder ? initial.c_str() : nullptr;
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!call(&ofn))
        return std::nullopt;
    path.resize(std::char_traits<char>::length(path.c_str()));
    return path;
}

}  // namespace

std::string file_filter_string(const std::vector<FileFilter>& filters)
{
    std::string result;
    for (const FileFilter& filter : filters) {
        std::string description = up_to_nul(filter.description);
        std::string patterns = up_to_nul(filter.patterns);
        if (description.empty() || patterns.empty())
            continue;
        result += description;
        result += '\0';
        result += patterns;
        result += '\0';
    }
    // The list ends with an empty text; std::string adds the very last NUL.
    if (!result.empty())
        result += '\0';
    return result;
}

std::optional<std::string> SystemCommonDialogs::open_file(HWND owner, const FileRequest& request)
{
    return run_file_dialog(&GetOpenFileNameA, owner, request, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
}

std::optional<std::string> SystemCommonDialogs::save_file(HWND owner, const FileRequest& request)
{
    return run_file_dialog(&GetSaveFileNameA, owner, request, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
}

std::optional<LOGFONTA> SystemCommonDialogs::choose_font(HWND owner, const LOGFONTA& initial)
{
    LOGFONTA font = initial;
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &font;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontA(&cf))
        return std::nullopt;
    return font;
}

}  // namespace kivo::ui
