#pragma once
// A folder of filter files, the filter set over it, and the calls the tests
// drive the dialogs with (clicks and texts as messages, answers to the
// message boxes and help requests recorded).
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "filter/email_filter.h"
#include "filter_dialogs/filter_sheet.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"

namespace kivo::test {

struct FilterFolder {
    FilterFolder();
    TempDir dir;
    RecordingReporter reporter;
    RecordingActions actions;
    std::unique_ptr<filter::EmailFilter> filters;
    std::vector<std::string> topics;       // help requests
    std::vector<std::uint32_t> boxes;      // message boxes shown
    int answer = IDYES;                    // what every box answers
    filter_dialogs::FilterDialogEnv env;

    // Every filter file's bytes by name.
    std::map<std::string, std::string> files() const;
    // Sets every file's time far back, so a rewrite shows.
    void age_files() const;
    std::vector<std::string> rewritten() const;
};

inline constexpr const char* kFilterFiles[] = {"from.dat", "subject.dat", "to.dat", "size.dat",
                                               "power.dat", "friends.dat", "spammers.dat"};

// The dialog with this caption.
HWND dialog_titled(const char* caption);
// The page dialog the sheet shows.
HWND shown_page(HWND sheet);
void choose_tab(HWND sheet, int index);
// Posted, so a button that opens a dialog returns to the script first.
void post_click(HWND dialog, int id);
void set_text(HWND dialog, int id, const std::string& text);
void set_check(HWND dialog, int id, bool on);
bool enabled(HWND dialog, int id);
// With KIVO_SHOTS_DIR set, writes the window's picture there (for the eye).
void shoot(HWND window, const std::string& name);

}  // namespace kivo::test
