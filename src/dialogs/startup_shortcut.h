#pragma once
#include <string>

#include "dialogs/settings_sheet.h"

namespace kivo::dialogs {

// kivo.lnk in a folder (the user's Startup folder for the real one), made
// through the shell's link object: target the program's executable,
// description "Kivo". The new link is saved under a temporary name and then
// moved over the old one, so a failed write never loses a working link.
class ShellStartupShortcut : public StartupShortcut {
public:
    // Empty folder: the user's Startup folder; empty target: this program.
    explicit ShellStartupShortcut(std::string folder = {}, std::string target = {});
    bool write() override;
    bool remove() override;
    // The link's path; empty when the Startup folder cannot be found.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string target_;
};

// The target and description stored in a link file (for tests); false when
// it cannot be read.
bool read_shortcut(const std::string& path, std::string& target, std::string& description);

}  // namespace kivo::dialogs
