#include "ui/common_dialogs.h"

#include <commdlg.h>
#include <cderr.h>

namespace kivo::ui {
namespace {

std::string up_to_nul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

using FileDialogCall = BOOL(WINAPI*)(LPOPENFILENAMEA);

std::optional<std::string> run_file_dialog(FileDialogCall call, HWND owner, const FileRequest& request,
                                           DWORD flags)
{
    const std::string filter = file_filter_string(request.filters);
    const std::string title = up_to_nul(request.title);
    const std::string extension = up_to_nul(request.default_extension);
    const std::string initial = up_to_nul(request.initial_path);

    // Room for long paths; a longer choice makes the dialog say how much it
    // needs, and it is asked once more with that.
    std::size_t capacity = initial.size() + 1 > 4096 ? initial.size() + 1 : 4096;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string path(capacity, '\0');
        path.replace(0, initial.size(), initial);

        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = filter.empty() ? 0 : 1;
        ofn.lpstrFile = path.data();
        ofn.nMaxFile = static_cast<DWORD>(path.size());
        ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
        ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        ofn.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
        if (call(&ofn)) {
            path.resize(std::char_traits<char>::length(path.c_str()));
            return path;
        }
        if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL)
            return std::nullopt;
        // The first two bytes now hold the size needed.
        unsigned needed = static_cast<unsigned char>(path[0]) | (static_cast<unsigned char>(path[1]) << 8);
        capacity = needed > capacity ? needed + 1 : capacity * 2;
    }
    return std::nullopt;
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
