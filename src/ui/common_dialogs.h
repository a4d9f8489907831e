#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kivo::ui {

// One line of a file dialog's type list: "Sounds (*.wav)" with "*.wav"
// (several patterns separated by ';').
struct FileFilter {
    std::string description;
    std::string patterns;
};

struct FileRequest {
    std::string title;                // empty: the system's "Open" / "Save As"
    std::vector<FileFilter> filters;  // empty: no type list
    std::string initial_path;         // a file or a folder; may be empty
    std::string default_extension;    // without the dot; added to a bare name
};

// The system's file and font dialogs, behind an interface so that code which
// asks the user can be tested with scripted answers. Each call shows a modal
// dialog over `owner` and returns none when the user cancels (or the dialog
// cannot be shown).
class CommonDialogs {
public:
    virtual ~CommonDialogs() = default;
    virtual std::optional<std::string> open_file(HWND owner, const FileRequest& request) = 0;
    // Asks before replacing a file that exists.
    virtual std::optional<std::string> save_file(HWND owner, const FileRequest& request) = 0;
    // A screen font, starting from `initial`.
    virtual std::optional<LOGFONTA> choose_font(HWND owner, const LOGFONTA& initial) = 0;
};

// The real dialogs (GetOpenFileNameA, GetSaveFileNameA, ChooseFontA).
class SystemCommonDialogs : public CommonDialogs {
public:
    std::optional<std::string> open_file(HWND owner, const FileRequest& request) override;
    std::optional<std::string> save_file(HWND owner, const FileRequest& request) override;
    std::optional<LOGFONTA> choose_font(HWND owner, const LOGFONTA& initial) override;
};

// The type list as the file dialogs take it: description NUL patterns NUL
// ... NUL. Filters with an empty description or pattern are left out, and a
// NUL inside a text ends that text there, so it can never shift the pairs.
std::string file_filter_string(const std::vector<FileFilter>& filters);

}  // namespace kivo::ui
