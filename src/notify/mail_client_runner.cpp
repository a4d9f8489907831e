#include "notify/mail_client_runner.h"

#include <windows.h>

#include <vector>

#include "appcore/command_line.h"
#include "ui/handles.h"

namespace kivo::notify {

std::optional<std::string> find_program(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    std::vector<char> path(MAX_PATH);
    DWORD got = SearchPathA(nullptr, name.c_str(), ".exe", static_cast<DWORD>(path.size()), path.data(), nullptr);
    if (got >= path.size()) {  // too small: the answer is the size it needs
        path.resize(got + 1);
        got = SearchPathA(nullptr, name.c_str(), ".exe", static_cast<DWORD>(path.size()), path.data(), nullptr);
    }
    if (got == 0 || got >= path.size())
        return std::nullopt;
    std::string found(path.data(), got);
    DWORD attributes = GetFileAttributesA(found.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return found;
}

bool run_mail_client(const std::string& command)
{
    std::string line = quote_program(command, find_program);
    if (line.empty())
        return false;
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');  // CreateProcessA may write into the command line
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ui::KernelHandle thread(process.hThread), owner(process.hProcess);
    return true;
}

}  // namespace kivo::notify
